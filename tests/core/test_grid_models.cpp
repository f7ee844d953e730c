#include "booklist/book_table.h"
#include "booklist/cell_sort_keys.h"
#include "collections/collection_table.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <QRandomGenerator>

#include <algorithm>

class TestGridModels : public QObject
{
    Q_OBJECT
private slots:
    void bookTableIsAConsistentModel()
    {
        BookTable table;
        QAbstractItemModelTester tester(&table, QAbstractItemModelTester::FailureReportingMode::QtTest);
        table.appendRows({BookRow{.full_path = "/b/1.fb2"}, BookRow{.full_path = "/b/2.fb2"}});
        table.setCellText(1, TitleColumn, "Title");
        table.sort(FullPathColumn, Qt::DescendingOrder);
        table.removeRowRange(0, 1);
        QCOMPARE(table.rowCount(), 1);
        QCOMPARE(table.cellText(0, FullPathColumn), QString("/b/1.fb2"));
        QCOMPARE(table.columnCount(), 13);
        table.clear();
        QCOMPARE(table.rowCount(), 0);
    }

    void bulkAppendReachesTheViewInOneInsertion()
    {
        BookTable table;
        int insertions = 0;
        connect(&table, &QAbstractItemModel::rowsInserted, this, [&] { ++insertions; });
        table.beginBulk();
        for (int i = 0; i < 100; ++i)
            table.append(BookRow{.full_path = QString::number(i)});
        QCOMPARE(table.rowCount(), 0);
        QCOMPARE(table.totalRowCount(), 100);
        table.endBulk();
        QCOMPARE(table.rowCount(), 100);
        QCOMPARE(insertions, 1);
    }

