#include "booklist/book_table.h"
#include "support/synthetic_drag.h"
#include "widgets/grid_view.h"

#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

namespace {
// A grid that notes each drag it starts, then starts it for real (on the offscreen platform
// the drag ends at once without delivering anything).
class RecordingGrid : public GridView
{
public:
    using GridView::GridView;
    QList<RowDrag> drags;

protected:
    void startDrag(Qt::DropActions actions) override
    {
        const std::unique_ptr<QMimeData> data(selectedRowsDragData());
        if (const std::optional<RowDrag> drag = data ? readRowDrag(data.get()) : std::nullopt)
            drags << *drag;
        GridView::startDrag(actions);
    }
};

// The window around a grid: it takes dropped files, as the main window does.
class FileTakingWindow : public QWidget
{
public:
    QList<QPoint> positions;
    QList<QEvent::Type> events;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override { take(event); }
    void dragMoveEvent(QDragMoveEvent *event) override { take(event); }
    void dropEvent(QDropEvent *event) override { take(event); }

private:
    void take(QDropEvent *event)
    {
        events << event->type();
        positions << event->position().toPoint();
        if (event->mimeData()->hasUrls())
            event->acceptProposedAction();
        else
            event->ignore();
    }
};

struct Scene
{
    FileTakingWindow window;
    RecordingGrid *grid = new RecordingGrid(&window);
    BookTable books;
    QList<QPair<int, int>> drops; // (first dragged row, row under the pointer)
    bool refuse = false;

    Scene()
    {
        window.setAcceptDrops(true);
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(20, 20, 20, 20);
        layout->addWidget(grid);
        QVector<BookRow> rows;
        for (int i = 0; i < 5; ++i)
            rows.append(BookRow{.full_path = QString("/book%1").arg(i), .collection = QString("c%1").arg(i)});
        books.appendRows(rows);
        books.setHeaderTexts({"Полный путь к файлу", "Коллекция"});
        grid->setGridModel(&books);
        window.resize(600, 400);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("the window was not exposed");
    }

    void takeDrops()
    {
        grid->setRowDropRules({[this](const RowDrag &, int) { return !refuse; },
                               [this](const RowDrag &drag, int row) { drops << qMakePair(drag.first, row); }});
    }

    QPoint rowCentre(int row) const { return grid->visualRect(books.index(row, 1)).center(); }
    void mouse(QEvent::Type type, const QPoint &position, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, position, grid->viewport()->mapToGlobal(position), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(grid->viewport(), &event);
    }
    void press(const QPoint &position, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, position, button, button);
    }
    void moveHeld(const QPoint &position, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseMove, position, Qt::NoButton, button);
    }
    void release(const QPoint &position, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonRelease, position, button, Qt::NoButton);
    }
    void click(int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, rowCentre(row));
    }
};
} // namespace

