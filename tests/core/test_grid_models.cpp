#include "booklist/book_table.h"
#include "collections/collection_table.h"

#include <QAbstractItemModelTester>
#include <QTest>

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

    void sortComparesNumbersAsNumbersAndTurnsOver()
    {
        BookTable table;
        for (const char *size : {"10", "9", "100"})
            table.appendRow(BookRow{.file_size = size});
        table.sort(FileSizeColumn, Qt::AscendingOrder);
        QCOMPARE(table.cellText(0, FileSizeColumn), QString("9"));
        QCOMPARE(table.cellText(2, FileSizeColumn), QString("100"));
        table.sort(FileSizeColumn, Qt::DescendingOrder);
        QCOMPARE(table.cellText(0, FileSizeColumn), QString("100"));
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
