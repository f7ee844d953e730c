#include "booklist/book_table.h"
#include "collections/collection_table.h"
#include "widgets/grid_view.h"
#include "widgets/page_control.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolTip>

namespace {
BookRow titled(const QString &title)
{
    BookRow row;
    row.full_path = QStringLiteral("/books/") + title;
    row.title = title;
    return row;
}

QStringList titles(const BookTable &table)
{
    QStringList result;
    for (const BookRow &row : table.rows())
        result << row.title;
    return result;
}

void clickHeader(GridView &view, int column)
{
    QHeaderView *header = view.horizontalHeader();
    const QPoint point(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
}

void clickRow(GridView &view, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers,
                      view.visualRect(view.model()->index(row, 0)).center());
}
} // namespace

class TestGridView : public QObject
{
    Q_OBJECT
private slots:
    void headerIsShownExactlyWhileThereAreDataRows()
    {
        BookTable table;
        GridView view;
        view.setGridModel(&table);
        view.show();
        QVERIFY(!view.horizontalHeader()->isVisibleTo(&view));

        table.beginBulk();
        table.append(titled("a"));
        QVERIFY2(!view.horizontalHeader()->isVisibleTo(&view), "rows still pending in a batch are not data rows yet");
        table.endBulk();
        QVERIFY(view.horizontalHeader()->isVisibleTo(&view));

        table.removeRowRange(0, 1);
        QVERIFY(!view.horizontalHeader()->isVisibleTo(&view));
        table.appendRows({titled("b"), titled("c")});
        table.setHeaderTexts({QStringLiteral("Полный путь к файлу")});
        QVERIFY(view.horizontalHeader()->isVisibleTo(&view));
        QCOMPARE(view.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Полный путь к файлу"));
        table.clear();
        QVERIFY(!view.horizontalHeader()->isVisibleTo(&view));
        QVERIFY(view.model()->headerData(0, Qt::Horizontal).toString().isEmpty());
    }

    void columnWidthsFollowTheModel()
    {
        CollectionTable table;
        GridView view;
        view.setGridModel(&table);
        view.show();
        table.appendRows({{QStringLiteral("A collection with a rather long name indeed"), QStringLiteral("12"), {}}});
        table.setColumnWidth(CollectionNumberColumn, GridModel::FitToContents);
        table.setColumnWidth(CollectionNameColumn, 380);
        table.setColumnWidth(CollectionBookCountColumn, 0);
        QCOMPARE(view.columnWidth(CollectionNameColumn), 380);
        QVERIFY(view.isColumnHidden(CollectionBookCountColumn));
        QVERIFY(!view.isColumnHidden(CollectionNameColumn));
        QCOMPARE(view.columnWidth(CollectionRecordIdColumn), view.horizontalHeader()->defaultSectionSize());

        // A fitted column is as wide as its widest cell, also after rows come and go.
        const int fitted = view.columnWidth(CollectionNumberColumn);
        QVERIFY(fitted < 60);
        table.setColumnWidth(CollectionNameColumn, GridModel::FitToContents);
        QVERIFY(view.columnWidth(CollectionNameColumn) >
                view.fontMetrics().horizontalAdvance(QStringLiteral("A collection with a rather long name")));

        // A hidden column comes back with the width the model gives it.
        table.setColumnWidth(CollectionBookCountColumn, 77);
        QVERIFY(!view.isColumnHidden(CollectionBookCountColumn));
        QCOMPARE(view.columnWidth(CollectionBookCountColumn), 77);

        // The user may resize every column.
        for (int column = 0; column < table.columnCount(); ++column)
            QCOMPARE(view.horizontalHeader()->sectionResizeMode(column), QHeaderView::Interactive);
    }

    void widthsSetBeforeTheViewMeetsTheModelApply()
    {
        BookTable table;
        table.setColumnWidth(FullPathColumn, 400);
        table.setColumnWidth(FileSizeColumn, 0);
        GridView view;
        view.setGridModel(&table);
        QCOMPARE(view.columnWidth(FullPathColumn), 400);
        QVERIFY(view.isColumnHidden(FileSizeColumn));
    }

    void selectionIsOneContiguousRangeOfWholeRows()
    {
        BookTable table;
        for (const char *title : {"a", "b", "c", "d", "e"})
            table.appendRow(titled(title));
        GridView view;
        view.setGridModel(&table);
        view.resize(600, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        clickRow(view, 1);
        clickRow(view, 3, Qt::ShiftModifier);
        QItemSelectionModel *selection = view.selectionModel();
        QCOMPARE(selection->selectedRows().size(), 3);
        QCOMPARE(selection->selectedIndexes().size(), 3 * table.columnCount());

        clickRow(view, 0, Qt::ControlModifier);
        QModelIndexList rows = selection->selectedRows();
        std::sort(rows.begin(), rows.end());
        for (qsizetype i = 1; i < rows.size(); ++i)
            QCOMPARE(rows.at(i).row(), rows.at(i - 1).row() + 1);
    }

    void hintShowsTheWholeTextOnlyOfACutOffCell()
    {
        BookTable table;
        const QString longTitle = QStringLiteral("Война и мир, том первый, часть вторая, глава двенадцатая");
        table.appendRows({titled(QStringLiteral("Мир")), titled(longTitle)});
        table.setColumnWidth(TitleColumn, 120);
        GridView view;
        view.setGridModel(&table);
        view.resize(800, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const QModelIndex shortCell = table.index(0, TitleColumn);
        const QModelIndex longCell = table.index(1, TitleColumn);
        QVERIFY(view.cutOffText(shortCell).isEmpty());
        QCOMPARE(view.cutOffText(longCell), longTitle);

        const QPoint where = view.visualRect(longCell).center();
        QHelpEvent help(QEvent::ToolTip, where, view.viewport()->mapToGlobal(where));
        QApplication::sendEvent(view.viewport(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), longTitle);

        const QPoint shortWhere = view.visualRect(shortCell).center();
        QHelpEvent shortHelp(QEvent::ToolTip, shortWhere, view.viewport()->mapToGlobal(shortWhere));
        QApplication::sendEvent(view.viewport(), &shortHelp);
        QTRY_VERIFY(!QToolTip::isVisible());

        table.setColumnWidth(TitleColumn, 900);
        QVERIFY(view.cutOffText(longCell).isEmpty());
    }

    void headerClickSortsOnceThereAreTwoRowsAndTurnsOver()
    {
        BookTable table;
        GridView view;
        view.setGridModel(&table);
        view.setHeaderSorting(true);
        view.resize(900, 300);
        view.show();
        table.appendRow(titled(QStringLiteral("10")));
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        // One row: a click offers no sorting and does not turn the direction over.
        clickHeader(view, TitleColumn);
        table.appendRows({titled(QStringLiteral("9")), titled(QStringLiteral("100")), titled(QStringLiteral("9.5"))});
        clickHeader(view, TitleColumn);
        QCOMPARE(titles(table), QStringList({"9", "9.5", "10", "100"}));
        clickHeader(view, TitleColumn);
        QCOMPARE(titles(table), QStringList({"100", "10", "9.5", "9"}));
        clickHeader(view, TitleColumn);
        QCOMPARE(titles(table), QStringList({"9", "9.5", "10", "100"}));
    }

    void gridsWithoutHeaderSortingIgnoreHeaderClicks()
    {
        BookTable table;
        table.appendRows({titled(QStringLiteral("b")), titled(QStringLiteral("a"))});
        GridView view;
        view.setGridModel(&table);
        view.resize(900, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        clickHeader(view, TitleColumn);
        QCOMPARE(titles(table), QStringList({"b", "a"}));
    }

    void pageChangeWaitsForTheGuard()
    {
        PageControl pager;
        QWidget first;
        QWidget second;
        pager.addPage(&first, QStringLiteral("Первая"));
        pager.addPage(&second, QStringLiteral("Вторая"));
        pager.resize(400, 300);
        pager.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pager));
        QSignalSpy changed(&pager, &PageControl::currentChanged);

        int asked = 0;
        int tabWhileAsked = -1;
        bool allow = false;
        pager.setChangeGuard([&](int newIndex) {
            ++asked;
            tabWhileAsked = pager.tabBar()->currentIndex();
            return allow && newIndex == 1;
        });

        QTest::mouseClick(pager.tabBar(), Qt::LeftButton, {}, pager.tabBar()->tabRect(1).center());
        QCOMPARE(asked, 1);
        QCOMPARE(tabWhileAsked, 0);
        QCOMPARE(pager.currentIndex(), 0);
        QCOMPARE(pager.tabBar()->currentIndex(), 0);
        QCOMPARE(pager.currentPage(), &first);
        QCOMPARE(changed.count(), 0);

        allow = true;
        QTest::mouseClick(pager.tabBar(), Qt::LeftButton, {}, pager.tabBar()->tabRect(1).center());
        QCOMPARE(asked, 2);
        QCOMPARE(pager.currentIndex(), 1);
        QCOMPARE(pager.tabBar()->currentIndex(), 1);
        QCOMPARE(pager.currentPage(), &second);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 1);

        // Picking the tab already shown asks nothing.
        QTest::mouseClick(pager.tabBar(), Qt::LeftButton, {}, pager.tabBar()->tabRect(1).center());
        QCOMPARE(asked, 2);
    }
};

QTEST_MAIN(TestGridView)
#include "test_grid_view.moc"
