// The main window's handlers of the file list, one set bound to either page: Delete, the
// double click or Enter that opens a book, and the header that sorts it, which waits while a long
// operation walks the rows (a re-sort under it would skip books or take them twice).

#include "app/library_page_widget.h"
#include "app/main_window.h"
#include "collections/file_list_editing.h"
#include "reader/find_reader.h"
#include "widgets/grid_view.h"

#include <QEvent>
#include <QHeaderView>

void MainWindow::connectFileListHandlers(LibraryPageWidget &page)
{
    LibraryPageWidget *target = &page;
    connect(page.pathList(), &GridView::keyPressed, this,
            [this, target](int key) { removeFileListRowsOn(*target, key); });
    connect(page.pathList(), &QAbstractItemView::doubleClicked, this,
            [this, target](const QModelIndex &index) { openBookOn(*target, index.row()); });
    // Enter opens the book under the cursor, as a double click opens the book clicked.
    connect(page.pathList(), &GridView::keyPressed, this, [this, target](int key) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            openBookOn(*target, target->pathList()->currentIndex().row());
    });
    page.pathList()->horizontalHeader()->viewport()->installEventFilter(this);
}

void MainWindow::removeFileListRowsOn(LibraryPageWidget &page, int key)
{
    if (key != Qt::Key_Delete || m_longOperationRunning)
        return;
    const GridView::RowRange selected = page.pathList()->selectedRowRange();
    runHandler(
        [&] { applyPageUpdate(page, removeFileListRows(page.page(), m_dialogs, selected.first, selected.count)); });
}

void MainWindow::openBookOn(LibraryPageWidget &page, int row)
{
    runHandler([&] {
        const bool onReader = page.page().kind == LibraryPage::Kind::Editing;
        openFileListBook(page.page(), m_fileOpener, row,
                         onReader ? findReaderRoot(m_volumes, page.page().reader.deviceRoot) : QString());
    });
}

bool MainWindow::isFileListHeader(const QObject *object) const
{
    return object == m_creatorpage->pathList()->horizontalHeader()->viewport() ||
           object == m_editorpage->pathList()->horizontalHeader()->viewport();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (m_longOperationRunning && isFileListHeader(watched))
            return true;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
