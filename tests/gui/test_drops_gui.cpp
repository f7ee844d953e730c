#include "support/page_window.h"
#include "support/synthetic_drag.h"
#include "test_paths.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace {
const QStringList filledMembership{"Фантастика", "Стихи", "Фантастика", "", ""};
const QStringList filledNames{"Фантастика", "Стихи", "Пустая"};
const QStringList filledCounts{"2", "1", "0"};

std::unique_ptr<QMimeData> dragOf(GridView *source)
{
    return std::unique_ptr<QMimeData>(source->selectedRowsDragData());
}

QPoint rowCentre(GridView *grid, int row)
{
    return PageWindow::cellCentre(grid, row, 1);
}

// A point of the grid's viewport below its last row.
QPoint belowTheRows(GridView *grid)
{
    return {20, grid->viewport()->height() - 4};
}

QWidget *headerOf(GridView *grid)
{
    return grid->horizontalHeader()->viewport();
}

// What a page shows of its lists, to see that a refused drop changed nothing.
QStringList pageState(const PageWindow &window)
{
    const GridView::RowRange selected = window.selected(window.collectionList());
    return QStringList{window.membership().join('|'),
                       window.names().join('|'),
                       window.counts().join('|'),
                       window.shownTitles().join('|'),
                       QString("%1+%2").arg(selected.first).arg(selected.count),
                       window.statistics()};
}
} // namespace

