#include "booklist/duplicate_books.h"
#include "collections/collection_operations.h"
#include "collections/shown_books.h"
#include "collections/statistics.h"
#include "support/page_columns.h"
#include "support/scripted_dialogs.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
const QString renameCaption = QStringLiteral("Изменение названия книги");
const QString renamePrompt = QStringLiteral("Введите новое или измените старое название книги");
const QString duplicateMessage = QStringLiteral("Книга с таким названием уже существует!");
const QString removeCaption = QStringLiteral("Подтверждение удаления книги");
const QString removeOne = QStringLiteral("Вы действительно хотите удалить выделенную книгу?");
const QString removeMany = QStringLiteral("Вы действительно хотите удалить выделенные книги?");

struct Book
{
    QString path;
    QString title;
    QString collection;
};

// A page with the given books and collections; each collection counts its members.
struct Fixture
{
    Fixture(const QList<Book> &books, const QStringList &collections,
            LibraryPage::Kind kind = LibraryPage::Kind::Creation)
        : page(kind)
    {
        for (QAbstractItemModel *model :
             std::initializer_list<QAbstractItemModel *>{&page.books, &page.collections, &page.shownBooks})
            testers.emplace_back(std::make_unique<QAbstractItemModelTester>(
                model, QAbstractItemModelTester::FailureReportingMode::QtTest));
        QVector<BookRow> rows;
        for (const Book &book : books)
            rows.append(BookRow{.full_path = book.path, .collection = book.collection, .title = book.title});
        page.books.appendRows(rows);
        for (const QString &name : collections) {
            const auto members = std::count_if(books.cbegin(), books.cend(),
                                               [&name](const Book &book) { return book.collection == name; });
            page.collections.appendRow({name, QString::number(members), {}});
        }
    }

    QStringList shownTitles() const { return fieldTexts(page.shownBooks, &ShownBookRow::title); }
    QStringList bookField(QString BookRow::*field) const { return fieldTexts(page.books, field); }

    LibraryPage page;
    ScriptedDialogs dialogs;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
};

const QList<Book> library{{"/lib/1.fb2", "Дюна", "Sci-Fi"},    {"/lib/2.fb2", "Anna", "Classics"},
                          {"/lib/3.fb2", "Solaris", "Sci-Fi"}, {"/lib/4.fb2", "Дюна", "Classics"},
                          {"/lib/5.fb2", "Дюна", ""},          {"/lib/6.fb2", "Other", "sci-fi"},
                          {"/lib/7.fb2", "Hyperion", "Sci-Fi"}};
} // namespace

class TestCollectionBooks : public QObject
{
    Q_OBJECT
private slots:
    void showListsTheExactMembersInFileListOrder()
    {
        Fixture f(library, {"Classics", "Sci-Fi", "sci-fi"});
        const PageUpdate update = showCollectionBooks(f.page, 1);
        QVERIFY(update.rerunStatistics);
        QCOMPARE(f.page.shownBooks.shown_collection_row, 1);
        QCOMPARE(
            f.page.shownBooks.rows(),
            QVector<ShownBookRow>({{"Дюна", "/lib/1.fb2"}, {"Solaris", "/lib/3.fb2"}, {"Hyperion", "/lib/7.fb2"}}));
        QCOMPARE(f.page.shownBooks.cellText(2, ShownBookNumberColumn), QString("3"));

        const ShownBooksTable &list = f.page.shownBooks;
        QCOMPARE(list.headerTexts(), QStringList({"#", "Название книги", "Имя файла"}));
        QCOMPARE(list.columnWidth(ShownBookNumberColumn), GridModel::FitToContents);
        QCOMPARE(list.columnWidth(ShownBookTitleColumn), 350);
        QCOMPARE(list.columnWidth(ShownBookFullPathColumn), 0);
        QCOMPARE(list.columnAlignment(ShownBookNumberColumn), Qt::AlignHCenter);
        QCOMPARE(list.headerAlignment(ShownBookNumberColumn), Qt::AlignHCenter);
        QCOMPARE(list.columnAlignment(ShownBookTitleColumn), Qt::AlignLeft);

        showCollectionBooks(f.page, 0);
        QCOMPARE(f.shownTitles(), QStringList({"Anna", "Дюна"}));
        QCOMPARE(f.page.shownBooks.shown_collection_row, 0);
    }

