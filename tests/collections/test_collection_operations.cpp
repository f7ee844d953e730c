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
const QString addCaption = QStringLiteral("Добавление коллекции");
const QString addPrompt = QStringLiteral("Введите название новой коллекции");
const QString renameCaption = QStringLiteral("Изменение названия коллекции");
const QString renamePrompt = QStringLiteral("Введите новое или измените старое название коллекции");
const QString duplicateMessage = QStringLiteral("Коллекция с таким названием уже существует!");
const QString deleteCaption = QStringLiteral("Подтверждение удаления коллекции");
const QString deleteOne = QStringLiteral("Вы действительно хотите удалить выделенную коллекцию?");
const QString deleteMany = QStringLiteral("Вы действительно хотите удалить выделенные коллекции?");

// A page whose books are "/<title>" in the given collections, and whose collections
// carry the given names with counts of their members.
struct Fixture
{
    explicit Fixture(LibraryPage::Kind kind = LibraryPage::Kind::Creation) : page(kind)
    {
        for (QAbstractItemModel *model :
             std::initializer_list<QAbstractItemModel *>{&page.books, &page.collections, &page.shownBooks})
            testers.emplace_back(std::make_unique<QAbstractItemModelTester>(
                model, QAbstractItemModelTester::FailureReportingMode::QtTest));
    }

    void addBooks(const QList<QPair<QString, QString>> &titleAndCollection)
    {
        QVector<BookRow> rows;
        for (const auto &[title, collection] : titleAndCollection)
            rows.append(BookRow{.full_path = "/" + title, .collection = collection, .file_size = "1", .title = title});
        page.books.appendRows(rows);
    }

    void addCollections(const QStringList &names)
    {
        for (const QString &name : names) {
            int members = 0;
            for (const BookRow &book : page.books.rows())
                members += book.collection == name ? 1 : 0;
            page.collections.appendRow({name, QString::number(members), {}});
        }
        applyCollectionListLayout(page);
    }

    QStringList names() const { return fieldTexts(page.collections, &CollectionRow::name); }
    QStringList bookCollections() const { return fieldTexts(page.books, &BookRow::collection); }
    QStringList shownTitles() const { return fieldTexts(page.shownBooks, &ShownBookRow::title); }

    LibraryPage page;
    ScriptedDialogs dialogs;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
};
} // namespace

