// The main window's drag and drop of rows between the lists of a page: the file list, the
// collection list and the book list of either page, bound to one set of rules and drops. A
// drag counts only on the page it comes from; rows of the other page, of another window
// or of another process are refused, and so is every drop while a long operation turns
// the event loop over the lists.

#include "app/library_page_widget.h"
#include "app/main_window.h"
#include "collections/book_moves.h"
#include "widgets/grid_view.h"

#include <optional>

namespace {
// The list of `page` the dragged rows come from.
std::optional<DragSource> dragSourceOn(const LibraryPageWidget &page, const RowDrag &drag)
{
    if (drag.sourceGrid == page.pathList()->dragIdentity())
        return DragSource::FileList;
    if (drag.sourceGrid == page.collectionList()->dragIdentity())
        return DragSource::CollectionList;
    if (drag.sourceGrid == page.bookList()->dragIdentity())
        return DragSource::BookList;
    return std::nullopt;
}

int collectionRowUnderPointer(int gridRow)
{
    switch (gridRow) {
    case GridView::NoRow:
        return NoRowUnderPointer;
    case GridView::HeaderRow:
        return HeaderUnderPointer;
    default:
        return gridRow;
    }
}
} // namespace

void MainWindow::connectDropHandlers(LibraryPageWidget &page)
{
    LibraryPageWidget *target = &page;
    page.collectionList()->setRowDropRules(
        {[this, target](const RowDrag &drag, int row) { return acceptsRowsOnCollectionList(*target, drag, row); },
         [this, target](const RowDrag &drag, int row) { dropRowsOnCollectionList(*target, drag, row); }});
    page.bookList()->setRowDropRules(
        {[this, target](const RowDrag &drag, int) { return acceptsRowsOnBookList(*target, drag); },
         [this, target](const RowDrag &drag, int) { dropRowsOnBookList(*target, drag); }});
}

bool MainWindow::acceptsRowsOnCollectionList(LibraryPageWidget &page, const RowDrag &drag, int row) const
{
    const std::optional<DragSource> source = dragSourceOn(page, drag);
    if (!source || m_longOperationRunning)
        return false;
    const GridView::RowRange selected = page.collectionList()->selectedRowRange();
    return collectionListAcceptsDrop(page.page(), *source, collectionRowUnderPointer(row), selected.first,
                                     selected.count);
}

void MainWindow::dropRowsOnCollectionList(LibraryPageWidget &page, const RowDrag &drag, int row)
{
    if (!acceptsRowsOnCollectionList(page, drag, row))
        return;
    const DragSource source = *dragSourceOn(page, drag);
    runHandler([&] {
        applyPageUpdate(page,
                        dropOnCollection(page.page(), source, drag.first, drag.count, collectionRowUnderPointer(row)));
    });
}

bool MainWindow::acceptsRowsOnBookList(LibraryPageWidget &page, const RowDrag &drag) const
{
    const std::optional<DragSource> source = dragSourceOn(page, drag);
    return source && !m_longOperationRunning && bookListAcceptsDrop(page.page(), *source);
}

void MainWindow::dropRowsOnBookList(LibraryPageWidget &page, const RowDrag &drag)
{
    if (!acceptsRowsOnBookList(page, drag))
        return;
    const DragSource source = *dragSourceOn(page, drag);
    runHandler([&] { applyPageUpdate(page, dropOnBookList(page.page(), source, drag.first, drag.count)); });
}
