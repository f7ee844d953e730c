#include "booklist/book_table.h"
#include "booklist/duplicate_books.h"

#include <QTest>

#include <functional>
#include <limits>

namespace {
BookRow book(const QString &path, const QString &collection, const QString &size)
{
    return BookRow{.full_path = path, .collection = collection, .file_size = size};
}

// The summary against a count made the plain way from the rows as they are now.
void verifySummary(const BookTable &table, const QString &step)
{
    const BookCollectionSummary &summary = table.collectionSummary();
    int books = 0;
    qint64 bytes = 0;
    QHash<QString, QVector<int>> members;
    for (int row = 0; row < table.rowCount(); ++row) {
        const BookRow &book = table.row(row);
        if (book.collection.isEmpty())
            continue;
        ++books;
        bytes += book.file_size.bytes();
        members[book.collection].append(row);
    }
    QVERIFY2(summary.booksInCollections() == books, qPrintable(step));
    QVERIFY2(summary.bytesInCollections() == bytes, qPrintable(step));
    for (auto collection = members.cbegin(); collection != members.cend(); ++collection)
        QVERIFY2(summary.rowsOf(collection.key()) == collection.value(), qPrintable(step + ": " + collection.key()));
    QVERIFY2(summary.rowsOf(QString()).isEmpty(), qPrintable(step));
    QVERIFY2(summary.rowsOf("never a collection").isEmpty(), qPrintable(step));
}
} // namespace

class TestBookCollectionSummary : public QObject
{
    Q_OBJECT
private slots:
    // Every way the file list changes: the summary read after it is the rows' own.
    void keepsInStepWithEveryChangeOfTheRows()
    {
        BookTable table;
        const std::pair<const char *, std::function<void()>> steps[] = {
            {"rows appended",
             [&] {
                 table.appendRows({book("/a", "Фантастика", "100"), book("/b", "", "20"), book("/c", "Фантастика", "3"),
                                   book("/d", "Классика", "4000")});
             }},
            // As a build hands it over: a name no book carries any more (a merged form) among them.
            {"summary of known keys",
             [&] {
                 table.announceAllRowsChanged(
                     BookCollectionSummary::ofKnownKeys({1, BookCollectionSummary::NoCollection, 1, 3},
                                                        {100, 20, 3, 4000}, {"Фантастика", "фантастика", "Классика"}));
             }},
            {"quiet edit of a collection", [&] { table.rowForQuietEdit(1).collection = "Классика"; }},
            {"quiet edit of a size", [&] { table.rowForQuietEdit(0).file_size = "7"; }},
            {"a row taken out of its collection", [&] { table.rowForQuietEdit(3).collection.clear(); }},
            {"cell text set", [&] { table.setCellText(2, CollectionColumn, "Новая"); }},
            {"several rows updated",
             [&] {
                 table.updateRows([](BookRow &row) {
                     if (row.collection != "Фантастика")
                         return false;
                     row.collection = "Классика";
                     return true;
                 });
             }},
            {"bulk append",
             [&] {
                 table.beginBulk();
                 table.append(book("/e", "Новая", "5"));
                 table.append(book("/a", "Классика", "6"));
                 table.endBulk();
             }},
            {"sorted", [&] { table.sort(FileSizeColumn, Qt::DescendingOrder); }},
            {"row range removed", [&] { table.removeRowRange(1, 1); }},
            {"duplicates removed", [&] { removeDuplicateBooks(table, Qt::CaseSensitive); }},
            {"edit after a removal", [&] { table.rowForQuietEdit(0).collection = "Ещё одна"; }},
            {"rows replaced",
             [&] {
                 table.replaceRows({book("/x", "Одна", "1"), book("/y", "Одна", "2")});
             }},
            {"emptied", [&] { table.clear(); }},
        };
        for (const auto &[name, change] : steps) {
            change();
            verifySummary(table, name);
        }
    }

    // Edits of a few rows, of many, and of more than there are rows between two reads.
    void manyEditsBetweenReads()
    {
        BookTable table;
        QVector<BookRow> rows;
        for (int i = 0; i < 1000; ++i)
            rows.append(book(QString("/%1").arg(i), i % 3 == 0 ? "" : QString("C%1").arg(i % 7), QString::number(i)));
        table.appendRows(rows);
        verifySummary(table, "first read");
        for (int i = 0; i < 100; ++i)
            table.rowForQuietEdit(i * 7).collection = "C1";
        verifySummary(table, "a few edits");
        for (int i = 0; i < 1000; i += 2)
            table.rowForQuietEdit(i).collection = QString("D%1").arg(i % 5);
        verifySummary(table, "many edits");
        for (int pass = 0; pass < 2; ++pass)
            for (int i = 0; i < 1000; ++i)
                table.rowForQuietEdit(i).collection = QString("E%1").arg((i + pass) % 3);
        verifySummary(table, "every row edited twice");
    }

    // Sizes read from a reader's database can be absurd: the total saturates, and comes back
    // exact once such a book leaves its collection.
    void absurdSizesSaturateAndComeBack()
    {
        BookTable table;
        const QString huge = QString::number(std::numeric_limits<qint64>::max() - 1);
        table.appendRows({book("/a", "C", huge), book("/b", "C", huge), book("/c", "C", "5")});
        QCOMPARE(table.collectionSummary().bytesInCollections(), std::numeric_limits<qint64>::max());
        table.rowForQuietEdit(1).collection.clear();
        QCOMPARE(table.collectionSummary().bytesInCollections(), std::numeric_limits<qint64>::max());
        table.rowForQuietEdit(0).collection.clear();
        QCOMPARE(table.collectionSummary().bytesInCollections(), qint64(5));
        QCOMPARE(table.collectionSummary().booksInCollections(), 1);
    }
};

QTEST_GUILESS_MAIN(TestBookCollectionSummary)
#include "test_book_collection_summary.moc"
