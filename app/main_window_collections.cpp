// TForm1's hand editing of collections: the add button, the collection list and the book
// list of both pages. The operations are written once for a page; each page's handlers
// bind them to its own lists and its own statistics routine. While a long operation turns
// the event loop, the lists it reads or fills must not change under it: the editing
// operations wait for it to end, only showing a collection's books goes on.

#include "app/library_page_widget.h"
#include "app/main_window.h"
#include "collections/collection_operations.h"
#include "collections/shown_books.h"
#include "widgets/grid_view.h"

#include <QAbstractButton>

namespace {
// The handlers of one page, as the widgets' signals reach them.
struct PageHandlers
{
    const char *addButton;
    void (TForm1::*addClick)();
    void (TForm1::*collectionClick)(int, int);
    void (TForm1::*collectionDoubleClick)(int, int);
    void (TForm1::*collectionKeyDown)(int);
    void (TForm1::*bookDoubleClick)(int, int);
    void (TForm1::*bookKeyDown)(int);
};

void connectPage(TForm1 *form, LibraryPageWidget *page, const PageHandlers &handlers)
{
    QObject::connect(page->button(QString::fromLatin1(handlers.addButton)), &QAbstractButton::clicked, form,
                     handlers.addClick);
    // A double click arrives after the click of its first press: that click shows the
    // collection's books, which the rename leaves as they are.
    QObject::connect(page->collectionList(), &QAbstractItemView::clicked, form,
                     [form, handler = handlers.collectionClick](const QModelIndex &index) {
                         (form->*handler)(index.row(), index.column());
                     });
    QObject::connect(page->collectionList(), &QAbstractItemView::doubleClicked, form,
                     [form, handler = handlers.collectionDoubleClick](const QModelIndex &index) {
                         (form->*handler)(index.row(), index.column());
                     });
    QObject::connect(page->collectionList(), &GridView::keyPressed, form, handlers.collectionKeyDown);
    QObject::connect(page->bookList(), &QAbstractItemView::doubleClicked, form,
                     [form, handler = handlers.bookDoubleClick](const QModelIndex &index) {
                         (form->*handler)(index.row(), index.column());
                     });
    QObject::connect(page->bookList(), &GridView::keyPressed, form, handlers.bookKeyDown);
}
} // namespace

void TForm1::connectCollectionHandlers()
{
    connectPage(this, m_creatorpage,
                {"addcollectionbutton", &TForm1::addcollectionbuttonClick, &TForm1::CollectionListClickCell,
                 &TForm1::CollectionListDblClickCell, &TForm1::CollectionListKeyDown, &TForm1::BookListDblClickCell,
                 &TForm1::BookListKeyDown});
    connectPage(this, m_editorpage,
                {"SpeedButton3", &TForm1::SpeedButton3Click, &TForm1::ecollectionlistClickCell,
                 &TForm1::ecollectionlistDblClickCell, &TForm1::ecollectionlistKeyDown, &TForm1::ebooklistDblClickCell,
                 &TForm1::ebooklistKeyDown});
}

void TForm1::addcollectionbuttonClick()
{
    addCollectionOn(*m_creatorpage);
}

void TForm1::CollectionListClickCell(int row, int)
{
    showCollectionBooksOn(*m_creatorpage, row);
}

void TForm1::CollectionListDblClickCell(int row, int)
{
    renameCollectionOn(*m_creatorpage, row);
}

void TForm1::CollectionListKeyDown(int key)
{
    deleteCollectionsOn(*m_creatorpage, key);
}

void TForm1::BookListDblClickCell(int row, int)
{
    renameBookOn(*m_creatorpage, row);
}

void TForm1::BookListKeyDown(int key)
{
    removeShownBooksOn(*m_creatorpage, key);
}

void TForm1::SpeedButton3Click()
{
    addCollectionOn(*m_editorpage);
}

void TForm1::ecollectionlistClickCell(int row, int)
{
    showCollectionBooksOn(*m_editorpage, row);
}

void TForm1::ecollectionlistDblClickCell(int row, int)
{
    renameCollectionOn(*m_editorpage, row);
}

void TForm1::ecollectionlistKeyDown(int key)
{
    deleteCollectionsOn(*m_editorpage, key);
}

void TForm1::ebooklistDblClickCell(int row, int)
{
    renameBookOn(*m_editorpage, row);
}

void TForm1::ebooklistKeyDown(int key)
{
    removeShownBooksOn(*m_editorpage, key);
}

void TForm1::addCollectionOn(LibraryPageWidget &page)
{
    if (m_longOperationRunning)
        return;
    runHandler([&] { applyPageUpdate(page, addCollection(page.page(), m_dialogs)); });
}

void TForm1::showCollectionBooksOn(LibraryPageWidget &page, int row)
{
    runHandler([&] { applyPageUpdate(page, showCollectionBooks(page.page(), row)); });
}

void TForm1::renameCollectionOn(LibraryPageWidget &page, int row)
{
    if (m_longOperationRunning)
        return;
    runHandler([&] { applyPageUpdate(page, renameCollection(page.page(), m_dialogs, row)); });
}

void TForm1::deleteCollectionsOn(LibraryPageWidget &page, int key)
{
    if (key != Qt::Key_Delete || m_longOperationRunning)
        return;
    const GridView::RowRange selected = page.collectionList()->selectedRowRange();
    runHandler(
        [&] { applyPageUpdate(page, deleteCollections(page.page(), m_dialogs, selected.first, selected.count)); });
}

void TForm1::renameBookOn(LibraryPageWidget &page, int row)
{
    if (m_longOperationRunning)
        return;
    runHandler([&] { applyPageUpdate(page, renameBook(page.page(), m_dialogs, row)); });
}

void TForm1::removeShownBooksOn(LibraryPageWidget &page, int key)
{
    if (key != Qt::Key_Delete || m_longOperationRunning)
        return;
    const GridView::RowRange selected = page.bookList()->selectedRowRange();
    runHandler(
        [&] { applyPageUpdate(page, removeShownBooks(page.page(), m_dialogs, selected.first, selected.count)); });
}

void TForm1::applyPageUpdate(LibraryPageWidget &page, const PageUpdate &update)
{
    if (update.selectCollectionRow >= 0)
        page.collectionList()->selectOnlyRow(update.selectCollectionRow);
    if (update.selectShownBookRow >= 0)
        page.bookList()->selectOnlyRow(update.selectShownBookRow);
    if (!update.rerunStatistics)
        return;
    if (&page == m_editorpage)
        UpdateEditorStatistics();
    else
        UpdateStatistics();
}
