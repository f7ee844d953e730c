#include "collections/book_moves.h"
#include "collections/collection_operations.h"
#include "collections/shown_books.h"
#include "support/page_columns.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(DragSource)

namespace {
// Six books "b1".."b6" (full path "/b1", ...) and five collections: b1, b2 in A; b3, b4 in
// none; b5 in B; b6 in C; D and E empty. Counts are the members' numbers unless a case
// gives others.
struct Fixture
{
    Fixture() : page(LibraryPage::Kind::Creation)
    {
        for (QAbstractItemModel *model :
             std::initializer_list<QAbstractItemModel *>{&page.books, &page.collections, &page.shownBooks})
            testers.emplace_back(std::make_unique<QAbstractItemModelTester>(
                model, QAbstractItemModelTester::FailureReportingMode::QtTest));
        setBooks({"A", "A", "", "", "B", "C"});
        setCollections({"A", "B", "C", "D", "E"}, {"2", "1", "1", "0", "0"});
    }

    void setBooks(const QStringList &collections)
    {
        QVector<BookRow> rows;
        for (int i = 0; i < collections.size(); ++i) {
            const QString title = QString("b%1").arg(i + 1);
            rows.append(BookRow{.full_path = "/" + title, .collection = collections[i], .title = title});
        }
        page.books.replaceRows(rows);
    }

    void setCollections(const QStringList &names, const QStringList &counts)
    {
        QVector<CollectionRow> rows;
        for (int i = 0; i < names.size(); ++i)
            rows.append({names[i], counts[i], {}});
        page.collections.replaceRows(rows);
        applyCollectionListLayout(page);
    }

    QStringList membership() const { return fieldTexts(page.books, &BookRow::collection); }
    QStringList names() const { return fieldTexts(page.collections, &CollectionRow::name); }
    QStringList counts() const { return fieldTexts(page.collections, &CollectionRow::book_count); }
    QStringList numbers() const
    {
        QStringList result;
        for (int row = 0; row < page.collections.rowCount(); ++row)
            result << page.collections.cellText(row, CollectionNumberColumn);
        return result;
    }
    QStringList shownTitles() const
    {
        QStringList result;
        for (const ShownBookRow &row : page.shownBooks.rows())
            result << row.title;
        return result;
    }

    LibraryPage page;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
};

const QStringList unchangedMembership{"A", "A", "", "", "B", "C"};
const QStringList unchangedNames{"A", "B", "C", "D", "E"};
const QStringList unchangedCounts{"2", "1", "1", "0", "0"};
} // namespace

class TestBookMoves : public QObject
{
    Q_OBJECT
private slots:
    void collectionListAcceptsBySourceRowAndSelection_data()
    {
        QTest::addColumn<DragSource>("source");
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("selectedFirst");
        QTest::addColumn<int>("selectedCount");
        QTest::addColumn<bool>("accepted");
        // Collection row 3 has no name.
        const auto files = DragSource::FileList;
        const auto books = DragSource::BookList;
        const auto collections = DragSource::CollectionList;
        QTest::newRow("files over no row") << files << NoRowUnderPointer << 0 << 1 << true;
        QTest::newRow("files over the header") << files << HeaderUnderPointer << 0 << 1 << false;
        QTest::newRow("files over a collection") << files << 1 << 0 << 1 << true;
        QTest::newRow("files over the selected collection") << files << 0 << 0 << 1 << true;
        QTest::newRow("files past the last collection") << files << 5 << 0 << 1 << false;
        QTest::newRow("files over a nameless collection") << files << 3 << -1 << 0 << false;
        QTest::newRow("books over no row") << books << NoRowUnderPointer << 0 << 1 << true;
        QTest::newRow("books over the header") << books << HeaderUnderPointer << 0 << 1 << false;
        QTest::newRow("books over another collection") << books << 2 << 0 << 1 << true;
        QTest::newRow("books over the selected collection") << books << 0 << 0 << 1 << false;
        QTest::newRow("books with nothing selected") << books << 0 << -1 << 0 << true;
        QTest::newRow("books over a nameless collection") << books << 3 << 0 << 1 << false;
        QTest::newRow("collections over no row") << collections << NoRowUnderPointer << 0 << 2 << true;
        QTest::newRow("collections over the header") << collections << HeaderUnderPointer << 0 << 2 << false;
        QTest::newRow("collections over one below them") << collections << 2 << 0 << 2 << true;
        QTest::newRow("collections over one above them") << collections << 0 << 1 << 2 << true;
        QTest::newRow("collections over the first of them") << collections << 0 << 0 << 2 << false;
        QTest::newRow("collections over the last of them") << collections << 1 << 0 << 2 << false;
        QTest::newRow("collections over a nameless one") << collections << 3 << 0 << 2 << false;
    }
    void collectionListAcceptsBySourceRowAndSelection()
    {
        QFETCH(DragSource, source);
        QFETCH(int, target);
        QFETCH(int, selectedFirst);
        QFETCH(int, selectedCount);
        QFETCH(bool, accepted);
        Fixture f;
        f.setCollections({"A", "B", "C", "", "E"}, unchangedCounts);
        QCOMPARE(collectionListAcceptsDrop(f.page, source, target, selectedFirst, selectedCount), accepted);
    }

