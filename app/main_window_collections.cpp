// The main window's editing of collections: the add and automatic buttons, the collection list
// and the book list of both pages. The operations are written once for a page; each page's handlers
// bind them to its own lists and its own statistics routine. While a long operation turns
// the event loop, the lists it reads or fills must not change under it: the editing
// operations wait for it to end, only showing a collection's books goes on.

#include "app/collection_source_menu.h"
#include "app/library_page_widget.h"
#include "app/long_operation.h"
#include "app/main_window.h"
#include "booklist/book_intake.h"
#include "collections/automatic_collections.h"
#include "collections/collection_operations.h"
#include "collections/shown_books.h"
#include "core/dialogs.h"
#include "reader/find_reader.h"
#include "widgets/grid_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {
// The arrow beside the page's automatic button, and that button.
QToolButton *sourceButtonOf(const LibraryPageWidget &page)
{
    return qobject_cast<QToolButton *>(page.control(page.page().kind == LibraryPage::Kind::Editing
                                                        ? QStringLiteral("SpeedButton4source")
                                                        : QStringLiteral("autocollectionsource")));
}
QAbstractButton *automaticButtonOf(const LibraryPageWidget &page)
{
    return page.button(page.page().kind == LibraryPage::Kind::Editing ? QStringLiteral("SpeedButton4")
                                                                      : QStringLiteral("autocollectionbutton"));
}
} // namespace

void MainWindow::connectCollectionHandlers(LibraryPageWidget &page, const QString &addButton,
                                           const QString &automaticButton)
{
    LibraryPageWidget *target = &page;
    connect(page.button(addButton), &QAbstractButton::clicked, this, [this, target] { addCollectionOn(*target); });
    connect(page.button(automaticButton), &QAbstractButton::clicked, this,
            [this, target] { buildAutomaticCollectionsOn(*target); });
    showCollectionSource(sourceButtonOf(page), page.button(automaticButton), rememberedCollectionSource());
    connect(sourceButtonOf(page)->menu(), &QMenu::triggered, this, [this, target](QAction *entry) {
        chooseCollectionSourceOn(*target, CollectionSource(entry->data().toInt()));
    });
    // A double click arrives after the click of its first press: that click shows the
    // collection's books, which the rename leaves as they are.
    connect(page.collectionList(), &QAbstractItemView::clicked, this,
            [this, target](const QModelIndex &index) { showCollectionBooksOn(*target, index.row()); });
    connect(page.collectionList(), &QAbstractItemView::doubleClicked, this,
            [this, target](const QModelIndex &index) { renameCollectionOn(*target, index.row()); });
    connect(page.collectionList(), &GridView::keyPressed, this,
            [this, target](int key) { deleteCollectionsOn(*target, key); });
    connect(page.bookList(), &QAbstractItemView::doubleClicked, this,
            [this, target](const QModelIndex &index) { renameBookOn(*target, index.row()); });
    connect(page.bookList(), &GridView::keyPressed, this,
            [this, target](int key) { removeShownBooksOn(*target, key); });
    // F2 renames the row under the cursor, as a double click renames the row clicked.
    connect(page.collectionList(), &GridView::keyPressed, this, [this, target](int key) {
        if (key == Qt::Key_F2)
            renameCollectionOn(*target, target->collectionList()->currentIndex().row());
    });
    connect(page.bookList(), &GridView::keyPressed, this, [this, target](int key) {
        if (key == Qt::Key_F2)
            renameBookOn(*target, target->bookList()->currentIndex().row());
    });
}

void MainWindow::addCollectionOn(LibraryPageWidget &page)
{
    if (m_longOperationRunning)
        return;
    runHandler([&] { applyPageUpdate(page, addCollection(page.page(), m_dialogs)); });
}

void MainWindow::showCollectionBooksOn(LibraryPageWidget &page, int row)
{
    runHandler([&] { applyPageUpdate(page, showCollectionBooks(page.page(), row)); });
}

void MainWindow::renameCollectionOn(LibraryPageWidget &page, int row)
{
    if (m_longOperationRunning)
        return;
    runHandler([&] { applyPageUpdate(page, renameCollection(page.page(), m_dialogs, row)); });
}

void MainWindow::deleteCollectionsOn(LibraryPageWidget &page, int key)
{
    if (key != Qt::Key_Delete || m_longOperationRunning)
        return;
    const GridView::RowRange selected = page.collectionList()->selectedRowRange();
    runHandler(
        [&] { applyPageUpdate(page, deleteCollections(page.page(), m_dialogs, selected.first, selected.count)); });
}

void MainWindow::renameBookOn(LibraryPageWidget &page, int row)
{
    if (m_longOperationRunning)
        return;
    runHandler([&] { applyPageUpdate(page, renameBook(page.page(), m_dialogs, row)); });
}

void MainWindow::removeShownBooksOn(LibraryPageWidget &page, int key)
{
    if (key != Qt::Key_Delete || m_longOperationRunning)
        return;
    const GridView::RowRange selected = page.bookList()->selectedRowRange();
    runHandler(
        [&] { applyPageUpdate(page, removeShownBooks(page.page(), m_dialogs, selected.first, selected.count)); });
}

void MainWindow::buildAutomaticCollectionsOn(LibraryPageWidget &page)
{
    if (m_longOperationRunning)
        return;
    const CollectionSource source = rememberedCollectionSource();
    const bool seriesOnReader = source == CollectionSource::Series && page.page().kind == LibraryPage::Kind::Editing &&
                                page.page().books.rowCount() > 0;
    const LongOperation operation(m_longOperationRunning);
    runHandler([&] {
        // The reader's books are read first; what could not be read goes by its folder.
        const QStringList unreadable =
            seriesOnReader ? readSeriesOnReader(page.page(), m_progress, m_formats, findReaderRoot(m_volumes)) : QStringList();
        applyPageUpdate(page, buildAutomaticCollections(page.page(), m_dialogs, source));
        if (!unreadable.isEmpty())
            m_dialogs.message(unreadableBooksMessage(unreadable));
    });
}

void MainWindow::chooseCollectionSourceOn(LibraryPageWidget &page, CollectionSource source)
{
    rememberCollectionSource(source);
    for (const LibraryPageWidget *shown : {m_creatorpage, m_editorpage})
        showCollectionSource(sourceButtonOf(*shown), automaticButtonOf(*shown), source);
    buildAutomaticCollectionsOn(page);
}

void MainWindow::applyPageUpdate(LibraryPageWidget &page, const PageUpdate &update)
{
    if (update.selectFileRow >= 0)
        page.pathList()->selectOnlyRow(update.selectFileRow);
    if (update.selectCollectionRow >= 0)
        page.collectionList()->selectOnlyRow(update.selectCollectionRow);
    if (update.selectShownBookRow >= 0)
        page.bookList()->selectOnlyRow(update.selectShownBookRow);
    if (update.rerunStatistics)
        refreshStatistics(page);
}