    void sortOrder_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("ascending");
        QTest::newRow("sizes as numbers")
            << int(FileSizeColumn) << QStringList{"10", "9", "100", "0"} << QStringList{"0", "9", "10", "100"};
        QTest::newRow("numbers beyond plain digits")
            << int(AddedDateColumn) << QStringList{"12345678901234567", "2.5", "-3", " 7", "1e3", "99"}
            << QStringList{"-3", "2.5", " 7", "99", "1e3", "12345678901234567"};
        QTest::newRow("time stamps") << int(AddedDateColumn)
                                     << QStringList{"1714564800000", "999999999999", "1714564800001"}
                                     << QStringList{"999999999999", "1714564800000", "1714564800001"};
        QTest::newRow("text by character codes")
            << int(TitleColumn) << QStringList{"b", "B", "Ёж", "Яблоко", "а", "abc", ""}
            << QStringList{"", "B", "abc", "b", "Ёж", "Яблоко", "а"};
        QTest::newRow("a number beside text compares as text")
            << int(TitleColumn) << QStringList{"Том 2", "10", "Том 10"} << QStringList{"10", "Том 10", "Том 2"};
    }

    void sortOrder()
    {
        QFETCH(int, column);
        QFETCH(QStringList, cells);
        QFETCH(QStringList, ascending);
        BookTable table;
        for (const QString &cell : cells) {
            BookRow row;
            setBookCellText(row, column, cell);
            table.appendRow(row);
        }
        const auto columnTexts = [&] {
            QStringList texts;
            for (int row = 0; row < table.rowCount(); ++row)
                texts << table.cellText(row, column);
            return texts;
        };
        table.sort(column, Qt::AscendingOrder);
        QCOMPARE(columnTexts(), ascending);
        table.sort(column, Qt::DescendingOrder);
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(columnTexts(), descending);
    }

    void sortKeepsTheOrderOfEqualCellsAndMovesWholeRows()
    {
        BookTable table;
        const QStringList paths{"/a", "/b", "/c", "/d"};
        const QStringList sizes{"5", "1", "5", "1"};
        for (int i = 0; i < paths.size(); ++i)
            table.appendRow(BookRow{.full_path = paths[i], .file_size = sizes[i], .title = "T" + paths[i]});
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            table.sort(FileSizeColumn, order);
            QStringList sortedPaths;
            for (const BookRow &row : table.rows()) {
                QCOMPARE(row.title, "T" + row.full_path);
                sortedPaths << row.full_path;
            }
            QCOMPARE(sortedPaths, order == Qt::AscendingOrder ? QStringList({"/b", "/d", "/a", "/c"})
                                                              : QStringList({"/a", "/c", "/b", "/d"}));
        }
    }

    // A column of numbers only takes a faster path than the comparison sort; its order, equal
    // numbers included, must be the comparison's.
    void aColumnOfNumbersSortsAsTheComparisonWould()
    {
        const QStringList pool{"0",
                               "-0",
                               "7",
                               "7.0",
                               "-3.5",
                               "1e300",
                               "-1e300",
                               "inf",
                               "-inf",
                               " 42",
                               "0.001",
                               "-0.001",
                               "4294967296",
                               "281474976710656",
                               "18446744073709551616"};
        QStringList cells;
        QRandomGenerator random(10);
        for (int i = 0; i < 5000; ++i)
            cells << pool.at(random.bounded(int(pool.size())));
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            QVector<CellSortKey> keys;
            for (int row = 0; row < cells.size(); ++row)
                keys.append(cellSortKey(cells.at(row), row));
            QVERIFY(std::all_of(keys.cbegin(), keys.cend(), [](const CellSortKey &key) { return key.isNumber; }));
            QVector<CellSortKey> expected = keys;
            std::stable_sort(expected.begin(), expected.end(), [order](const CellSortKey &a, const CellSortKey &b) {
                return order == Qt::AscendingOrder ? cellKeyLess(a, b) : cellKeyLess(b, a);
            });
            sortCellKeys(keys, order);
            QVector<int> rows;
            QVector<int> expectedRows;
            for (int i = 0; i < keys.size(); ++i) {
                rows << keys.at(i).row;
                expectedRows << expected.at(i).row;
            }
            QCOMPARE(rows, expectedRows);
        }
    }

    void sizeTextAndNumberAreSetTogether_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("bytes");
        QTest::newRow("plain digits") << "2048" << qint64(2048);
        QTest::newRow("leading zeros") << "0001024" << qint64(1024);
        QTest::newRow("19 digits") << "1000000000000000000" << qint64(1000000000000000000LL);
        QTest::newRow("beyond 64 bits") << "99999999999999999999" << qint64(0);
        QTest::newRow("empty, from a reader's database") << "" << qint64(0);
        QTest::newRow("not a number") << "12kB" << qint64(0);
        QTest::newRow("negative") << "-5" << qint64(0);
    }

    void sizeTextAndNumberAreSetTogether()
    {
        QFETCH(QString, text);
        QFETCH(qint64, bytes);
        BookTable table;
        table.appendRow(BookRow{.file_size = "7"});
        table.setCellText(0, FileSizeColumn, text);
        QCOMPARE(table.cellText(0, FileSizeColumn), text);
        QCOMPARE(table.row(0).file_size.bytes(), bytes);
        BookRow row;
        row.file_size = text;
        QCOMPARE(row.file_size.bytes(), bytes);
        QCOMPARE(BookFileSize(qint64(4096)).text(), QString("4096"));
    }

    void emptiedListsGiveTheirStorageBack()
    {
        BookTable table;
        QVector<BookRow> rows(1000);
        table.appendRows(std::move(rows));
        table.removeRowRange(0, 990);
        QVERIFY(table.rows().capacity() < 1000);
        table.clear();
        QCOMPARE(table.rows().capacity(), 0);
    }

    void collectionNumberIsTheRowPosition()
    {
        // No model tester here: the number column renumbers on removal by design.
        CollectionTable table;
        table.appendRows({{"A", "1", {}}, {"B", "2", {}}, {"C", "0", {}}});
        table.removeRowRange(0, 1);
        QCOMPARE(table.cellText(0, CollectionNumberColumn), QString("1"));
        QCOMPARE(table.cellText(1, CollectionNameColumn), QString("C"));
    }
};

QTEST_GUILESS_MAIN(TestGridModels)
#include "test_grid_models.moc"