    void bookListAcceptsOnlyFilesWhileItShowsANamedCollection_data()
    {
        QTest::addColumn<DragSource>("source");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("files") << DragSource::FileList << 1 << true;
        QTest::newRow("books") << DragSource::BookList << 1 << false;
        QTest::newRow("collections") << DragSource::CollectionList << 1 << false;
        QTest::newRow("files, nothing shown") << DragSource::FileList << -1 << false;
        QTest::newRow("files, a nameless collection shown") << DragSource::FileList << 3 << false;
    }
    void bookListAcceptsOnlyFilesWhileItShowsANamedCollection()
    {
        QFETCH(DragSource, source);
        QFETCH(int, shown);
        QFETCH(bool, accepted);
        Fixture f;
        showCollectionBooks(f.page, shown);
        // A rename to "" leaves the book list showing the collection.
        f.setCollections({"A", "B", "C", "", "E"}, unchangedCounts);
        QCOMPARE(bookListAcceptsDrop(f.page, source), accepted);
    }

    void dropsOnACollection_data()
    {
        QTest::addColumn<DragSource>("source");
        QTest::addColumn<int>("shownBefore");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("target");
        QTest::addColumn<QStringList>("membership");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("counts");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("shown");
        const auto files = DragSource::FileList;
        const auto books = DragSource::BookList;
        const auto collections = DragSource::CollectionList;

        QTest::newRow("files from A and none onto B")
            << files << -1 << 1 << 3 << 1 << QStringList{"A", "B", "B", "B", "B", "C"} << unchangedNames
            << QStringList{"1", "4", "1", "0", "0"} << 1 << QStringList{"b2", "b3", "b4", "b5"};
        QTest::newRow("a file already in B onto B") << files << -1 << 4 << 1 << 1 << unchangedMembership
                                                    << unchangedNames << unchangedCounts << 1 << QStringList{"b5"};
        QTest::newRow("every file onto an empty collection")
            << files << -1 << 0 << 6 << 3 << QStringList{"D", "D", "D", "D", "D", "D"} << unchangedNames
            << QStringList{"0", "0", "0", "6", "0"} << 3 << QStringList{"b1", "b2", "b3", "b4", "b5", "b6"};
        QTest::newRow("a selection running past the list is clipped")
            << files << -1 << 5 << 4 << 0 << QStringList{"A", "A", "", "", "B", "A"} << unchangedNames
            << QStringList{"3", "1", "0", "0", "0"} << 0 << QStringList{"b1", "b2", "b6"};
        QTest::newRow("shown books of A onto C")
            << books << 0 << 0 << 2 << 2 << QStringList{"C", "C", "", "", "B", "C"} << unchangedNames
            << QStringList{"0", "1", "3", "0", "0"} << 2 << QStringList{"b1", "b2", "b6"};
        QTest::newRow("one shown book of A onto E")
            << books << 0 << 1 << 1 << 4 << QStringList{"A", "E", "", "", "B", "C"} << unchangedNames
            << QStringList{"1", "1", "1", "0", "1"} << 4 << QStringList{"b2"};
        QTest::newRow("merge rows 1 and 2 into row 4 of five")
            << collections << -1 << 0 << 2 << 3 << QStringList{"D", "D", "", "", "D", "C"} << QStringList{"C", "D", "E"}
            << QStringList{"1", "3", "0"} << 1 << QStringList{"b1", "b2", "b5"};
        QTest::newRow("merge row 2 into row 4")
            << collections << -1 << 1 << 1 << 3 << QStringList{"A", "A", "", "", "D", "C"}
            << QStringList{"A", "C", "D", "E"} << QStringList{"2", "1", "1", "0"} << 2 << QStringList{"b5"};
        QTest::newRow("merge rows below the target")
            << collections << -1 << 1 << 2 << 0 << QStringList{"A", "A", "", "", "A", "A"} << QStringList{"A", "D", "E"}
            << QStringList{"4", "0", "0"} << 0 << QStringList{"b1", "b2", "b5", "b6"};
        QTest::newRow("files over no row change nothing")
            << files << -1 << 2 << 2 << NoRowUnderPointer << unchangedMembership << unchangedNames << unchangedCounts
            << -1 << QStringList{};
        QTest::newRow("collections over no row change nothing")
            << collections << -1 << 0 << 2 << NoRowUnderPointer << unchangedMembership << unchangedNames
            << unchangedCounts << -1 << QStringList{};
        QTest::newRow("a merge into one of the merged changes nothing")
            << collections << -1 << 0 << 2 << 1 << unchangedMembership << unchangedNames << unchangedCounts << -1
            << QStringList{};
        QTest::newRow("files over the header change nothing")
            << files << -1 << 2 << 2 << HeaderUnderPointer << unchangedMembership << unchangedNames << unchangedCounts
            << -1 << QStringList{};
    }
    void dropsOnACollection()
    {
        QFETCH(DragSource, source);
        QFETCH(int, shownBefore);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(int, target);
        QFETCH(QStringList, membership);
        QFETCH(QStringList, names);
        QFETCH(QStringList, counts);
        QFETCH(int, selected);
        QFETCH(QStringList, shown);
        Fixture f;
        showCollectionBooks(f.page, shownBefore);
        const PageUpdate update = dropOnCollection(f.page, source, first, count, target);
        QCOMPARE(f.membership(), membership);
        QCOMPARE(f.names(), names);
        QCOMPARE(f.counts(), counts);
        QCOMPARE(update.selectCollectionRow, selected);
        QCOMPARE(update.rerunStatistics, selected >= 0);
        if (selected >= 0) {
            QCOMPARE(f.page.shownBooks.shown_collection_row, selected);
            QCOMPARE(f.shownTitles(), shown);
        }
        // `number` is the row's position, so the rows left after a merge read 1..N.
        QStringList expectedNumbers;
        for (int row = 1; row <= names.size(); ++row)
            expectedNumbers << QString::number(row);
        QCOMPARE(f.numbers(), expectedNumbers);
    }

