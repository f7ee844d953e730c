#include "app/library_page_widget.h"
#include "collections/collection_operations.h"
#include "support/window_under_test.h"
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

BookRow book(const QString &path, const QString &title, const QString &collection, const QString &size)
{
    BookRow row;
    row.full_path = path;
    row.title = title;
    row.collection = collection;
    row.file_size = size;
    return row;
}

// The main window on one of its pages, its lists filled as the intake or the reader's load
// leaves them; every step goes through the real widgets.
struct Window : WindowUnderTest
{
    bool editing;
    LibraryPageWidget *widget;
    LibraryPage &page;

    explicit Window(bool onEditingPage)
        : editing(onEditingPage), widget(editing ? mainWindow.editorpage() : mainWindow.creatorpage()),
          page(editing ? mainWindow.editing() : mainWindow.creation())
    {
        mainWindow.setWindowState(Qt::WindowNoState);
        mainWindow.resize(1200, 800);
        mainWindow.show();
        if (!QTest::qWaitForWindowExposed(&mainWindow))
            qWarning("the window was not exposed");
        if (editing) {
            mainWindow.pager()->setCurrentIndex(1);
            if (mainWindow.pager()->currentIndex() != 1)
                qWarning("the editing page was not shown");
        }
        dialogs.shown.clear();
    }

    // Five books: two in "Фантастика", one in "Стихи", two in none, one of them sharing a
    // title with a book in a collection; "Пустая" has no books.
    void fill(bool withCollections = true)
    {
        const QString root = editing ? "/media/u/READER/Sony_Reader/media/books/" : "/home/u/Books/";
        const auto in = [&](const QString &collection) { return withCollections ? collection : QString(); };
        page.books.appendRows({book(root + "Fantasy/dune.fb2", "Дюна", in("Фантастика"), "1048576"),
                               book(root + "Poems/winter.txt", "Зимнее утро", in("Стихи"), "1000"),
                               book(root + "Fantasy/solaris.fb2", "Солярис", in("Фантастика"), "524288"),
                               book(root + "Poems/autumn.txt", "Осень", {}, "2048"),
                               book(root + "Other/dune.epub", "Дюна", {}, "4096")});
        page.books.setHeaderTexts({"Полный путь к файлу", "Коллекция"});
        if (withCollections) {
            page.collections.appendRows({{"Фантастика", "2", {}}, {"Стихи", "1", {}}, {"Пустая", "0", {}}});
            applyCollectionListLayout(page);
        }
        refresh();
        dialogs.shown.clear();
    }
    void refresh()
    {
        if (editing)
            mainWindow.refreshStatistics(*mainWindow.editorpage());
        else
            mainWindow.refreshStatistics(*mainWindow.creatorpage());
    }

    GridView *collectionList() const { return widget->collectionList(); }
    GridView *bookList() const { return widget->bookList(); }

    static QPoint cellCentre(GridView *grid, int row, int column)
    {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    static void click(GridView *grid, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cellCentre(grid, row, 1));
    }
    // What the platform sends for a double click: a press and release, then the double
    // click and its release.
    static void doubleClick(GridView *grid, int row, int column = 1)
    {
        const QPoint centre = cellCentre(grid, row, column);
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre);
    }
    static void selectRows(GridView *grid, int first, int last)
    {
        click(grid, first);
        if (last != first)
            click(grid, last, Qt::ShiftModifier);
    }
    void clickAddButton()
    {
        QTest::mouseClick(widget->button(editing ? "SpeedButton3" : "addcollectionbutton"), Qt::LeftButton);
    }

    QStringList collectionColumn(int column) const
    {
        QStringList cells;
        for (int row = 0; row < page.collections.rowCount(); ++row)
            cells << page.collections.cellText(row, column);
        return cells;
    }
    QStringList names() const { return collectionColumn(CollectionNameColumn); }
    QStringList counts() const { return collectionColumn(CollectionBookCountColumn); }
    QStringList numbers() const { return collectionColumn(CollectionNumberColumn); }
    QStringList shownTitles() const
    {
        QStringList titles;
        for (const ShownBookRow &row : page.shownBooks.rows())
            titles << row.title;
        return titles;
    }
    QStringList membership() const
    {
        QStringList collections;
        for (const BookRow &row : page.books.rows())
            collections << row.collection;
        return collections;
    }
    QStringList bookTitles() const
    {
        QStringList titles;
        for (const BookRow &row : page.books.rows())
            titles << row.title;
        return titles;
    }
    QString statistics() const
    {
        return mainWindow.findChild<QLabel *>(editing ? "Label13" : "statisctilabelvalue")->text();
    }
    bool shown(const char *name) const
    {
        auto *control = widget->findChild<QWidget *>(QString::fromLatin1(name));
        if (!control)
            qWarning("no widget named %s", name);
        return control && control->isVisibleTo(widget);
    }
    bool collectionPanelShown() const { return widget->collectionPanel()->isVisibleTo(widget); }
    bool bookPanelShown() const { return widget->bookPanel()->isVisibleTo(widget); }
    GridView::RowRange selected(GridView *grid) const { return grid->selectedRowRange(); }
};

