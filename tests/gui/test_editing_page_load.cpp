#include "app/library_page_widget.h"
#include "collections/library_page.h"
#include "editor/reader_library.h"
#include "reader/find_reader.h"
#include "support/fixture_reader.h"
#include "support/window_under_test.h"
#include "widgets/grid_view.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString noReaderMessage = deviceNotFoundMessage();
const QString defaultCollectionMessage =
    "Книги без коллекции устройство автоматически \r\nдобавляет в Коллекцию по умолчанию!";

// The main window with a reader attached behind a dummy first volume.
struct Window : WindowUnderTest
{
    QTemporaryDir firstVolume;

    explicit Window(const FixtureReader *reader)
    {
        if (reader)
            attach(*reader);
        mainWindow.show();
    }
    void attach(const FixtureReader &reader) { volumes.setRoots({firstVolume.path() + "/", reader.root()}); }
    void detach() { volumes.setRoots({firstVolume.path() + "/"}); }

    void pickTab(int index)
    {
        QTabBar *tabs = mainWindow.pager()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
    LibraryPage &editing() { return mainWindow.editing(); }
    LibraryPageWidget &page() { return *mainWindow.editorpage(); }
    QString statistics() const { return mainWindow.editorpage()->findChild<QLabel *>("Label13")->text(); }
    // Dialogs shown after the question of the mode switch.
    QStringList messages() const
    {
        QStringList texts;
        for (const ScriptedDialogs::Shown &shown : dialogs.shown)
            if (shown.kind == "message")
                texts << shown.text;
        return texts;
    }
};
} // namespace

class TestEditingPageLoad : public QObject
{
    Q_OBJECT
private slots:
    void switchingToTheEditingPageLoadsTheReader()
    {
        const FixtureReader reader;
        Window window(&reader);
        window.pickTab(1);
        QCOMPARE(window.mainWindow.pager()->currentIndex(), 1);
        QCOMPARE(window.messages(), QStringList());

        QCOMPARE(window.editing().books.rowCount(), 4);
        QCOMPARE(window.editing().collections.rowCount(), 3);
        QCOMPARE(window.editing().reader.deviceRoot, reader.root());
        QCOMPARE(window.mainWindow.deviceRoot(), reader.root());
        QCOMPARE(window.statistics(), QString("4 шт.\n3 шт.\n3 шт.\n0 МБ 15 КБ\n0 МБ 600 КБ"));
        QVERIFY(window.page().pathPanel()->isVisible());
        QVERIFY(window.page().collectionPanel()->isVisible());
        QVERIFY(!window.page().bookPanel()->isVisible());
        // Only the path, collection, author and title columns show.
        const QHeaderView *header = window.page().pathList()->horizontalHeader();
        QStringList shownColumns;
        for (int column = 0; column < header->count(); ++column)
            if (!header->isSectionHidden(column) && header->sectionSize(column) > 0)
                shownColumns << header->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(shownColumns, (QStringList{"Полный путь к файлу", "Коллекция", "Автор", "Название книги"}));
        QVERIFY(window.progress.calls.isEmpty()); // a small library is read at once
    }

    void noReaderAttached()
    {
        Window window(nullptr);
        const QString statisticsBefore = window.statistics();
        window.pickTab(1);
        QCOMPARE(window.mainWindow.pager()->currentIndex(), 1);
        QCOMPARE(window.messages(), QStringList{noReaderMessage});
        QCOMPARE(window.editing().books.rowCount(), 0);
        QCOMPARE(window.editing().collections.rowCount(), 0);
        QVERIFY(window.editing().reader.isEmpty());
        QCOMPARE(window.statistics(), statisticsBefore); // not recomputed
        QVERIFY(!window.progress.visible);
    }

    void switchingAwayEmptiesThePageAndBackLoadsAgain()
    {
        const FixtureReader reader;
        Window window(nullptr);
        window.pickTab(1);
        QCOMPARE(window.messages(), QStringList{noReaderMessage});

        window.pickTab(0);
        window.attach(reader);
        window.pickTab(1);
        QCOMPARE(window.editing().books.rowCount(), 4);

        window.pickTab(0);
        QCOMPARE(window.editing().books.rowCount(), 0);
        QCOMPARE(window.editing().collections.rowCount(), 0);
        QVERIFY(window.editing().reader.isEmpty());
        QVERIFY(window.editing().reader.database.isEmpty());

        window.detach();
        window.pickTab(1);
        QCOMPARE(window.messages(), (QStringList{noReaderMessage, noReaderMessage}));
        QVERIFY(window.editing().reader.isEmpty());
        QCOMPARE(window.mainWindow.deviceRoot(), QString());
    }