    // The book list shows rows of the file list: it reads their present texts, keeps its order
    // when the file list is sorted, loses the books the file list loses, and empties when the
    // file list is replaced whole.
    void theBookListFollowsTheFileList()
    {
        Fixture f(library, {"Sci-Fi"});
        showCollectionBooks(f.page, 0);
        QSignalSpy changed(&f.page.shownBooks, &QAbstractItemModel::dataChanged);
        f.page.books.setCellText(2, TitleColumn, "Солярис");
        QVERIFY(!changed.isEmpty());
        QCOMPARE(f.shownTitles(), QStringList({"Дюна", "Солярис", "Hyperion"}));

        f.page.books.sort(FullPathColumn, Qt::DescendingOrder);
        QCOMPARE(
            f.page.shownBooks.rows(),
            QVector<ShownBookRow>({{"Дюна", "/lib/1.fb2"}, {"Солярис", "/lib/3.fb2"}, {"Hyperion", "/lib/7.fb2"}}));
        f.page.books.sort(FullPathColumn, Qt::AscendingOrder);

        f.page.books.removeRowRange(1, 2); // /lib/2.fb2 and /lib/3.fb2
        QCOMPARE(f.shownTitles(), QStringList({"Дюна", "Hyperion"}));
        f.page.books.removeRowRange(0, 1); // rows below the shown ones move up
        QCOMPARE(f.shownTitles(), QStringList({"Hyperion"}));
        QCOMPARE(f.page.shownBooks.shown_collection_row, 0);

        f.page.books.appendRow(BookRow{.full_path = "/lib/7.fb2", .collection = "Sci-Fi", .title = "Копия"});
        removeDuplicateBooks(f.page.books, Qt::CaseSensitive);
        QCOMPARE(f.shownTitles(), QStringList({"Hyperion"}));
        showCollectionBooks(f.page, 0);
        QCOMPARE(f.shownTitles(), QStringList({"Hyperion"}));

        f.page.books.replaceRows({BookRow{.full_path = "/other.fb2", .collection = "Sci-Fi", .title = "Другая"}});
        QCOMPARE(f.page.shownBooks.rowCount(), 0);
        QVERIFY(!f.page.shownBooks.hasHeader());
        QCOMPARE(f.page.shownBooks.shown_collection_row, -1);
    }

    void showOutsideTheRowsDoesNothing()
    {
        Fixture f(library, {"Classics"});
        showCollectionBooks(f.page, 0);
        QVERIFY(!showCollectionBooks(f.page, -1).rerunStatistics);
        QVERIFY(!showCollectionBooks(f.page, 1).rerunStatistics);
        QCOMPARE(f.page.shownBooks.shown_collection_row, 0);
        QCOMPARE(f.page.shownBooks.rowCount(), 2);
    }

    void aCollectionWithoutBooksShowsAnEmptyList()
    {
        Fixture f(library, {"Classics", "Empty"});
        showCollectionBooks(f.page, 0);
        showCollectionBooks(f.page, 1);
        QCOMPARE(f.page.shownBooks.rowCount(), 0);
        QCOMPARE(f.page.shownBooks.shown_collection_row, 1);
        const PageStatistics statistics = updateStatistics(f.page);
        QVERIFY(!statistics.bookPanelVisible);
        QVERIFY(statistics.collectionPanelVisible);
    }

