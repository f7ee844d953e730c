#include "collections/book_moves.h"
#include "collections/collection_operations.h"
#include "collections/shown_books.h"
#include "support/scripted_dialogs.h"

#include <QTest>

namespace {
// The editing page of a reader that holds b1 in A and in B, b2 in B and b3 in none; C is empty.
struct Fixture
{
    Fixture()
    {
        page.books.replaceRows({
            BookRow{.full_path = "/b1", .collection = "A", .other_collections = {"B"}, .title = "b1"},
            BookRow{.full_path = "/b2", .collection = "B", .title = "b2"},
            BookRow{.full_path = "/b3", .title = "b3"},
        });
        page.collections.replaceRows({{"A", "1", "1"}, {"B", "2", "2"}, {"C", "0", "3"}});
    }

    // Each book's collections, its cell's first: "A+B".
    QStringList memberships() const
    {
        QStringList texts;
        for (const BookRow &book : page.books.rows())
            texts << (QStringList{book.collection} + book.other_collections).join('+');
        return texts;
    }
    // Each collection as name, count and the books listed under it: "B:2:b1,b2".
    QStringList collections()
    {
        QStringList texts;
        for (int row = 0; row < page.collections.rowCount(); ++row) {
            showCollectionBooks(page, row);
            QStringList titles;
            for (const ShownBookRow &book : page.shownBooks.rows())
                titles << book.title;
            texts << page.collections.row(row).name + ':' + page.collections.row(row).book_count + ':' +
                         titles.join(',');
        }
        return texts;
    }
    int collection(const QString &name) const { return page.collections.indexOfName(name); }

    LibraryPage page{LibraryPage::Kind::Editing};
    ScriptedDialogs dialogs;
};
} // namespace

class TestBookMemberships : public QObject
{
    Q_OBJECT
private slots:
    void eachOperationActsOnOneMembership_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("memberships");
        QTest::addColumn<QStringList>("collections");

        QTest::newRow("as loaded") << "" << QStringList{"A+B", "B", ""} << QStringList{"A:1:b1", "B:2:b1,b2", "C:0:"};
        QTest::newRow("take b1 out of B")
            << "take out of B" << QStringList{"A", "B", ""} << QStringList{"A:1:b1", "B:1:b2", "C:0:"};
        QTest::newRow("take b1 out of A: B takes its cell")
            << "take out of A" << QStringList{"B", "B", ""} << QStringList{"A:0:", "B:2:b1,b2", "C:0:"};
        QTest::newRow("move b1 from B to C")
            << "move from B to C" << QStringList{"A+C", "B", ""} << QStringList{"A:1:b1", "B:1:b2", "C:1:b1"};
        QTest::newRow("move b1 from B to A, where it is already")
            << "move from B to A" << QStringList{"A", "B", ""} << QStringList{"A:1:b1", "B:1:b2", "C:0:"};
        QTest::newRow("the file list moves the cell's membership")
            << "file list to C" << QStringList{"C+B", "B", ""} << QStringList{"A:0:", "B:2:b1,b2", "C:1:b1"};
        QTest::newRow("rename B") << "rename B" << QStringList{"A+D", "D", ""}
                                  << QStringList{"A:1:b1", "D:2:b1,b2", "C:0:"};
        QTest::newRow("delete A") << "delete A" << QStringList{"B", "B", ""} << QStringList{"B:2:b1,b2", "C:0:"};
        QTest::newRow("merge B into A: b1 once")
            << "merge B into A" << QStringList{"A", "A", ""} << QStringList{"A:2:b1,b2", "C:0:"};
    }

    void eachOperationActsOnOneMembership()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, memberships);
        QFETCH(QStringList, collections);
        Fixture fixture;
        LibraryPage &page = fixture.page;
        if (operation.startsWith("take out of ")) {
            showCollectionBooks(page, fixture.collection(operation.right(1)));
            removeShownBooks(page, fixture.dialogs, 0, 1);
        } else if (operation.startsWith("move from B")) {
            showCollectionBooks(page, fixture.collection("B"));
            dropOnCollection(page, DragSource::BookList, 0, 1, fixture.collection(operation.right(1)));
        } else if (operation == "file list to C") {
            dropOnCollection(page, DragSource::FileList, 0, 1, fixture.collection("C"));
        } else if (operation == "rename B") {
            fixture.dialogs.inputAnswers << "D";
            renameCollection(page, fixture.dialogs, fixture.collection("B"));
        } else if (operation == "delete A") {
            deleteCollections(page, fixture.dialogs, fixture.collection("A"), 1);
        } else if (operation == "merge B into A") {
            dropOnCollection(page, DragSource::CollectionList, fixture.collection("B"), 1, fixture.collection("A"));
        }
        QCOMPARE(fixture.memberships(), memberships);
        QCOMPARE(fixture.collections(), collections);
        // The statistics count each book once, however many collections it is in.
        QCOMPARE(page.books.collectionSummary().booksInCollections(), 2);
    }
};

QTEST_GUILESS_MAIN(TestBookMemberships)
#include "test_book_memberships.moc"
