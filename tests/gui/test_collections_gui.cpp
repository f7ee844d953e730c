#include "app/library_page_widget.h"
#include "collections/collection_operations.h"
#include "support/page_window.h"
#include "test_paths.h"
#include "widgets/grid_view.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {
const QString addCaption = "Добавление коллекции";
const QString addPrompt = "Введите название новой коллекции";
const QString renameCollectionCaption = "Изменение названия коллекции";
const QString renameCollectionPrompt = "Введите новое или измените старое название коллекции";
const QString renameBookCaption = "Изменение названия книги";
const QString renameBookPrompt = "Введите новое или измените старое название книги";
const QString collectionExists = "Коллекция с таким названием уже существует!";
const QString bookExists = "Книга с таким названием уже существует!";
const QString deleteCollectionCaption = "Подтверждение удаления коллекции";
const QString deleteBookCaption = "Подтверждение удаления книги";
const QString defaultCollectionMessage =
    "Книги без коллекции устройство автоматически \r\nдобавляет в Коллекцию по умолчанию!";
// Three books in collections of 1,048,576, 524,288 and 1,000 bytes among five books.
const QString fullStatistics = "5 шт.\n3 шт.\n3 шт.\n1 МБ 512 КБ\n0 МБ 600 КБ";

void compareShown(const ScriptedDialogs::Shown &shown, const QString &kind, const QString &caption, const QString &text,
                  const QString &defaultText = {})
{
    QCOMPARE(shown.kind, kind);
    QCOMPARE(shown.caption, caption);
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.defaultText, defaultText);
}
} // namespace

class TestCollectionsGui : public QObject
{
    Q_OBJECT
private slots:
    void addButtonAddsCollections_data() { addPages(); }
    void addButtonAddsCollections()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill(false);
        QVERIFY(!window.collectionPanelShown());

        window.dialogs.inputAnswers.enqueue("Фантастика");
        window.clickAddButton();
        QCOMPARE(window.dialogs.shown.size(), 1);
        compareShown(window.dialogs.shown.first(), "input", addCaption, addPrompt);
        QCOMPARE(window.names(), QStringList{"Фантастика"});
        QCOMPARE(window.counts(), QStringList{"0"});
        QCOMPARE(window.page.collections.headerTexts(), QStringList({"#", "Название коллекции", "Книг в коллекции"}));
        QVERIFY(window.collectionPanelShown());
        QVERIFY(!window.bookPanelShown());
        QVERIFY(window.shown(editing ? "eSynchronizebutton" : "Synchronizebutton"));
        QCOMPARE(window.statistics(), QString("5 шт.\n1 шт.\n0 шт.\n0 МБ 0 КБ\n0 МБ 0 КБ"));
        QCOMPARE(window.collectionList()->columnWidth(CollectionNameColumn), 380);
        // The reader's id column is out of sight on the editing page only.
        QCOMPARE(window.collectionList()->isColumnHidden(CollectionRecordIdColumn), editing);
        QCOMPARE(window.selected(window.collectionList()).count, 0);

        // Names differing in letter case or by a blank are other names.
        window.dialogs.inputAnswers << "фантастика"
                                    << " Фантастика"
                                    << "Фантастика";
        window.clickAddButton();
        window.clickAddButton();
        window.clickAddButton();
        QCOMPARE(window.names(), QStringList({"Фантастика", "фантастика", " Фантастика"}));
        QCOMPARE(window.numbers(), QStringList({"1", "2", "3"}));
        QCOMPARE(window.dialogs.messages(), QStringList{collectionExists});
        QCOMPARE(window.statistics(), QString("5 шт.\n3 шт.\n0 шт.\n0 МБ 0 КБ\n0 МБ 0 КБ"));

