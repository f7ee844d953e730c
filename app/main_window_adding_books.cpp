// The main window's three ways of adding books to the creation page: a file through the file
// dialog, a folder through the folder picker, and files and folders dropped from the file
// manager, which the window takes only while the creation page is shown and nothing long runs.

#include "app/library_page_widget.h"
#include "app/long_operation.h"
#include "app/main_window.h"
#include "booklist/book_intake.h"
#include "core/dialogs.h"
#include "widgets/page_control.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {
const QString bookFolderTitle = QStringLiteral("Укажите папку с книгами");

QStringList localPaths(const QMimeData *data)
{
    QStringList paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            paths << QDir::toNativeSeparators(url.toLocalFile());
    return paths;
}
} // namespace

void MainWindow::addBookFile()
{
    if (m_longOperationRunning)
        return;
    const QString file = m_dialogs.openFile(bookFileFilter());
    if (!file.isEmpty())
        addBooks({file});
}

void MainWindow::addBookFolder()
{
    if (m_longOperationRunning)
        return;
    const QString folder = m_dialogs.browseForFolder(bookFolderTitle);
    if (!folder.isEmpty())
        addBooks({folder});
}

void MainWindow::addDroppedPaths(const QStringList &paths)
{
    if (m_pager->currentPage() == m_editorpage)
        return;
    addBooks(paths);
}

void MainWindow::addBooks(const QStringList &paths)
{
    const LongOperation operation(m_longOperationRunning);
    if (!operation.started())
        return;
    runHandler([&] {
        BookIntake intake(m_creation.books, m_progress, m_clock, m_formats);
        intake.open();
        for (const QString &path : paths)
            intake.addPath(path);
        const QStringList unreadable = intake.finish();
        refreshStatistics(*m_creatorpage);
        for (const QString &message :
             {undecodableBooksMessage(intake.undecodableFiles()), unfitArchivesMessage(intake.unfitArchives()),
              unreadableBooksMessage(unreadable)}) {
            if (!message.isEmpty())
                m_dialogs.message(message);
        }
    });
}

bool MainWindow::acceptsDroppedFiles(const QMimeData *data) const
{
    return m_pager->currentPage() == m_creatorpage && !m_longOperationRunning && data && !localPaths(data).isEmpty();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptsDroppedFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDroppedFiles(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    if (!acceptsDroppedFiles(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The intake runs after the drop has returned, so the file manager is not held up by it.
    const QStringList paths = localPaths(event->mimeData());
    QMetaObject::invokeMethod(
        this, [this, paths] { addDroppedPaths(paths); }, Qt::QueuedConnection);
}