    void aNamelessCollectionTakesNoDrop_data()
    {
        QTest::addColumn<DragSource>("source");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::newRow("files") << DragSource::FileList << 0 << 6;
        QTest::newRow("shown books") << DragSource::BookList << 0 << 2;
        QTest::newRow("collections") << DragSource::CollectionList << 0 << 2;
    }
    void aNamelessCollectionTakesNoDrop()
    {
        QFETCH(DragSource, source);
        QFETCH(int, first);
        QFETCH(int, count);
        Fixture f;
        showCollectionBooks(f.page, 0);
        f.setCollections({"A", "B", "C", "", "E"}, unchangedCounts);
        const PageUpdate update = dropOnCollection(f.page, source, first, count, 3);
        QCOMPARE(update.rerunStatistics, false);
        QCOMPARE(f.membership(), unchangedMembership);
        QCOMPARE(f.names(), QStringList({"A", "B", "C", "", "E"}));
        QCOMPARE(f.counts(), unchangedCounts);
    }

    void countsMoveByTheNetChangeOfEachCollection_data()
    {
        QTest::addColumn<QStringList>("loadedCounts");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("target");
        QTest::addColumn<QStringList>("counts");
        // A reader's list can carry counts that disagree with its books; a drop still moves
        // each count by exactly one per book that arrives or leaves.
        QTest::newRow("books already in a target counted 0")
            << QStringList{"0", "1", "1", "0", "0"} << 0 << 2 << 0 << QStringList{"0", "1", "1", "0", "0"};
        QTest::newRow("books already in a target counted 9")
            << QStringList{"9", "1", "1", "0", "0"} << 0 << 2 << 0 << QStringList{"9", "1", "1", "0", "0"};
        QTest::newRow("some in the target, some not")
            << QStringList{"0", "1", "1", "0", "0"} << 0 << 4 << 0 << QStringList{"2", "1", "1", "0", "0"};
        QTest::newRow("a count that cannot go below 0")
            << QStringList{"1", "1", "1", "0", "0"} << 0 << 2 << 1 << QStringList{"0", "3", "1", "0", "0"};
        QTest::newRow("a count that is not a number")
            << QStringList{"x", "1", "1", "0", "0"} << 2 << 2 << 0 << QStringList{"2", "1", "1", "0", "0"};
    }
    void countsMoveByTheNetChangeOfEachCollection()
    {
        QFETCH(QStringList, loadedCounts);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(int, target);
        QFETCH(QStringList, counts);
        Fixture f;
        f.setCollections(unchangedNames, loadedCounts);
        dropOnCollection(f.page, DragSource::FileList, first, count, target);
        QCOMPARE(f.counts(), counts);
    }

    void booksLeavingARepeatedNameCountDownEveryRowOfIt()
    {
        // Names repeat only in a list loaded from a reader; membership is by name, so every
        // row of the name the books leave counts down, as every row of it lists them.
        Fixture f;
        f.setCollections({"A", "B", "A", "D"}, {"2", "1", "2", "0"});
        dropOnCollection(f.page, DragSource::FileList, 0, 2, 3);
        QCOMPARE(f.membership(), QStringList({"D", "D", "", "", "B", "C"}));
        QCOMPARE(f.counts(), QStringList({"0", "1", "0", "2"}));
    }