    void renameGivesTheTitleToEveryBookOfTheOldTitle()
    {
        Fixture f(library, {"Classics", "Sci-Fi"});
        showCollectionBooks(f.page, 1);
        QSignalSpy changes(&f.page.books, &QAbstractItemModel::dataChanged);
        f.dialogs.inputAnswers << "Dune";
        const PageUpdate update = renameBook(f.page, f.dialogs, 0);
        QVERIFY(!update.rerunStatistics);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].caption, renameCaption);
        QCOMPARE(f.dialogs.shown[0].text, renamePrompt);
        QCOMPARE(f.dialogs.shown[0].defaultText, QString("Дюна"));
        QCOMPARE(f.shownTitles(), QStringList({"Dune", "Solaris", "Hyperion"}));
        QCOMPARE(f.bookField(&BookRow::title),
                 QStringList({"Dune", "Anna", "Solaris", "Dune", "Dune", "Other", "Hyperion"}));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(f.bookField(&BookRow::collection)[4], QString());
    }

    void renameUpdatesEveryShownRowOfTheOldTitle()
    {
        Fixture f({{"/a", "Same", "C"}, {"/b", "Same", "C"}, {"/c", "Else", "C"}}, {"C"});
        showCollectionBooks(f.page, 0);
        f.dialogs.inputAnswers << "New";
        renameBook(f.page, f.dialogs, 1);
        QCOMPARE(f.shownTitles(), QStringList({"New", "New", "Else"}));
        QCOMPARE(f.bookField(&BookRow::title), QStringList({"New", "New", "Else"}));
    }

    void renameRefusesATitleOfTheShownCollectionOnly_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("renamed");
        QTest::newRow("title in the shown collection") << "Hyperion" << false;
        QTest::newRow("title in another collection") << "Anna" << true;
        QTest::newRow("title in another letter case") << "hyperion" << true;
        QTest::newRow("empty title") << "" << true;
    }

    void renameRefusesATitleOfTheShownCollectionOnly()
    {
        QFETCH(QString, title);
        QFETCH(bool, renamed);
        Fixture f(library, {"Classics", "Sci-Fi"});
        showCollectionBooks(f.page, 1);
        f.dialogs.inputAnswers << title;
        renameBook(f.page, f.dialogs, 1);
        QCOMPARE(f.dialogs.messages(), renamed ? QStringList() : QStringList{duplicateMessage});
        QCOMPARE(f.page.shownBooks.row(1).title, renamed ? title : QString("Solaris"));
        QCOMPARE(f.page.books.row(2).title, renamed ? title : QString("Solaris"));
        if (title == "Anna")
            QCOMPARE(f.page.books.row(1).title, QString("Anna"));
    }

    void renameCancelledOrOutsideTheRowsChangesNothing()
    {
        Fixture f(library, {"Sci-Fi"});
        showCollectionBooks(f.page, 0);
        QSignalSpy changes(&f.page.books, &QAbstractItemModel::dataChanged);
        renameBook(f.page, f.dialogs, 0); // Cancel returns the old title
        renameBook(f.page, f.dialogs, -1);
        renameBook(f.page, f.dialogs, 3);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(changes.size(), 0);
        QVERIFY(f.dialogs.messages().isEmpty());
    }

    void removeAsksAndEndsTheMembership_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QString>("bookCount");
        QTest::newRow("one book") << 1 << 1 << removeOne << QStringList{"Дюна", "Hyperion"} << "2";
        QTest::newRow("two books") << 0 << 2 << removeMany << QStringList{"Hyperion"} << "1";
        QTest::newRow("range past the end") << 2 << 4 << removeOne << QStringList{"Дюна", "Solaris"} << "2";
    }

    void removeAsksAndEndsTheMembership()
    {
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(QString, question);
        QFETCH(QStringList, remaining);
        QFETCH(QString, bookCount);
        Fixture f(library, {"Classics", "Sci-Fi"});
        showCollectionBooks(f.page, 1);
        const PageUpdate update = removeShownBooks(f.page, f.dialogs, first, count);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].kind, QString("confirm"));
        QCOMPARE(f.dialogs.shown[0].caption, removeCaption);
        QCOMPARE(f.dialogs.shown[0].text, question);
        QVERIFY(update.rerunStatistics);
        QCOMPARE(update.selectShownBookRow, 0);
        QCOMPARE(f.shownTitles(), remaining);
        QCOMPARE(f.page.shownBooks.cellText(remaining.size() - 1, ShownBookNumberColumn),
                 QString::number(remaining.size()));
        QCOMPARE(f.page.collections.row(1).book_count, bookCount);
        QCOMPARE(f.page.collections.row(0).book_count, QString("2"));
        QCOMPARE(f.page.books.rowCount(), library.size());
        int members = 0;
        for (const BookRow &book : f.page.books.rows())
            members += book.collection == "Sci-Fi" ? 1 : 0;
        QCOMPARE(QString::number(members), bookCount);
        QCOMPARE(updateStatistics(f.page).valueText.split("\r\n")[2], QString("%1 шт.").arg(members + 2 + 1));
    }

    void removingEveryBookLeavesTheCollectionWithZero()
    {
        Fixture f(library, {"Classics", "Sci-Fi"});
        showCollectionBooks(f.page, 0);
        const PageUpdate update = removeShownBooks(f.page, f.dialogs, 0, 2);
        QVERIFY(update.rerunStatistics);
        QCOMPARE(update.selectShownBookRow, -1);
        QCOMPARE(f.page.collections.row(0).book_count, QString("0"));
        QCOMPARE(f.page.shownBooks.rowCount(), 0);
        QVERIFY(!f.page.shownBooks.hasHeader());
        const PageStatistics statistics = updateStatistics(f.page);
        QVERIFY(!statistics.bookPanelVisible);
        QVERIFY(statistics.collectionPanelVisible);
        QCOMPARE(statistics.valueText.split("\r\n")[1], QString("2 шт."));
        QCOMPARE(statistics.valueText.split("\r\n")[2], QString("4 шт.")); // Sci-Fi 3, sci-fi 1
    }

    void removeAnsweredNoOrWithoutADataRowChangesNothing()
    {
        Fixture f(library, {"Sci-Fi"});
        showCollectionBooks(f.page, 0);
        f.dialogs.confirmAnswers << false;
        QVERIFY(!removeShownBooks(f.page, f.dialogs, 0, 1).rerunStatistics);
        QVERIFY(!removeShownBooks(f.page, f.dialogs, -1, 1).rerunStatistics);
        QVERIFY(!removeShownBooks(f.page, f.dialogs, 3, 1).rerunStatistics);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.page.shownBooks.rowCount(), 3);
        QCOMPARE(f.page.collections.row(0).book_count, QString("3"));
    }

    void countsAreAdjustedNotRecounted_data()
    {
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("afterRemovingTwo");
        QTest::newRow("larger than the books listed") << "7"
                                                      << "5";
        QTest::newRow("smaller than the books listed") << "1"
                                                       << "0";
        QTest::newRow("not a number") << "many"
                                      << "0";
        QTest::newRow("beyond 32 bits") << "99999999999"
                                        << "0";
    }

    void countsAreAdjustedNotRecounted()
    {
        QFETCH(QString, loaded);
        QFETCH(QString, afterRemovingTwo);
        Fixture f(library, {"Sci-Fi"}, LibraryPage::Kind::Editing);
        f.page.collections.replaceRows({{"Sci-Fi", loaded, "12"}});
        showCollectionBooks(f.page, 0);
        removeShownBooks(f.page, f.dialogs, 0, 2);
        QCOMPARE(f.page.collections.rows(), QVector<CollectionRow>({{"Sci-Fi", afterRemovingTwo, "12"}}));
    }
};

QTEST_GUILESS_MAIN(TestCollectionBooks)
#include "test_collection_books.moc"