class TestDropsGui : public QObject
{
    Q_OBJECT
private slots:
    void filesDroppedOnACollectionJoinIt_data() { addPages(); }
    void filesDroppedOnACollectionJoinIt()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        // One book of "Фантастика" and two in none onto "Стихи".
        PageWindow::selectRows(window.pathList(), 2, 4);
        const auto data = dragOf(window.pathList());
        const SyntheticDrag drag{window.collectionList()->viewport(), rowCentre(window.collectionList(), 1),
                                 data.get()};
        QVERIFY(drag.moveAccepted());
        QVERIFY(drag.drop());
        QCOMPARE(window.membership(), QStringList({"Фантастика", "Стихи", "Стихи", "Стихи", "Стихи"}));
        QCOMPARE(window.counts(), QStringList({"1", "4", "0"}));
        QCOMPARE(window.selected(window.collectionList()).first, 1);
        QCOMPARE(window.selected(window.collectionList()).count, 1);
        QCOMPARE(window.shownTitles(), QStringList({"Зимнее утро", "Солярис", "Осень", "Дюна"}));
        QVERIFY(window.bookPanelShown());
        QCOMPARE(window.statistics(), QString("5 шт.\n3 шт.\n5 шт.\n1 МБ 518 КБ\n0 МБ 1000 КБ"));
        QVERIFY(window.dialogs.shown.isEmpty());
    }

    void shownBooksDroppedOnAnotherCollectionMoveThere_data() { addPages(); }
    void shownBooksDroppedOnAnotherCollectionMoveThere()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        PageWindow::click(window.collectionList(), 0);
        PageWindow::click(window.bookList(), 1);
        auto data = dragOf(window.bookList());
        // Back onto the collection shown, which is the selected one: refused.
        const QStringList before = pageState(window);
        const SyntheticDrag ontoShown{window.collectionList()->viewport(), rowCentre(window.collectionList(), 0),
                                      data.get()};
        QVERIFY(!ontoShown.moveAccepted());
        QVERIFY(!ontoShown.drop());
        QCOMPARE(pageState(window), before);

        const SyntheticDrag ontoEmpty{window.collectionList()->viewport(), rowCentre(window.collectionList(), 2),
                                      data.get()};
        QVERIFY(ontoEmpty.drop());
        QCOMPARE(window.membership(), QStringList({"Фантастика", "Стихи", "Пустая", "", ""}));
        QCOMPARE(window.counts(), QStringList({"1", "1", "1"}));
        QCOMPARE(window.selected(window.collectionList()).first, 2);
        QCOMPARE(window.shownTitles(), QStringList({"Солярис"}));
    }

    void collectionsDroppedOnAnotherMergeIntoIt_data() { addPages(); }
    void collectionsDroppedOnAnotherMergeIntoIt()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        PageWindow::selectRows(window.collectionList(), 0, 1);
        const auto data = dragOf(window.collectionList());
        // Onto one of the dragged collections: refused.
        const SyntheticDrag ontoItself{window.collectionList()->viewport(), rowCentre(window.collectionList(), 1),
                                       data.get()};
        QVERIFY(!ontoItself.moveAccepted());
        QVERIFY(!ontoItself.drop());
        QCOMPARE(window.names(), filledNames);

        const SyntheticDrag ontoEmpty{window.collectionList()->viewport(), rowCentre(window.collectionList(), 2),
                                      data.get()};
        QVERIFY(ontoEmpty.moveAccepted());
        QVERIFY(ontoEmpty.drop());
        QCOMPARE(window.names(), QStringList({"Пустая"}));
        QCOMPARE(window.numbers(), QStringList({"1"}));
        QCOMPARE(window.counts(), QStringList({"3"}));
        QCOMPARE(window.membership(), QStringList({"Пустая", "Пустая", "Пустая", "", ""}));
        QCOMPARE(window.selected(window.collectionList()).first, 0);
        QCOMPARE(window.selected(window.collectionList()).count, 1);
        QCOMPARE(window.shownTitles(), QStringList({"Дюна", "Зимнее утро", "Солярис"}));
        QCOMPARE(window.statistics(), QString("5 шт.\n1 шт.\n3 шт.\n1 МБ 512 КБ\n0 МБ 600 КБ"));
    }

    void filesDroppedAnywhereOnTheBookListJoinTheShownCollection_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("where");
        for (const bool editing : {false, true}) {
            const char *page = editing ? "editing page" : "creation page";
            for (const char *where : {"over a row", "below the rows", "over the header"})
                QTest::addRow("%s, %s", page, where) << editing << QString(where);
        }
    }
    void filesDroppedAnywhereOnTheBookListJoinTheShownCollection()
    {
        QFETCH(bool, editing);
        QFETCH(QString, where);
        PageWindow window(editing);
        window.fill();
        PageWindow::click(window.collectionList(), 1);
        PageWindow::selectRows(window.pathList(), 2, 4);
        const auto data = dragOf(window.pathList());
        GridView *books = window.bookList();
        SyntheticDrag drag{books->viewport(), rowCentre(books, 0), data.get()};
        if (where == "below the rows") {
            drag.position = belowTheRows(books);
            QCOMPARE(books->rowAt(drag.position.y()), -1);
        } else if (where == "over the header") {
            drag.receiver = headerOf(books);
            drag.position = drag.receiver->rect().center();
            QVERIFY(drag.receiver->isVisible());
        }
        QVERIFY(drag.moveAccepted());
        QVERIFY(drag.drop());
        QCOMPARE(window.membership(), QStringList({"Фантастика", "Стихи", "Стихи", "Стихи", "Стихи"}));
        QCOMPARE(window.counts(), QStringList({"1", "4", "0"}));
        QCOMPARE(window.shownTitles(), QStringList({"Зимнее утро", "Солярис", "Осень", "Дюна"}));
        // The collection list's selection stays where the click put it.
        QCOMPARE(window.selected(window.collectionList()).first, 1);
        QCOMPARE(window.statistics(), QString("5 шт.\n3 шт.\n5 шт.\n1 МБ 518 КБ\n0 МБ 1000 КБ"));
    }

    void refusedDropsChangeNothing_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("refused");
        for (const bool editing : {false, true}) {
            const char *page = editing ? "editing page" : "creation page";
            for (const char *refused : {"files over the collection header", "files over a nameless collection",
                                        "collections onto the book list", "shown books onto the book list",
                                        "files of the other page", "rows of another window", "rows of another process"})
                QTest::addRow("%s, %s", page, refused) << editing << QString(refused);
        }
    }
    void refusedDropsChangeNothing()
    {
        QFETCH(bool, editing);
        QFETCH(QString, refused);
        PageWindow window(editing);
        window.fill();
        PageWindow::click(window.collectionList(), 0);
        PageWindow::selectRows(window.pathList(), 3, 4);
        GridView *collections = window.collectionList();
        LibraryPageWidget *otherPage = editing ? window.mainWindow.creatorpage() : window.mainWindow.editorpage();
        BookTable otherWindowBooks;
        GridView otherWindowGrid;
        std::unique_ptr<QMimeData> data = dragOf(window.pathList());
        SyntheticDrag drag{collections->viewport(), rowCentre(collections, 1), nullptr};
        if (refused == "files over the collection header") {
            drag.receiver = headerOf(collections);
            drag.position = drag.receiver->rect().center();
        } else if (refused == "files over a nameless collection") {
            window.page.collections.updateRow(1, [](CollectionRow &collection) { collection.name.clear(); });
        } else if (refused == "collections onto the book list") {
            data = dragOf(collections);
            drag = {window.bookList()->viewport(), rowCentre(window.bookList(), 0), nullptr};
        } else if (refused == "shown books onto the book list") {
            PageWindow::click(window.bookList(), 0);
            data = dragOf(window.bookList());
            drag = {window.bookList()->viewport(), rowCentre(window.bookList(), 1), nullptr};
        } else if (refused == "files of the other page") {
            otherPage->page().books.appendRows({book("/other/one.fb2", "Один", {}, "1")});
            otherPage->pathList()->selectOnlyRow(0);
            data = dragOf(otherPage->pathList());
        } else if (refused == "rows of another window") {
            otherWindowBooks.appendRows({book("/other/one.fb2", "Один", {}, "1")});
            otherWindowGrid.setGridModel(&otherWindowBooks);
            otherWindowGrid.selectOnlyRow(0);
            data = dragOf(&otherWindowGrid);
        } else if (refused == "rows of another process") {
            data.reset(rowDragData({"an-identity-of-another-process", 3, 2}));
        }
        QVERIFY(data);
        drag.data = data.get();
        const QStringList before = pageState(window);
        QVERIFY(!drag.moveAccepted());
        QVERIFY(!drag.drop());
        QCOMPARE(pageState(window), before);
        QVERIFY(window.dialogs.shown.isEmpty());
    }

    void aDropBelowTheLastCollectionChangesNothing_data() { addPages(); }
    void aDropBelowTheLastCollectionChangesNothing()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        PageWindow::click(window.collectionList(), 0);
        PageWindow::selectRows(window.pathList(), 3, 4);
        const auto data = dragOf(window.pathList());
        GridView *collections = window.collectionList();
        const SyntheticDrag drag{collections->viewport(), belowTheRows(collections), data.get()};
        QCOMPARE(collections->rowAt(drag.position.y()), -1);
        const QStringList before = pageState(window);
        // The answer over no row is yes, and the drop does nothing.
        QVERIFY(drag.moveAccepted());
        QVERIFY(drag.drop());
        QCOMPARE(pageState(window), before);
    }

    void dropsWaitWhileALongOperationRuns()
    {
        PageWindow window(false);
        window.fill();
        PageWindow::click(window.collectionList(), 0);
        PageWindow::selectRows(window.pathList(), 3, 4);
        const auto data = dragOf(window.pathList());
        const SyntheticDrag ontoCollection{window.collectionList()->viewport(), rowCentre(window.collectionList(), 1),
                                           data.get()};
        const SyntheticDrag ontoBooks{window.bookList()->viewport(), rowCentre(window.bookList(), 0), data.get()};
        QTemporaryDir folder;
        QVERIFY(QDir().mkpath(folder.filePath("Busy")));
        QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/fb2/minimal.fb2", folder.filePath("Busy/one.fb2")));
        window.dialogs.folderAnswers.enqueue(folder.filePath("Busy"));
        bool refusedMeanwhile = false;
        window.progress.onEvents = [&] {
            refusedMeanwhile = window.mainWindow.longOperationRunning() && !ontoCollection.moveAccepted() &&
                               !ontoCollection.drop() && !ontoBooks.moveAccepted() && !ontoBooks.drop();
        };
        QTest::mouseClick(window.widget->button("AddDirButton"), Qt::LeftButton);
        QVERIFY(refusedMeanwhile);
        QCOMPARE(window.page.books.rowCount(), 6);
        QCOMPARE(window.membership(), filledMembership + QStringList{""});
        QCOMPARE(window.counts(), filledCounts);

        // Once it is over, the same drop is taken.
        QVERIFY(ontoCollection.drop());
        QCOMPARE(window.counts(), QStringList({"2", "3", "0"}));
    }

    void filesFromTheFileManagerStillArriveOverTheLists_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("collection list") << "collection list";
        QTest::newRow("book list header") << "book list header";
        QTest::newRow("file list") << "file list";
    }
    void filesFromTheFileManagerStillArriveOverTheLists()
    {
        QFETCH(QString, where);
        PageWindow window(false);
        window.fill();
        PageWindow::click(window.collectionList(), 0);
        QTemporaryDir folder;
        QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/fb2/minimal.fb2", folder.filePath("one.fb2")));
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(folder.filePath("one.fb2"))});
        SyntheticDrag drag{window.collectionList()->viewport(), rowCentre(window.collectionList(), 1), &files};
        if (where == "book list header") {
            drag.receiver = headerOf(window.bookList());
            drag.position = drag.receiver->rect().center();
        } else if (where == "file list") {
            drag = {window.pathList()->viewport(), rowCentre(window.pathList(), 1), &files};
        }
        QVERIFY(drag.moveAccepted());
        QVERIFY(drag.drop());
        QTRY_COMPARE(window.page.books.rowCount(), 6);
        QCOMPARE(window.page.books.rows().last().full_path, QDir::toNativeSeparators(folder.filePath("one.fb2")));
        QCOMPARE(window.membership(), filledMembership + QStringList{""});
        QCOMPARE(window.counts(), filledCounts);
    }

    void aRowDragIsNoFileDrop()
    {
        // Dragged rows let go over the window outside the lists add nothing.
        PageWindow window(false);
        window.fill();
        PageWindow::selectRows(window.pathList(), 0, 1);
        const auto data = dragOf(window.pathList());
        QWidget *info = window.widget->infoPanel();
        const SyntheticDrag drag{info, info->rect().center(), data.get()};
        QVERIFY(!drag.moveAccepted());
        QVERIFY(!drag.drop());
        QCoreApplication::processEvents();
        QCOMPARE(window.page.books.rowCount(), 5);
        QCOMPARE(window.membership(), filledMembership);
        QVERIFY(window.dialogs.shown.isEmpty());
    }
};

QTEST_MAIN(TestDropsGui)
#include "test_drops_gui.moc"
