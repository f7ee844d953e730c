#include "app/main_window.h"

#include "app/fonts.h"
#include "app/library_page_widget.h"
#include "app/long_operation.h"
#include "app/page_layout.h"
#include "booklist/book_intake.h"
#include "collections/statistics.h"
#include "core/dialogs.h"
#include "core/progress.h"
#include "core/tessaly_error.h"
#include "sync/creation_sync.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QUrl>

#include <exception>
#include <utility>

namespace {
const QString bookFileFilter = QStringLiteral("Все поддерживаемые файлы|*.pdf;*.fb2;*.txt;*.epub");
const QString bookFolderTitle = QStringLiteral("Укажите папку с книгами");
const QString modeSwitchCaption = QStringLiteral("Подтверждение смены режима");
const QString modeSwitchQuestion =
    QStringLiteral("При переключении режима, все внесенные изменения \r\nв текущем режиме будут отменены! Продолжить?");

QStringList localPaths(const QMimeData *data)
{
    QStringList paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            paths << QDir::toNativeSeparators(url.toLocalFile());
    return paths;
}
} // namespace

MainWindow::MainWindow(Dialogs &dialogs, const Clock &clock, Progress &progress, const VolumeList &volumes,
                       FileOpener &fileOpener, QWidget *parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_clock(clock), m_progress(progress), m_volumes(volumes),
      m_fileOpener(fileOpener)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tessaly"));
    setFont(tahomaFont(11));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setMinimumSize(800, 600);
    resize(1152, 640);
    move(189, 59);

    m_pager = new PageControl(this);
    m_pager->setObjectName(QStringLiteral("pager"));
    // Made inside the window, so their labels measure themselves in the window's font.
    m_creatorpage = new LibraryPageWidget(m_creation, m_pager);
    m_editorpage = new LibraryPageWidget(m_editing, m_pager);
    m_pager->addPage(m_creatorpage, m_creatorpage->description().tabCaption);
    m_pager->addPage(m_editorpage, m_editorpage->description().tabCaption);
    setCentralWidget(m_pager);
    m_pager->setChangeGuard([this](int newIndex) { return confirmPageSwitch(newIndex); });
    connect(m_pager, &PageControl::currentChanged, this, &MainWindow::enterPage);
    // Only the page shown gets Qt's resize; either page's resize lays out both.
    connect(m_creatorpage, &LibraryPageWidget::resized, this, &MainWindow::layOutPages);
    connect(m_editorpage, &LibraryPageWidget::resized, this, &MainWindow::layOutPages);
    connect(m_creatorpage->button(QStringLiteral("AddFileButton")), &QAbstractButton::clicked, this,
            &MainWindow::addBookFile);
    connect(m_creatorpage->button(QStringLiteral("AddDirButton")), &QAbstractButton::clicked, this,
            &MainWindow::addBookFolder);
    connect(m_creatorpage->button(QStringLiteral("Synchronizebutton")), &QAbstractButton::clicked, this,
            &MainWindow::synchronizeCreationPage);
    connect(m_editorpage->button(QStringLiteral("eSynchronizebutton")), &QAbstractButton::clicked, this,
            &MainWindow::synchronizeEditingPage);
    connectCollectionHandlers(*m_creatorpage, QStringLiteral("addcollectionbutton"),
                              QStringLiteral("autocollectionbutton"));
    connectCollectionHandlers(*m_editorpage, QStringLiteral("SpeedButton3"), QStringLiteral("SpeedButton4"));
    connectFileListHandlers(*m_creatorpage);
    connectFileListHandlers(*m_editorpage);
    connectDropHandlers(*m_creatorpage);
    connectDropHandlers(*m_editorpage);

    setAcceptDrops(true);
    m_deviceRoot.clear();
    setWindowState(windowState() | Qt::WindowMaximized);
    runHandler([this] { refreshStatistics(*m_creatorpage); });
}

MainWindow::~MainWindow() = default;

void MainWindow::runHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const OperationStopped &) {
        // The window was closed meanwhile: the operation ends with nothing more to say.
        m_progress.hide();
    } catch (const TessalyError &error) {
        // An operation stopped by an error must not leave the progress window up.
        m_progress.hide();
        m_dialogs.message(error.message());
    } catch (const std::exception &error) {
        // Anything else (out of memory, a library's own error) is reported, never a crash.
        m_progress.hide();
        m_dialogs.message(QString::fromLocal8Bit(error.what()));
    }
}

void MainWindow::addBookFile()
{
    if (m_longOperationRunning)
        return;
    const QString file = m_dialogs.openFile(bookFileFilter);
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
        BookIntake intake(m_creation.books, m_progress, m_clock);
        intake.open();
        for (const QString &path : paths)
            intake.addPath(path);
        const QStringList unreadable = intake.finish();
        refreshStatistics(*m_creatorpage);
        for (const QString &message :
             {undecodableBooksMessage(intake.undecodableFiles()), unreadableBooksMessage(unreadable)}) {
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

bool MainWindow::confirmPageSwitch(int)
{
    // A switch empties the lists a running intake is filling, and loading is itself long.
    if (m_longOperationRunning)
        return false;
    if (!m_dialogs.confirm(modeSwitchCaption, modeSwitchQuestion))
        return false;
    emptyLibraryPage(m_creation);
    runHandler([this] { refreshStatistics(*m_creatorpage); });
    emptyLibraryPage(m_editing);
    return true;
}

void MainWindow::enterPage(int index)
{
    if (m_pager->page(index) == m_editorpage)
        loadReaderLibrary();
}

void MainWindow::synchronizeCreationPage()
{
    writeToReader(*m_creatorpage, [this] {
        CreationSync sync(m_creation, m_volumes, m_dialogs, m_progress, m_readerFiles);
        const bool succeeded = sync.run(m_totalSize);
        m_deviceRoot = sync.deviceRoot();
        return succeeded;
    });
}

void MainWindow::writeToReader(LibraryPageWidget &page, const std::function<bool()> &synchronize)
{
    bool succeeded = false;
    {
        const LongOperation operation(m_longOperationRunning);
        if (!operation.started())
            return;
        const QScopedValueRollback writing(m_writingToReader, true);
        runHandler([&] {
            succeeded = synchronize();
            // The window stays: its statistics follow the rows the run changed.
            if (!succeeded)
                refreshStatistics(page);
        });
    }
    // A close asked for while the reader was written happens now.
    if (succeeded || std::exchange(m_closeWhenWritten, false))
        close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A reader is never left half-written by a close: it waits for the synchronisation's end.
    if (m_writingToReader) {
        m_closeWhenWritten = true;
        event->ignore();
        return;
    }
    // An intake or a load only reads; it stops at its next turn of the event loop. The
    // progress window goes first, so this is the last window closed and the application ends.
    if (m_longOperationRunning)
        m_progress.stop();
    m_progress.hide();
    QMainWindow::closeEvent(event);
}

void MainWindow::layOutPages()
{
    // The page shown has the current size; the other one takes the same places.
    const QWidget *shown = m_pager->currentPage();
    const QWidget *info = m_creatorpage->infoPanel();
    const PanelLayout layout = panelLayout(shown->width(), shown->height(), info->x() + info->width() + 2);
    m_creatorpage->placePanels(layout, shown->height());
    m_editorpage->placePanels(layout, shown->height());
}

void MainWindow::refreshStatistics(LibraryPageWidget &page)
{
    const PageStatistics statistics = updateStatistics(page.page());
    m_totalSize = statistics.total_size;
    page.applyStatistics(statistics);
    if (statistics.defaultCollectionMessage)
        m_dialogs.message(defaultCollectionMessageText());
}