void addPages()
{
    QTest::addColumn<bool>("editing");
    QTest::newRow("creation page") << false;
    QTest::newRow("editing page") << true;
}

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
        Window window(editing);
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
        Window window(true);
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
        Window window(editing);
        window.fill();
        QVERIFY(!window.bookPanelShown());

        Window::click(window.collectionList(), 1);
        QCOMPARE(window.shownTitles(), QStringList{"Зимнее утро"});
        QCOMPARE(window.page.shownBooks.shown_collection_row, 1);
        QVERIFY(window.bookPanelShown());
        QCOMPARE(window.page.shownBooks.headerTexts(), QStringList({"#", "Название книги", "Имя файла"}));
        QVERIFY(window.bookList()->isColumnHidden(ShownBookFullPathColumn));
        QCOMPARE(window.bookList()->columnWidth(ShownBookTitleColumn), 350);

        // In file-list order, whichever column is clicked.
        QTest::mouseClick(window.collectionList()->viewport(), Qt::LeftButton, {},
                          Window::cellCentre(window.collectionList(), 0, CollectionBookCountColumn));
        QCOMPARE(window.shownTitles(), QStringList({"Дюна", "Солярис"}));
        QCOMPARE(window.page.shownBooks.rows().at(1).full_path, window.page.books.row(2).full_path);
        QCOMPARE(window.bookList()->model()->index(1, ShownBookNumberColumn).data().toString(), QString("2"));

        Window::click(window.collectionList(), 2);
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
        Window window(editing);
        window.fill();
        QSignalSpy clicks(window.collectionList(), &QAbstractItemView::clicked);

        window.dialogs.inputAnswers.enqueue("Sci-Fi");
        Window::doubleClick(window.collectionList(), 0);
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
        Window::doubleClick(window.collectionList(), 1, CollectionNumberColumn);
        compareShown(window.dialogs.shown.at(1), "input", renameCollectionCaption, renameCollectionPrompt, "Стихи");
        QCOMPARE(window.dialogs.messages(), QStringList{collectionExists});
        QCOMPARE(window.names(), QStringList({"Sci-Fi", "Стихи", "Пустая"}));

        // The number cell renames the name, never the number.
        window.dialogs.inputAnswers.enqueue("Поэзия");
        Window::doubleClick(window.collectionList(), 1, CollectionNumberColumn);
        QCOMPARE(window.names(), QStringList({"Sci-Fi", "Поэзия", "Пустая"}));
        QCOMPARE(window.numbers(), QStringList({"1", "2", "3"}));
        QCOMPARE(window.membership(), QStringList({"Sci-Fi", "Поэзия", "Sci-Fi", "", ""}));

        // Cancel gives back the old name: nothing changes and nothing is said.
        Window::doubleClick(window.collectionList(), 2);
        QCOMPARE(window.dialogs.shown.size(), 5);
        QCOMPARE(window.dialogs.shown.last().defaultText, QString("Пустая"));
        QCOMPARE(window.names(), QStringList({"Sci-Fi", "Поэзия", "Пустая"}));
        QCOMPARE(window.dialogs.messages().size(), 1);
    }

    void deleteKeyDeletesTheSelectedCollections_data() { addPages(); }
    void deleteKeyDeletesTheSelectedCollections()
    {
        QFETCH(bool, editing);
        Window window(editing);
        window.fill();
        GridView *grid = window.collectionList();

        Window::selectRows(grid, 0, 1);
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
        Window window(editing);
        window.fill();
        Window::click(window.collectionList(), 1);
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
        Window window(editing);
        window.fill();
        Window::click(window.collectionList(), 0);
        GridView *grid = window.bookList();

        window.dialogs.inputAnswers.enqueue("Дюна. Книга первая");
        Window::doubleClick(grid, 0);
        QCOMPARE(window.dialogs.shown.size(), 1);
        compareShown(window.dialogs.shown.first(), "input", renameBookCaption, renameBookPrompt, "Дюна");
        QCOMPARE(window.shownTitles(), QStringList({"Дюна. Книга первая", "Солярис"}));
        // Every book of that title is renamed, also the one in no collection.
        QCOMPARE(window.bookTitles(),
                 QStringList({"Дюна. Книга первая", "Зимнее утро", "Солярис", "Осень", "Дюна. Книга первая"}));

        // A title of the shown collection is refused; one of another collection is not.
        window.dialogs.inputAnswers << "Дюна. Книга первая"
                                    << "Зимнее утро";
        Window::doubleClick(grid, 1);
        QCOMPARE(window.dialogs.messages(), QStringList{bookExists});
        QCOMPARE(window.shownTitles(), QStringList({"Дюна. Книга первая", "Солярис"}));
        Window::doubleClick(grid, 1, ShownBookNumberColumn);
        compareShown(window.dialogs.shown.last(), "input", renameBookCaption, renameBookPrompt, "Солярис");
        QCOMPARE(window.shownTitles(), QStringList({"Дюна. Книга первая", "Зимнее утро"}));
        QCOMPARE(window.bookTitles(),
                 QStringList({"Дюна. Книга первая", "Зимнее утро", "Зимнее утро", "Осень", "Дюна. Книга первая"}));

        // Cancel changes nothing; membership and counts never move.
        Window::doubleClick(grid, 0);
        QCOMPARE(window.dialogs.shown.size(), 5);
        QCOMPARE(window.bookTitles().first(), QString("Дюна. Книга первая"));
        QCOMPARE(window.counts(), QStringList({"2", "1", "0"}));
        QCOMPARE(window.statistics(), fullStatistics);
    }

    void deleteKeyTakesBooksOutOfTheShownCollection_data() { addPages(); }
    void deleteKeyTakesBooksOutOfTheShownCollection()
    {
        QFETCH(bool, editing);
        Window window(editing);
        window.fill();
        Window::click(window.collectionList(), 0);
        GridView *grid = window.bookList();

        Window::click(grid, 0);
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
        Window::click(window.collectionList(), 1);
        QCOMPARE(window.shownTitles(), QStringList({"Зимнее утро", "Осень"}));
        Window::selectRows(grid, 0, 1);
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
        Window window(false);
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
        Window window(false);
        window.fill();
        QTemporaryDir folder;
        QVERIFY(QDir().mkpath(folder.filePath("Busy")));
        QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/fb2/minimal.fb2", folder.filePath("Busy/one.fb2")));
        window.dialogs.folderAnswers.enqueue(folder.filePath("Busy"));
        window.progress.onEvents = [&] {
            QVERIFY(window.mainWindow.longOperationRunning());
            Window::click(window.collectionList(), 0);
            window.dialogs.inputAnswers << "Новая"
                                        << "Sci-Fi"
                                        << "Дюна 2";
            window.clickAddButton();
            Window::doubleClick(window.collectionList(), 0);
            QTest::keyClick(window.collectionList(), Qt::Key_Delete);
            Window::doubleClick(window.bookList(), 0);
            Window::click(window.bookList(), 0);
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
        Window::doubleClick(window.collectionList(), 0);
        QCOMPARE(window.names().first(), QString("Sci-Fi"));
    }

    void bothPagesKeepTheirOwnLists()
    {
        // The editing page's operations touch its own lists and statistics only.
        Window window(true);
        window.fill();
        QCOMPARE(window.mainWindow.creation().books.rowCount(), 0);
        window.dialogs.inputAnswers.enqueue("Новая");
        window.clickAddButton();
        Window::click(window.collectionList(), 0);
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