        // Cancel returns the empty default: nothing is added and nothing is said.
        window.clickAddButton();
        QCOMPARE(window.dialogs.shown.size(), 6);
        QCOMPARE(window.dialogs.shown.last().kind, QString("input"));
        QCOMPARE(window.names().size(), 3);
        QCOMPARE(window.page.shownBooks.rowCount(), 0);
    }

    void addingTheFirstCollectionEndsTheEditingPageMessage()
    {
        PageWindow window(true);
        window.fill(false);
        window.refresh();
        QCOMPARE(window.dialogs.messages(), QStringList{defaultCollectionMessage});
        QVERIFY(window.shown("SpeedButton3"));

        window.dialogs.shown.clear();
        window.dialogs.inputAnswers.enqueue("Новая");
        window.clickAddButton();
        QCOMPARE(window.names(), QStringList{"Новая"});
        QVERIFY(window.collectionPanelShown());
        QVERIFY(window.dialogs.messages().isEmpty());
    }

    void clickShowsTheBooksOfACollection_data() { addPages(); }
    void clickShowsTheBooksOfACollection()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        QVERIFY(!window.bookPanelShown());

        PageWindow::click(window.collectionList(), 1);
        QCOMPARE(window.shownTitles(), QStringList{"Зимнее утро"});
        QCOMPARE(window.page.shownBooks.shown_collection_row, 1);
        QVERIFY(window.bookPanelShown());
        QCOMPARE(window.page.shownBooks.headerTexts(), QStringList({"#", "Название книги", "Имя файла"}));
        QVERIFY(window.bookList()->isColumnHidden(ShownBookFullPathColumn));
        QCOMPARE(window.bookList()->columnWidth(ShownBookTitleColumn), 350);

        // In file-list order, whichever column is clicked.
        QTest::mouseClick(window.collectionList()->viewport(), Qt::LeftButton, {},
                          PageWindow::cellCentre(window.collectionList(), 0, CollectionBookCountColumn));
        QCOMPARE(window.shownTitles(), QStringList({"Дюна", "Солярис"}));
        QCOMPARE(window.page.shownBooks.rows().at(1).full_path, window.page.books.row(2).full_path);
        QCOMPARE(window.bookList()->model()->index(1, ShownBookNumberColumn).data().toString(), QString("2"));

        PageWindow::click(window.collectionList(), 2);
        QCOMPARE(window.page.shownBooks.rowCount(), 0);
        QCOMPARE(window.page.shownBooks.shown_collection_row, 2);
        QVERIFY(!window.bookPanelShown());
        QVERIFY(window.collectionPanelShown());

        QCOMPARE(window.statistics(), fullStatistics);
        QVERIFY(window.dialogs.shown.isEmpty());
    }

    void doubleClickRenamesACollection_data() { addPages(); }
    void doubleClickRenamesACollection()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        QSignalSpy clicks(window.collectionList(), &QAbstractItemView::clicked);

        window.dialogs.inputAnswers.enqueue("Sci-Fi");
        PageWindow::doubleClick(window.collectionList(), 0);
        QCOMPARE(clicks.size(), 1); // the double click's own release is no second click
        QCOMPARE(window.dialogs.shown.size(), 1);
        compareShown(window.dialogs.shown.first(), "input", renameCollectionCaption, renameCollectionPrompt,
                     "Фантастика");
        QCOMPARE(window.names(), QStringList({"Sci-Fi", "Стихи", "Пустая"}));
        QCOMPARE(window.membership(), QStringList({"Sci-Fi", "Стихи", "Sci-Fi", "", ""}));
        QCOMPARE(window.counts(), QStringList({"2", "1", "0"}));
        // The click before the double click showed the books; the rename leaves them shown.
        QCOMPARE(window.page.shownBooks.shown_collection_row, 0);
        QCOMPARE(window.shownTitles(), QStringList({"Дюна", "Солярис"}));
        QCOMPARE(window.statistics(), fullStatistics);

        // Another collection's name is refused, whichever cell is double-clicked.
        window.dialogs.inputAnswers.enqueue("Sci-Fi");
        PageWindow::doubleClick(window.collectionList(), 1, CollectionNumberColumn);
        compareShown(window.dialogs.shown.at(1), "input", renameCollectionCaption, renameCollectionPrompt, "Стихи");
        QCOMPARE(window.dialogs.messages(), QStringList{collectionExists});
        QCOMPARE(window.names(), QStringList({"Sci-Fi", "Стихи", "Пустая"}));

        // The number cell renames the name, never the number.
        window.dialogs.inputAnswers.enqueue("Поэзия");
        PageWindow::doubleClick(window.collectionList(), 1, CollectionNumberColumn);
        QCOMPARE(window.names(), QStringList({"Sci-Fi", "Поэзия", "Пустая"}));
        QCOMPARE(window.numbers(), QStringList({"1", "2", "3"}));
        QCOMPARE(window.membership(), QStringList({"Sci-Fi", "Поэзия", "Sci-Fi", "", ""}));

        // Cancel gives back the old name: nothing changes and nothing is said.
        PageWindow::doubleClick(window.collectionList(), 2);
        QCOMPARE(window.dialogs.shown.size(), 5);
        QCOMPARE(window.dialogs.shown.last().defaultText, QString("Пустая"));
        QCOMPARE(window.names(), QStringList({"Sci-Fi", "Поэзия", "Пустая"}));
        QCOMPARE(window.dialogs.messages().size(), 1);
    }

    void deleteKeyDeletesTheSelectedCollections_data() { addPages(); }
    void deleteKeyDeletesTheSelectedCollections()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        GridView *grid = window.collectionList();

        PageWindow::selectRows(grid, 0, 1);
        QCOMPARE(window.selected(grid).first, 0);
        QCOMPARE(window.selected(grid).count, 2);
        window.dialogs.confirmAnswers.enqueue(false);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(window.dialogs.shown.size(), 1);
        compareShown(window.dialogs.shown.first(), "confirm", deleteCollectionCaption,
                     "Вы действительно хотите удалить выделенные коллекции?");
        QCOMPARE(window.names(), QStringList({"Фантастика", "Стихи", "Пустая"}));

        // Only Delete acts.
        QTest::keyClick(grid, Qt::Key_Backspace);
        QTest::keyClick(grid, Qt::Key_D);
        QCOMPARE(window.dialogs.shown.size(), 1);

        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(window.dialogs.shown.size(), 2);
        QCOMPARE(window.names(), QStringList{"Пустая"});
        QCOMPARE(window.numbers(), QStringList{"1"});
        QCOMPARE(window.membership(), QStringList({"", "", "", "", ""}));
        QCOMPARE(window.page.books.rowCount(), 5);
        // The collection left first is selected and shown.
        QCOMPARE(window.selected(grid).first, 0);
        QCOMPARE(window.selected(grid).count, 1);
        QCOMPARE(window.page.shownBooks.shown_collection_row, 0);
        QVERIFY(!window.bookPanelShown());
        QCOMPARE(window.statistics(), QString("5 шт.\n1 шт.\n0 шт.\n0 МБ 0 КБ\n0 МБ 0 КБ"));
        QVERIFY(window.dialogs.messages().isEmpty());

        // The last one: the list empties, header texts too, and its panel goes.
        QTest::keyClick(grid, Qt::Key_Delete);
        compareShown(window.dialogs.shown.at(2), "confirm", deleteCollectionCaption,
                     "Вы действительно хотите удалить выделенную коллекцию?");
        QCOMPARE(window.page.collections.rowCount(), 0);
        QVERIFY(!window.page.collections.hasHeader());
        QCOMPARE(window.page.shownBooks.shown_collection_row, -1);
        QVERIFY(!window.collectionPanelShown());
        QVERIFY(!window.bookPanelShown());
        QCOMPARE(window.statistics(), QString("5 шт.\n0 шт.\n0 шт.\n0 МБ 0 КБ\n0 МБ 0 КБ"));
        if (editing) {
            QCOMPARE(window.dialogs.messages(), QStringList{defaultCollectionMessage});
            QVERIFY(window.shown("eSynchronizebutton"));
        } else {
            QVERIFY(window.dialogs.messages().isEmpty());
            QVERIFY(!window.shown("Synchronizebutton"));
            QVERIFY(!window.shown("label3_2"));
        }

        // With nothing left, Delete asks nothing.
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(window.dialogs.shown.size(), editing ? 4 : 3);
    }

    void deletingTheMiddleCollectionShowsTheFirst_data() { addPages(); }
    void deletingTheMiddleCollectionShowsTheFirst()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        PageWindow::click(window.collectionList(), 1);
        QTest::keyClick(window.collectionList(), Qt::Key_Delete);
        QCOMPARE(window.names(), QStringList({"Фантастика", "Пустая"}));
        QCOMPARE(window.numbers(), QStringList({"1", "2"}));
        QCOMPARE(window.membership(), QStringList({"Фантастика", "", "Фантастика", "", ""}));
        QCOMPARE(window.selected(window.collectionList()).first, 0);
        QCOMPARE(window.shownTitles(), QStringList({"Дюна", "Солярис"}));
        QVERIFY(window.bookPanelShown());
        QCOMPARE(window.statistics(), QString("5 шт.\n2 шт.\n2 шт.\n1 МБ 512 КБ\n0 МБ 400 КБ"));
    }

    void doubleClickRenamesABook_data() { addPages(); }
    void doubleClickRenamesABook()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        PageWindow::click(window.collectionList(), 0);
        GridView *grid = window.bookList();

        window.dialogs.inputAnswers.enqueue("Дюна. Книга первая");
        PageWindow::doubleClick(grid, 0);
        QCOMPARE(window.dialogs.shown.size(), 1);
        compareShown(window.dialogs.shown.first(), "input", renameBookCaption, renameBookPrompt, "Дюна");
        QCOMPARE(window.shownTitles(), QStringList({"Дюна. Книга первая", "Солярис"}));
        // Every book of that title is renamed, also the one in no collection.
        QCOMPARE(window.bookTitles(),
                 QStringList({"Дюна. Книга первая", "Зимнее утро", "Солярис", "Осень", "Дюна. Книга первая"}));

        // A title of the shown collection is refused; one of another collection is not.
        window.dialogs.inputAnswers << "Дюна. Книга первая"
                                    << "Зимнее утро";
        PageWindow::doubleClick(grid, 1);
        QCOMPARE(window.dialogs.messages(), QStringList{bookExists});
        QCOMPARE(window.shownTitles(), QStringList({"Дюна. Книга первая", "Солярис"}));
        PageWindow::doubleClick(grid, 1, ShownBookNumberColumn);
        compareShown(window.dialogs.shown.last(), "input", renameBookCaption, renameBookPrompt, "Солярис");
        QCOMPARE(window.shownTitles(), QStringList({"Дюна. Книга первая", "Зимнее утро"}));
        QCOMPARE(window.bookTitles(),
                 QStringList({"Дюна. Книга первая", "Зимнее утро", "Зимнее утро", "Осень", "Дюна. Книга первая"}));

        // Cancel changes nothing; membership and counts never move.
        PageWindow::doubleClick(grid, 0);
        QCOMPARE(window.dialogs.shown.size(), 5);
        QCOMPARE(window.bookTitles().first(), QString("Дюна. Книга первая"));
        QCOMPARE(window.counts(), QStringList({"2", "1", "0"}));
        QCOMPARE(window.statistics(), fullStatistics);
    }

    void deleteKeyTakesBooksOutOfTheShownCollection_data() { addPages(); }
    void deleteKeyTakesBooksOutOfTheShownCollection()
    {
        QFETCH(bool, editing);
        PageWindow window(editing);
        window.fill();
        PageWindow::click(window.collectionList(), 0);
        GridView *grid = window.bookList();

        PageWindow::click(grid, 0);
        window.dialogs.confirmAnswers.enqueue(false);
        QTest::keyClick(grid, Qt::Key_Delete);
        compareShown(window.dialogs.shown.first(), "confirm", deleteBookCaption,
                     "Вы действительно хотите удалить выделенную книгу?");
        QCOMPARE(window.shownTitles(), QStringList({"Дюна", "Солярис"}));
        QCOMPARE(window.counts(), QStringList({"2", "1", "0"}));

        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(window.shownTitles(), QStringList{"Солярис"});
        QCOMPARE(window.selected(grid).first, 0);
        QCOMPARE(window.selected(grid).count, 1);
        QCOMPARE(window.counts(), QStringList({"1", "1", "0"}));
        QCOMPARE(window.membership(), QStringList({"", "Стихи", "Фантастика", "", ""}));
        QCOMPARE(window.page.books.rowCount(), 5);
        QCOMPARE(window.statistics(), QString("5 шт.\n3 шт.\n2 шт.\n0 МБ 512 КБ\n0 МБ 400 КБ"));

        // Two selected books leave at once; the emptied list's panel goes.
        window.page.books.updateRow(3, [](BookRow &row) { row.collection = "Стихи"; });
        window.page.collections.adjustBookCount(1, 1);
        PageWindow::click(window.collectionList(), 1);
        QCOMPARE(window.shownTitles(), QStringList({"Зимнее утро", "Осень"}));
        PageWindow::selectRows(grid, 0, 1);
        QTest::keyClick(grid, Qt::Key_Delete);
        compareShown(window.dialogs.shown.last(), "confirm", deleteBookCaption,
                     "Вы действительно хотите удалить выделенные книги?");
        QCOMPARE(window.page.shownBooks.rowCount(), 0);
        QVERIFY(!window.bookPanelShown());
        QVERIFY(window.collectionPanelShown());
        QCOMPARE(window.counts(), QStringList({"1", "0", "0"}));
        QCOMPARE(window.membership(), QStringList({"", "", "Фантастика", "", ""}));
        QCOMPARE(window.statistics(), QString("5 шт.\n3 шт.\n1 шт.\n0 МБ 512 КБ\n0 МБ 200 КБ"));
        QCOMPARE(window.dialogs.messages(), QStringList());
    }

    void deleteTakesOneUnbrokenRangeOfRows()
    {
        // A selection set from code may have a gap; Delete takes the first unbroken range
        // and never a row the user did not select.
        PageWindow window(false);
        window.fill();
        GridView *grid = window.collectionList();
        QItemSelection selection;
        selection.select(grid->model()->index(2, 0), grid->model()->index(2, 2));
        selection.select(grid->model()->index(0, 0), grid->model()->index(0, 2));
        grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(window.selected(grid).first, 0);
        QCOMPARE(window.selected(grid).count, 1);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(window.names(), QStringList({"Стихи", "Пустая"}));

        grid->clearSelection();
        QCOMPARE(window.selected(grid).count, 0);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(window.dialogs.shown.size(), 1);
        QCOMPARE(window.names().size(), 2);
    }

    void editingWaitsWhileALongOperationRuns()
    {
        // An intake turns the event loop once per book; what arrives meanwhile must not
        // change the lists under it. Showing a collection's books still works.
        PageWindow window(false);
        window.fill();
        QTemporaryDir folder;
        QVERIFY(QDir().mkpath(folder.filePath("Busy")));
        QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/fb2/minimal.fb2", folder.filePath("Busy/one.fb2")));
        window.dialogs.folderAnswers.enqueue(folder.filePath("Busy"));
        window.progress.onEvents = [&] {
            QVERIFY(window.mainWindow.longOperationRunning());
            PageWindow::click(window.collectionList(), 0);
            window.dialogs.inputAnswers << "Новая"
                                        << "Sci-Fi"
                                        << "Дюна 2";
            window.clickAddButton();
            PageWindow::doubleClick(window.collectionList(), 0);
            QTest::keyClick(window.collectionList(), Qt::Key_Delete);
            PageWindow::doubleClick(window.bookList(), 0);
            PageWindow::click(window.bookList(), 0);
            QTest::keyClick(window.bookList(), Qt::Key_Delete);
        };
        QTest::mouseClick(window.widget->button("AddDirButton"), Qt::LeftButton);

        // The folder picker, then the intake's note on the listed books that are not on disk.
        QStringList kinds;
        for (const ScriptedDialogs::Shown &shown : window.dialogs.shown)
            kinds << shown.kind;
        QCOMPARE(kinds, QStringList({"browseForFolder", "message"}));
        QCOMPARE(window.page.books.rowCount(), 6);
        QCOMPARE(window.names(), QStringList({"Фантастика", "Стихи", "Пустая"}));
        QCOMPARE(window.counts(), QStringList({"2", "1", "0"}));
        QCOMPARE(window.shownTitles(), QStringList({"Дюна", "Солярис"}));
        QCOMPARE(window.statistics(), QString("6 шт.\n3 шт.\n3 шт.\n1 МБ 512 КБ\n0 МБ 600 КБ"));

        // Once it has ended, the same gestures act.
        window.dialogs.inputAnswers.clear();
        window.dialogs.inputAnswers.enqueue("Sci-Fi");
        PageWindow::doubleClick(window.collectionList(), 0);
        QCOMPARE(window.names().first(), QString("Sci-Fi"));
    }

    void bothPagesKeepTheirOwnLists()
    {
        // The editing page's operations touch its own lists and statistics only.
        PageWindow window(true);
        window.fill();
        QCOMPARE(window.mainWindow.creation().books.rowCount(), 0);
        window.dialogs.inputAnswers.enqueue("Новая");
        window.clickAddButton();
        PageWindow::click(window.collectionList(), 0);
        QCOMPARE(window.mainWindow.creation().collections.rowCount(), 0);
        QCOMPARE(window.mainWindow.creation().shownBooks.rowCount(), 0);
        QCOMPARE(window.mainWindow.findChild<QLabel *>("statisctilabelvalue")->text(),
                 QString("0 шт.\n0 шт.\n0 шт.\n0 МБ 0 КБ\n0 МБ 0 КБ"));
        QCOMPARE(window.statistics(), QString("5 шт.\n4 шт.\n3 шт.\n1 МБ 512 КБ\n0 МБ 600 КБ"));
        QCOMPARE(window.mainWindow.totalSize(), 1048576 + 524288 + 1000);
    }
};

QTEST_MAIN(TestCollectionsGui)
#include "test_collections_gui.moc"