class TestGridRowDrag : public QObject
{
    Q_OBJECT
private slots:
    void aPressOnARowBecomesADragOnceThePointerHasMovedThreePixels_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPoint>("moved");
        QTest::addColumn<bool>("drags");
        QTest::newRow("2 right") << Qt::LeftButton << QPoint(2, 0) << false;
        QTest::newRow("2 up") << Qt::LeftButton << QPoint(0, -2) << false;
        QTest::newRow("2 right and 2 down") << Qt::LeftButton << QPoint(2, 2) << false;
        QTest::newRow("3 right") << Qt::LeftButton << QPoint(3, 0) << true;
        QTest::newRow("3 left") << Qt::LeftButton << QPoint(-3, 0) << true;
        QTest::newRow("3 up") << Qt::LeftButton << QPoint(0, -3) << true;
        QTest::newRow("right button, 3 down") << Qt::RightButton << QPoint(0, 3) << true;
        QTest::newRow("middle button, 3 right") << Qt::MiddleButton << QPoint(3, 0) << true;
    }
    void aPressOnARowBecomesADragOnceThePointerHasMovedThreePixels()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPoint, moved);
        QFETCH(bool, drags);
        Scene scene;
        const QPoint start = scene.rowCentre(2);
        scene.press(start, button);
        scene.moveHeld(start + moved, button);
        QCOMPARE(scene.grid->drags.size(), drags ? 1 : 0);
        if (drags) {
            QCOMPARE(scene.grid->drags[0].first, 2);
            QCOMPARE(scene.grid->drags[0].count, 1);
            // Further moves of the same press start no second drag.
            scene.moveHeld(start + moved * 3, button);
            QCOMPARE(scene.grid->drags.size(), 1);
        }
        scene.release(start + moved * 3, button);
    }

    void aPlainClickSelectsAndDragsNothing()
    {
        Scene scene;
        scene.click(3);
        QVERIFY(scene.grid->drags.isEmpty());
        QCOMPARE(scene.grid->selectedRowRange().first, 3);
        QCOMPARE(scene.grid->selectedRowRange().count, 1);
        // A move with no button held after the click starts nothing either.
        scene.moveHeld(scene.rowCentre(3) + QPoint(10, 0), Qt::NoButton);
        QVERIFY(scene.grid->drags.isEmpty());
    }

    void theDragCarriesTheSelectedRowsAndTheGridsIdentity()
    {
        Scene scene;
        scene.click(1);
        scene.click(3, Qt::ShiftModifier);
        // A press inside the selection keeps it: all three rows travel.
        scene.press(scene.rowCentre(2));
        scene.moveHeld(scene.rowCentre(2) + QPoint(0, 5));
        QCOMPARE(scene.grid->drags.size(), 1);
        QCOMPARE(scene.grid->drags[0].sourceGrid, scene.grid->dragIdentity());
        QCOMPARE(scene.grid->drags[0].first, 1);
        QCOMPARE(scene.grid->drags[0].count, 3);

        // A press outside the selection selects its row alone, and that row travels.
        scene.press(scene.rowCentre(4));
        scene.moveHeld(scene.rowCentre(4) + QPoint(5, 0));
        QCOMPARE(scene.grid->drags.size(), 2);
        QCOMPARE(scene.grid->drags[1].first, 4);
        QCOMPARE(scene.grid->drags[1].count, 1);

        // Every grid has an identity of its own.
        GridView other;
        QVERIFY(!other.dragIdentity().isEmpty());
        QVERIFY(other.dragIdentity() != scene.grid->dragIdentity());
    }

    void pressesOffTheDataRowsStartNothing()
    {
        Scene scene;
        scene.click(1);
        // The header row is a view of its own.
        QHeaderView *header = scene.grid->horizontalHeader();
        const QPoint onHeader(header->sectionViewportPosition(1) + 5, header->height() / 2);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, onHeader);
        QTest::mouseMove(header->viewport(), onHeader + QPoint(0, 10));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, onHeader + QPoint(0, 10));
        // Below the last row.
        const QPoint below(20, scene.grid->viewport()->height() - 5);
        QCOMPARE(scene.grid->rowAt(below.y()), -1);
        scene.press(below);
        scene.moveHeld(below + QPoint(10, 0));
        scene.release(below + QPoint(10, 0));
        QVERIFY(scene.grid->drags.isEmpty());
    }

    void rowsDroppedOnAGridReachItsRules_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("row");
        QTest::newRow("over a row") << "row 3" << 3;
        QTest::newRow("below the rows") << "below" << int(GridView::NoRow);
        QTest::newRow("over the header") << "header" << int(GridView::HeaderRow);
    }
    void rowsDroppedOnAGridReachItsRules()
    {
        QFETCH(QString, where);
        QFETCH(int, row);
        Scene scene;
        scene.takeDrops();
        scene.click(1);
        const std::unique_ptr<QMimeData> data(scene.grid->selectedRowsDragData());
        QWidget *receiver = scene.grid->viewport();
        QPoint position = scene.rowCentre(3);
        if (where == "below") {
            position = QPoint(20, receiver->height() - 5);
        } else if (where == "header") {
            receiver = scene.grid->horizontalHeader()->viewport();
            position = receiver->rect().center();
        }
        QVERIFY(receiver->acceptDrops());
        const SyntheticDrag drag{receiver, position, data.get()};
        QVERIFY(drag.moveAccepted());
        QVERIFY(drag.drop());
        const QList<QPair<int, int>> expected{{1, row}};
        QCOMPARE(scene.drops, expected);
        QVERIFY(scene.window.events.isEmpty());

        scene.refuse = true;
        QVERIFY(!drag.moveAccepted());
        QVERIFY(!drag.drop());
        QCOMPARE(scene.drops.size(), 1);
        QVERIFY(scene.window.events.isEmpty());
    }

    void otherDataGoesToTheWidgetAroundTheGrid()
    {
        // Files from the file manager are the window's, over a grid as anywhere else.
        Scene scene;
        scene.takeDrops();
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile("/books/one.fb2")});
        const QPoint position = scene.rowCentre(2);
        const SyntheticDrag overRow{scene.grid->viewport(), position, &files};
        QVERIFY(overRow.drop());
        QCOMPARE(scene.window.events, QList<QEvent::Type>({QEvent::DragEnter, QEvent::DragMove, QEvent::Drop}));
        QCOMPARE(scene.window.positions.last(), scene.grid->viewport()->mapTo(&scene.window, position));
        QVERIFY(scene.drops.isEmpty());

        QWidget *header = scene.grid->horizontalHeader()->viewport();
        const SyntheticDrag overHeader{header, header->rect().center(), &files};
        QVERIFY(overHeader.drop());
        QCOMPARE(scene.window.events.size(), 6);
        QCOMPARE(scene.window.positions.last(), header->mapTo(&scene.window, header->rect().center()));
    }

    void aGridWithoutRulesTakesNoRows()
    {
        Scene scene;
        QVERIFY(!scene.grid->viewport()->acceptDrops());
        QVERIFY(!scene.grid->horizontalHeader()->viewport()->acceptDrops());
        scene.click(1);
        const std::unique_ptr<QMimeData> data(scene.grid->selectedRowsDragData());
        const SyntheticDrag drag{scene.grid->viewport(), scene.rowCentre(3), data.get()};
        QVERIFY(!drag.drop());
    }

    void noSelectionNoDragData()
    {
        Scene scene;
        QVERIFY(!scene.grid->selectedRowsDragData());
        scene.click(2);
        const std::unique_ptr<QMimeData> data(scene.grid->selectedRowsDragData());
        QVERIFY(data);
        // Only our own type: no text or file list another program could take for its own.
        QCOMPARE(data->formats().size(), 1);
        QVERIFY(!data->hasUrls());
        QVERIFY(!data->hasText());
        QVERIFY(!readRowDrag(nullptr));
        QMimeData damaged;
        damaged.setData(data->formats().constFirst(), "\x01");
        QVERIFY(!readRowDrag(&damaged));
    }
};

QTEST_MAIN(TestGridRowDrag)
#include "test_grid_row_drag.moc"