    void aMergeTakesEachBookOnceAndNoneOfTheTargetsOwn()
    {
        // Rows 0 and 2 share the name A; row 3 bears the target's name B.
        Fixture f;
        f.setCollections({"A", "C", "A", "B", "B"}, {"2", "1", "2", "1", "1"});
        const PageUpdate update = dropOnCollection(f.page, DragSource::CollectionList, 0, 4, 4);
        QCOMPARE(f.membership(), QStringList({"B", "B", "", "", "B", "B"}));
        QCOMPARE(f.names(), QStringList({"B"}));
        QCOMPARE(f.counts(), QStringList({"4"}));
        QCOMPARE(update.selectCollectionRow, 0);
    }

    void aMergedNamelessCollectionBringsNoBooks()
    {
        // The books in no collection stay there; the nameless row goes.
        Fixture f;
        f.setCollections({"", "B", "C"}, {"5", "1", "1"});
        dropOnCollection(f.page, DragSource::CollectionList, 0, 1, 2);
        QCOMPARE(f.membership(), QStringList({"A", "A", "", "", "B", "C"}));
        QCOMPARE(f.names(), QStringList({"B", "C"}));
        QCOMPARE(f.counts(), QStringList({"1", "1"}));
    }

    // On the editing page a collection row stands for the reader's collection records; a merge
    // hands those of the merged rows to the target, so their memberships can follow it.
    void aMergeHandsTheReadersCollectionsToTheTarget()
    {
        Fixture f;
        QVector<CollectionRow> rows = f.page.collections.rows();
        rows[0].record_id = "1";
        rows[1].record_id = "2";
        rows[1].merged_record_ids = {"7"};
        rows[2].record_id = "3";
        rows[4].record_id = "5";
        f.page.collections.replaceRows(rows); // D was made on the page and has no record
        dropOnCollection(f.page, DragSource::CollectionList, 0, 2, 2);
        dropOnCollection(f.page, DragSource::CollectionList, 0, 2, 2);
        QCOMPARE(f.names(), QStringList({"E"}));
        QCOMPARE(f.page.collections.row(0).record_id, QString("5"));
        QCOMPARE(f.page.collections.row(0).merged_record_ids, QStringList({"3", "1", "2", "7"}));
    }

    void dropsOnTheBookList_data()
    {
        QTest::addColumn<DragSource>("source");
        QTest::addColumn<int>("shownBefore");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("membership");
        QTest::addColumn<QStringList>("counts");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("files in none join the shown B")
            << DragSource::FileList << 1 << 2 << 2 << QStringList{"A", "A", "B", "B", "B", "C"}
            << QStringList{"2", "3", "1", "0", "0"} << QStringList{"b3", "b4", "b5"};
        QTest::newRow("files of A and C join the shown B")
            << DragSource::FileList << 1 << 0 << 6 << QStringList{"B", "B", "B", "B", "B", "B"}
            << QStringList{"0", "6", "0", "0", "0"} << QStringList{"b1", "b2", "b3", "b4", "b5", "b6"};
        QTest::newRow("a file already in the shown A")
            << DragSource::FileList << 0 << 0 << 1 << unchangedMembership << unchangedCounts << QStringList{"b1", "b2"};
        QTest::newRow("shown books are refused")
            << DragSource::BookList << 0 << 0 << 2 << unchangedMembership << unchangedCounts << QStringList{"b1", "b2"};
        QTest::newRow("collections are refused") << DragSource::CollectionList << 0 << 0 << 2 << unchangedMembership
                                                 << unchangedCounts << QStringList{"b1", "b2"};
        QTest::newRow("nothing shown") << DragSource::FileList << -1 << 2 << 2 << unchangedMembership << unchangedCounts
                                       << QStringList{};
    }
    void dropsOnTheBookList()
    {
        QFETCH(DragSource, source);
        QFETCH(int, shownBefore);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(QStringList, membership);
        QFETCH(QStringList, counts);
        QFETCH(QStringList, shown);
        Fixture f;
        showCollectionBooks(f.page, shownBefore);
        const PageUpdate update = dropOnBookList(f.page, source, first, count);
        QCOMPARE(f.membership(), membership);
        QCOMPARE(f.counts(), counts);
        QCOMPARE(f.shownTitles(), shown);
        QCOMPARE(f.page.shownBooks.shown_collection_row, shownBefore);
        // The collection list's selection stays as it is.
        QCOMPARE(update.selectCollectionRow, -1);
    }
};

QTEST_GUILESS_MAIN(TestBookMoves)
#include "test_book_moves.moc"