class TestCollectionOperations : public QObject
{
    Q_OBJECT
private slots:
    void addAsksForANameAndAppendsAnEmptyCollection()
    {
        Fixture f;
        f.dialogs.inputAnswers << "Фантастика";
        const PageUpdate update = addCollection(f.page, f.dialogs);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].kind, QString("input"));
        QCOMPARE(f.dialogs.shown[0].caption, addCaption);
        QCOMPARE(f.dialogs.shown[0].text, addPrompt);
        QCOMPARE(f.dialogs.shown[0].defaultText, QString());
        QVERIFY(update.rerunStatistics);
        QCOMPARE(update.selectCollectionRow, -1);
        QCOMPARE(f.page.collections.rows(), QVector<CollectionRow>({{"Фантастика", "0", {}}}));
        QCOMPARE(f.page.collections.cellText(0, CollectionNumberColumn), QString("1"));
        QCOMPARE(f.page.shownBooks.rowCount(), 0);

        const CollectionTable &list = f.page.collections;
        QCOMPARE(list.headerTexts(), QStringList({"#", "Название коллекции", "Книг в коллекции"}));
        QCOMPARE(list.columnWidth(CollectionNumberColumn), GridModel::FitToContents);
        QCOMPARE(list.columnWidth(CollectionNameColumn), 380);
        QCOMPARE(list.columnWidth(CollectionBookCountColumn), GridModel::FitToContents);
        QCOMPARE(list.columnWidth(CollectionRecordIdColumn), GridModel::DefaultWidth);
        QCOMPARE(list.columnAlignment(CollectionNumberColumn), Qt::AlignHCenter);
        QCOMPARE(list.columnAlignment(CollectionNameColumn), Qt::AlignLeft);
        QCOMPARE(list.columnAlignment(CollectionBookCountColumn), Qt::AlignHCenter);
        QCOMPARE(list.headerAlignment(CollectionBookCountColumn), Qt::AlignHCenter);
    }

    void theEditingPageHidesTheRecordColumn()
    {
        Fixture f(LibraryPage::Kind::Editing);
        f.dialogs.inputAnswers << "New";
        addCollection(f.page, f.dialogs);
        QCOMPARE(f.page.collections.columnWidth(CollectionRecordIdColumn), 0);
        QVERIFY(!f.page.fileListTakesDelete());
        QVERIFY(LibraryPage(LibraryPage::Kind::Creation).fileListTakesDelete());
    }

    void addRefusesOnlyAnExactDuplicate_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("added");
        QTest::newRow("same name") << "Classics" << false;
        QTest::newRow("other letter case") << "classics" << true;
        QTest::newRow("leading blank") << " Classics" << true;
        QTest::newRow("trailing blank") << "Classics " << true;
        QTest::newRow("Cyrillic case") << "КЛАССИКА" << true;
    }

    void addRefusesOnlyAnExactDuplicate()
    {
        QFETCH(QString, name);
        QFETCH(bool, added);
        Fixture f;
        f.addCollections({"Classics", "Классика"});
        f.dialogs.inputAnswers << name;
        const PageUpdate update = addCollection(f.page, f.dialogs);
        QCOMPARE(update.rerunStatistics, added);
        QCOMPARE(f.page.collections.rowCount(), added ? 3 : 2);
        QCOMPARE(f.dialogs.messages(), added ? QStringList() : QStringList{duplicateMessage});
        if (added)
            QCOMPARE(f.page.collections.row(2).name, name);
    }

    void addWithAnEmptyNameOrCancelDoesNothing()
    {
        Fixture f;
        f.dialogs.inputAnswers << "";
        QVERIFY(!addCollection(f.page, f.dialogs).rerunStatistics);
        QVERIFY(!addCollection(f.page, f.dialogs).rerunStatistics); // Cancel returns the empty default
        QCOMPARE(f.page.collections.rowCount(), 0);
        QVERIFY(!f.page.collections.hasHeader());
        QVERIFY(f.dialogs.messages().isEmpty());
    }

    void renameMovesTheMembersOnly()
    {
        Fixture f;
        f.addBooks({{"a", "Sci"}, {"b", "sci"}, {"c", "Sci "}, {"d", "Sci"}, {"e", ""}});
        f.addCollections({"Sci", "sci", "Sci "});
        f.dialogs.inputAnswers << "Science";
        const PageUpdate update = renameCollection(f.page, f.dialogs, 0);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].caption, renameCaption);
        QCOMPARE(f.dialogs.shown[0].text, renamePrompt);
        QCOMPARE(f.dialogs.shown[0].defaultText, QString("Sci"));
        QVERIFY(!update.rerunStatistics);
        QCOMPARE(f.names(), QStringList({"Science", "sci", "Sci "}));
        QCOMPARE(f.page.collections.row(0).book_count, QString("2"));
        QCOMPARE(f.bookCollections(), QStringList({"Science", "sci", "Sci ", "Science", ""}));
    }

    void renameRefusesAnotherCollectionsName()
    {
        Fixture f;
        f.addBooks({{"a", "A"}, {"b", "B"}});
        f.addCollections({"A", "B"});
        f.dialogs.inputAnswers << "B";
        renameCollection(f.page, f.dialogs, 0);
        QCOMPARE(f.dialogs.messages(), QStringList{duplicateMessage});
        QCOMPARE(f.names(), QStringList({"A", "B"}));
        QCOMPARE(f.bookCollections(), QStringList({"A", "B"}));
    }

    void renameToTheSameNameOrCancelChangesNothing()
    {
        Fixture f;
        f.addBooks({{"a", "A"}});
        f.addCollections({"A"});
        QSignalSpy changes(&f.page.books, &QAbstractItemModel::dataChanged);
        f.dialogs.inputAnswers << "A";
        renameCollection(f.page, f.dialogs, 0);
        renameCollection(f.page, f.dialogs, 0); // Cancel returns the old name
        QCOMPARE(f.dialogs.shown.size(), 2);
        QVERIFY(f.dialogs.messages().isEmpty());
        QCOMPARE(changes.size(), 0);
        QCOMPARE(f.bookCollections(), QStringList({"A"}));
    }

    void renameOutsideTheRowsOpensNoDialog()
    {
        Fixture f;
        f.addCollections({"A"});
        renameCollection(f.page, f.dialogs, -1);
        renameCollection(f.page, f.dialogs, 1);
        QVERIFY(f.dialogs.shown.isEmpty());
    }

    void renameToEmptyEndsTheMembershipAndKeepsTheCount()
    {
        Fixture f;
        f.addBooks({{"a", "A"}, {"b", "A"}, {"c", ""}});
        f.addCollections({"A"});
        f.dialogs.inputAnswers << "";
        renameCollection(f.page, f.dialogs, 0);
        QCOMPARE(f.page.collections.rows(), QVector<CollectionRow>({{"", "2", {}}}));
        QCOMPARE(f.bookCollections(), QStringList({"", "", ""}));

        // The books in no collection are not its members: naming it again takes none of them.
        f.dialogs.inputAnswers << "A again";
        renameCollection(f.page, f.dialogs, 0);
        QCOMPARE(f.names(), QStringList({"A again"}));
        QCOMPARE(f.bookCollections(), QStringList({"", "", ""}));
        showCollectionBooks(f.page, 0);
        QCOMPARE(f.page.shownBooks.rowCount(), 0);
    }

    void aSecondEmptyNameIsRefused()
    {
        Fixture f;
        f.addCollections({"A", "B"});
        f.dialogs.inputAnswers << ""
                               << "";
        renameCollection(f.page, f.dialogs, 0);
        renameCollection(f.page, f.dialogs, 1);
        QCOMPARE(f.names(), QStringList({"", "B"}));
        QCOMPARE(f.dialogs.messages(), QStringList{duplicateMessage});
    }

    void renameOfManyMembersIsOneChangeNotice()
    {
        Fixture f;
        QList<QPair<QString, QString>> books;
        for (int i = 0; i < 3000; ++i)
            books.append({QString::number(i), i % 3 == 0 ? "Other" : "Big"});
        f.addBooks(books);
        f.addCollections({"Big", "Other"});
        QSignalSpy changes(&f.page.books, &QAbstractItemModel::dataChanged);
        f.dialogs.inputAnswers << "Huge";
        renameCollection(f.page, f.dialogs, 0);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(f.bookCollections().count("Huge"), 2000);
        QCOMPARE(f.bookCollections().count("Other"), 1000);
    }

    void deleteAsksOnceWithTheRightNumber_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QStringList>("bookCollections");
        QTest::newRow("the middle one") << 1 << 1 << deleteOne << QStringList{"A", "C"}
                                        << QStringList{"A", "", "C", ""};
        QTest::newRow("two of three") << 0 << 2 << deleteMany << QStringList{"C"} << QStringList{"", "", "C", ""};
        QTest::newRow("a range running past the end")
            << 2 << 5 << deleteOne << QStringList{"A", "B"} << QStringList{"A", "B", "", ""};
    }

    void deleteAsksOnceWithTheRightNumber()
    {
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(QString, question);
        QFETCH(QStringList, remaining);
        QFETCH(QStringList, bookCollections);
        Fixture f;
        f.addBooks({{"a", "A"}, {"b", "B"}, {"c", "C"}, {"free", ""}});
        f.addCollections({"A", "B", "C"});
        f.page.shownBooks.shown_collection_row = 2;
        const PageUpdate update = deleteCollections(f.page, f.dialogs, first, count);
        QCOMPARE(f.dialogs.shown.size(), 1);
        QCOMPARE(f.dialogs.shown[0].kind, QString("confirm"));
        QCOMPARE(f.dialogs.shown[0].caption, deleteCaption);
        QCOMPARE(f.dialogs.shown[0].text, question);
        QCOMPARE(f.names(), remaining);
        QCOMPARE(f.bookCollections(), bookCollections);
        QCOMPARE(f.page.books.rowCount(), 4);
        QCOMPARE(f.page.collections.cellText(0, CollectionNumberColumn), QString("1"));
        QCOMPARE(f.page.collections.cellText(remaining.size() - 1, CollectionNumberColumn),
                 QString::number(remaining.size()));
        // The first remaining collection is selected and shown.
        QVERIFY(update.rerunStatistics);
        QCOMPARE(update.selectCollectionRow, 0);
        QCOMPARE(f.page.shownBooks.shown_collection_row, 0);
        QCOMPARE(f.shownTitles(), QStringList{remaining[0].toLower()});
    }

    void deleteAnsweredNoChangesNothing()
    {
        Fixture f;
        f.addBooks({{"a", "A"}});
        f.addCollections({"A"});
        f.dialogs.confirmAnswers << false;
        QVERIFY(!deleteCollections(f.page, f.dialogs, 0, 1).rerunStatistics);
        QCOMPARE(f.names(), QStringList{"A"});
        QCOMPARE(f.bookCollections(), QStringList{"A"});
    }

    void deleteWithoutADataRowAsksNothing()
    {
        Fixture f;
        f.addCollections({"A"});
        deleteCollections(f.page, f.dialogs, -1, 1);
        deleteCollections(f.page, f.dialogs, 1, 1);
        deleteCollections(f.page, f.dialogs, 0, 0);
        QVERIFY(f.dialogs.shown.isEmpty());
        QCOMPARE(f.page.collections.rowCount(), 1);
    }

    void deletingTheLastCollectionEmptiesBothLists()
    {
        for (const LibraryPage::Kind kind : {LibraryPage::Kind::Creation, LibraryPage::Kind::Editing}) {
            Fixture f(kind);
            f.addBooks({{"a", "A"}, {"b", "B"}});
            f.addCollections({"A", "B"});
            showCollectionBooks(f.page, 1);
            const PageUpdate update = deleteCollections(f.page, f.dialogs, 0, 2);
            QCOMPARE(f.dialogs.shown[0].text, deleteMany);
            QVERIFY(update.rerunStatistics);
            QCOMPARE(update.selectCollectionRow, -1);
            QCOMPARE(f.page.collections.rowCount(), 0);
            QVERIFY(!f.page.collections.hasHeader());
            QCOMPARE(f.page.shownBooks.rowCount(), 0);
            QVERIFY(!f.page.shownBooks.hasHeader());
            QCOMPARE(f.page.shownBooks.shown_collection_row, -1);
            QCOMPARE(f.bookCollections(), QStringList({"", ""}));

            const PageStatistics statistics = updateStatistics(f.page);
            QVERIFY(!statistics.collectionPanelVisible);
            QVERIFY(!statistics.bookPanelVisible);
            QVERIFY(statistics.pathPanelVisible);
            QCOMPARE(statistics.stepThreeVisible, kind == LibraryPage::Kind::Editing);
            QCOMPARE(statistics.defaultCollectionMessage, kind == LibraryPage::Kind::Editing);
        }
    }

    void addAfterDeletingEverythingRestoresTheLayout()
    {
        Fixture f;
        f.addCollections({"A"});
        deleteCollections(f.page, f.dialogs, 0, 1);
        f.dialogs.inputAnswers << "B";
        addCollection(f.page, f.dialogs);
        QCOMPARE(f.page.collections.headerTexts(), QStringList({"#", "Название коллекции", "Книг в коллекции"}));
        QCOMPARE(f.page.collections.headerAlignment(CollectionBookCountColumn), Qt::AlignHCenter);
        QCOMPARE(f.page.collections.columnAlignment(CollectionNumberColumn), Qt::AlignHCenter);
    }

    void deletingManyCollectionsKeepsEveryOtherBook()
    {
        Fixture f;
        QList<QPair<QString, QString>> books;
        QStringList names;
        for (int c = 0; c < 200; ++c)
            names << QString("C%1").arg(c);
        for (int i = 0; i < 4000; ++i)
            books.append({QString::number(i), names[i % 200]});
        f.addBooks(books);
        f.addCollections(names);
        QSignalSpy changes(&f.page.books, &QAbstractItemModel::dataChanged);
        deleteCollections(f.page, f.dialogs, 50, 100);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(f.page.collections.rowCount(), 100);
        QCOMPARE(f.page.collections.row(50).name, QString("C150"));
        QCOMPARE(f.bookCollections().count(QString()), 2000);
        QCOMPARE(f.bookCollections().count("C149"), 0);
        QCOMPARE(f.bookCollections().count("C150"), 20);
    }
};

QTEST_GUILESS_MAIN(TestCollectionOperations)
#include "test_collection_operations.moc"
