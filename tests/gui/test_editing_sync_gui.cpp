#include "app/library_page_widget.h"
#include "collections/library_page.h"
#include "reader/find_reader.h"
#include "support/fixture_reader.h"
#include "support/window_under_test.h"
#include "sync/editing_sync.h"
#include "sync/sync_messages.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The main window on its editing page, the fixture reader loaded into it.
struct Window : WindowUnderTest
{
    FixtureReader reader;
    QTemporaryDir firstVolume;

    Window()
    {
        volumes.setRoots({firstVolume.path() + "/", reader.root()});
        mainWindow.show();
        QTabBar *tabs = mainWindow.pager()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        dialogs.shown.clear();
    }
    QAbstractButton *button() const { return mainWindow.editorpage()->button("eSynchronizebutton"); }
    void synchronize() { QTest::mouseClick(button(), Qt::LeftButton); }
};
} // namespace

class TestEditingSyncGui : public QObject
{
    Q_OBJECT
private slots:
    void successClosesTheWindow()
    {
        Window window;
        QCOMPARE(window.mainWindow.editing().books.rowCount(), 4);
        QVERIFY(window.button()->isVisible());

        window.synchronize();

        QCOMPARE(window.dialogs.messages(), QStringList{SyncMessages::success()});
        QCOMPARE(window.mainWindow.deviceRoot(), window.reader.root());
        QCOMPARE(sqliteValue(window.reader.databasePath(), "select count(*) from books"), QVariant(4));
        QVERIFY(!window.progress.visible);
        QVERIFY(!window.mainWindow.isVisible());
        QVERIFY(!window.mainWindow.longOperationRunning());
    }

    void refusalsKeepTheWindowOpen_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("message");
        QTest::newRow("another library") << "another library" << readerChangedMessage();
        QTest::newRow("no reader") << "no reader" << deviceNotFoundMessage();
        QTest::newRow("no books") << "no books"
                                  << "На устройстве нет книг!";
    }

    void refusalsKeepTheWindowOpen()
    {
        QFETCH(QString, cause);
        QFETCH(QString, message);
        Window window;
        if (cause == "another library")
            sqliteExecute(window.reader.databasePath(), "delete from books where _id = 2");
        else if (cause == "no reader")
            window.volumes.setRoots({window.firstVolume.path() + "/"});
        else
            window.mainWindow.editing().books.replaceRows({});
        const QList<QVariantList> before = sqliteSnapshot(window.reader.databasePath());

        window.synchronize();

        QCOMPARE(window.dialogs.messages(), QStringList{message});
        QCOMPARE(sqliteSnapshot(window.reader.databasePath()), before);
        QVERIFY(!window.progress.visible);
        QVERIFY(window.mainWindow.isVisible());
        QVERIFY(!window.mainWindow.longOperationRunning());
        // The button works again.
        window.dialogs.shown.clear();
        window.synchronize();
        QCOMPARE(window.dialogs.messages(), QStringList{message});
    }
};

QTEST_MAIN(TestEditingSyncGui)
#include "test_editing_sync_gui.moc"