    // After the message the page offers to load again, by its button or F5, once the reader is
    // attached; a page holding changes asks first.
    void thePageLoadsAgainOnRequest()
    {
        const FixtureReader reader;
        Window window(nullptr);
        window.pickTab(1);
        QWidget *reload = window.page().button("eReloadbutton");
        QVERIFY(reload->isVisible());
        QCOMPARE(reload->toolTip(), QString("Загрузить библиотеку с устройства заново (F5)"));

        window.attach(reader);
        QTest::mouseClick(reload, Qt::LeftButton);
        QCOMPARE(window.editing().books.rowCount(), 4);
        QVERIFY(!reload->isVisible());
        QCOMPARE(window.messages(), QStringList{noReaderMessage});

        // F5 with a change: No keeps the page, Yes loads the reader's library as it is.
        window.dialogs.inputAnswers << "Новое имя";
        window.mainWindow.renameCollectionOn(window.page(), 0);
        window.dialogs.shown.clear();
        window.dialogs.confirmAnswers << false << true;
        QVERIFY(QTest::qWaitForWindowActive(&window.mainWindow));
        QTest::keyClick(&window.mainWindow, Qt::Key_F5);
        QCOMPARE(window.editing().collections.row(0).name, QString("Новое имя"));
        QTest::keyClick(&window.mainWindow, Qt::Key_F5);
        QCOMPARE(window.editing().collections.row(0).name, QString("Фантастика"));
        QCOMPARE(window.dialogs.shown.size(), 2);
        QCOMPARE(window.dialogs.shown.first().caption, QString("Подтверждение загрузки"));

        // Unchanged, and on the creation page, F5 asks nothing and leaves the pages as they are.
        QTest::keyClick(&window.mainWindow, Qt::Key_F5);
        QCOMPARE(window.dialogs.shown.size(), 2);
        window.pickTab(0);
        window.dialogs.shown.clear();
        QTest::keyClick(&window.mainWindow, Qt::Key_F5);
        QVERIFY(window.dialogs.shown.isEmpty());
        QCOMPARE(window.editing().books.rowCount(), 0);
    }

    void aReaderWithoutCollectionsSaysWhereItsBooksGo()
    {
        const FixtureReader reader;
        reader.runSql("delete from collection");
        Window window(&reader);
        window.pickTab(1);
        QCOMPARE(window.messages(), QStringList{defaultCollectionMessage});
        QCOMPARE(window.editing().books.rowCount(), 4);
        QVERIFY(window.page().pathPanel()->isVisible());
        QVERIFY(!window.page().collectionPanel()->isVisible());
        QVERIFY(window.page().control("eSynchronizebutton")->isVisible());
    }

    void aDatabaseErrorLeavesThePageEmpty()
    {
        const FixtureReader reader;
        reader.runSql("drop table books");
        Window window(&reader);
        window.pickTab(1);
        QCOMPARE(window.messages(), QStringList{"В базе данных устройства нет библиотеки книг:\r\n" +
                                                QDir::toNativeSeparators(reader.databasePath())});
        QCOMPARE(window.editing().books.rowCount(), 0);
        QCOMPARE(window.editing().collections.rowCount(), 0);
        QVERIFY(window.editing().reader.isEmpty());
        QVERIFY(!window.editing().books.hasHeader());
    }

    void aLargeLibraryLoadsBehindTheProgressWindow()
    {
        const FixtureReader reader;
        reader.runSql("create table padding (data blob); insert into padding values (zeroblob(" +
                      QString::number(LargeReaderDatabaseBytes) + "))");
        Window window(&reader);
        bool switchRefused = false;
        // While the library is read, the page cannot be switched away under it.
        window.progress.onEvents = [&] {
            window.dialogs.confirmAnswers.enqueue(true);
            switchRefused = !window.mainWindow.confirmPageSwitch(0);
        };
        window.pickTab(1);
        QVERIFY(switchRefused);
        QCOMPARE(window.progress.states().first(), QString("max main 100"));
        QVERIFY(window.progress.states().contains("caption main Загружаю библиотеку с устройства..."));
        QCOMPARE(window.progress.states().last(), QString("hide"));
        QCOMPARE(window.editing().books.rowCount(), 4);
    }

    void aFailureHidesTheProgressWindow()
    {
        const FixtureReader reader;
        reader.runSql("create table padding (data blob); insert into padding values (zeroblob(" +
                      QString::number(LargeReaderDatabaseBytes) + ")); drop table books");
        Window window(&reader);
        window.pickTab(1);
        QVERIFY(window.progress.states().contains("show"));
        QVERIFY(!window.progress.visible);
        QCOMPARE(window.messages().size(), 1);
        QCOMPARE(window.editing().books.rowCount(), 0);
    }

    void theFileListIgnoresDeleteOnTheLoadedPage()
    {
        const FixtureReader reader;
        Window window(&reader);
        window.pickTab(1);
        GridView *files = window.page().pathList();
        files->selectOnlyRow(0);
        QTest::keyClick(files, Qt::Key_Delete);
        QCOMPARE(window.editing().books.rowCount(), 4);
        QCOMPARE(window.dialogs.shown.size(), 1); // the mode-switch question alone
    }
};

QTEST_MAIN(TestEditingPageLoad)
#include "test_editing_page_load.moc"
