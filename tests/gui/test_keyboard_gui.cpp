#include "app/library_page_widget.h"
#include "support/window_under_test.h"
#include "widgets/grid_view.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QTest>

namespace {
// The window with both pages holding a book in a collection, so that every step shows.
struct Window : WindowUnderTest
{
    Window()
    {
        for (LibraryPage *page : {&mainWindow.creation(), &mainWindow.editing()}) {
            page->books.appendRows({BookRow{.full_path = "/a.fb2", .collection = "Фантастика", .title = "Книга"}});
            page->collections.appendRows({{"Фантастика", "1", {}}});
        }
        mainWindow.refreshStatistics(*mainWindow.creatorpage());
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
    }
    QString focused() const { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : ""; }
    QString lastDialog() const
    {
        return dialogs.shown.isEmpty() ? "" : dialogs.shown.last().kind + ' ' + dialogs.shown.last().caption;
    }
};
} // namespace

class TestKeyboardGui : public QObject
{
    Q_OBJECT
private slots:
    // Tab walks the numbered steps in order, then the lists.
    void tabFollowsTheSteps()
    {
        Window window;
        window.mainWindow.showCollectionBooksOn(*window.mainWindow.creatorpage(), 0);
        window.mainWindow.creatorpage()->button("AddFileButton")->setFocus(Qt::TabFocusReason);
        QStringList order{window.focused()};
        for (int step = 0; step < 8; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << window.focused();
        }
        QCOMPARE(order,
                 (QStringList{"AddFileButton", "AddDirButton", "addcollectionbutton", "autocollectionbutton",
                              "autocollectionsource", "Synchronizebutton", "PathList", "CollectionList", "BookList"}));
    }

    // A focused button is pressed by Enter and by Space, and shows its focus.
    void enterAndSpacePressAFocusedButton()
    {
        Window window;
        QAbstractButton *button = window.mainWindow.creatorpage()->button("AddFileButton");
        const QImage unfocused = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        QVERIFY(button->grab().toImage() != unfocused);
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(window.dialogs.shown.size(), 2);
        QCOMPARE(window.dialogs.shown.at(0).kind, QString("openFile"));
        QCOMPARE(window.dialogs.shown.at(1).kind, QString("openFile"));
    }

    // The arrow beside the automatic button shows its focus too, and Enter or Space opens its menu.
    void keysOpenTheFocusedSourceMenu_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void keysOpenTheFocusedSourceMenu()
    {
        QFETCH(int, key);
        Window window;
        auto *arrow = window.mainWindow.creatorpage()->findChild<QToolButton *>("autocollectionsource");
        QVERIFY(arrow);
        const QImage unfocused = arrow->grab().toImage();
        arrow->setFocus(Qt::TabFocusReason);
        QVERIFY(arrow->grab().toImage() != unfocused);
        QWidget *opened = nullptr;
        QTimer::singleShot(0, [&] {
            opened = QApplication::activePopupWidget();
            if (opened)
                opened->close();
        });
        QTest::keyClick(arrow, Qt::Key(key));
        QCOMPARE(opened, arrow->menu());
    }

    void shortcutsPressTheButtons_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("add a file") << 0 << QKeySequence("Ctrl+O") << "AddFileButton"
                                    << "openFile ";
        QTest::newRow("add a folder") << 0 << QKeySequence("Ctrl+Shift+O") << "AddDirButton"
                                      << "browseForFolder Укажите папку с книгами";
        QTest::newRow("add a collection") << 0 << QKeySequence("Ctrl+N") << "addcollectionbutton"
                                          << "input Добавление коллекции";
        QTest::newRow("synchronise") << 0 << QKeySequence("Ctrl+S") << "Synchronizebutton"
                                     << "message ";
        QTest::newRow("editing: add a collection") << 1 << QKeySequence("Ctrl+N") << "SpeedButton3"
                                                   << "input Добавление коллекции";
        QTest::newRow("editing: synchronise") << 1 << QKeySequence("Ctrl+S") << "eSynchronizebutton"
                                              << "message ";
    }

    void shortcutsPressTheButtons()
    {
        QFETCH(int, page);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, button);
        QFETCH(QString, dialog);
        Window window;
        if (page == 1) {
            window.dialogs.confirmAnswers << true;
            window.mainWindow.pager()->setCurrentIndex(1);
            window.dialogs.shown.clear();
        }
        LibraryPageWidget *widget = page == 0 ? window.mainWindow.creatorpage() : window.mainWindow.editorpage();
        QVERIFY(widget->button(button)->toolTip().endsWith(" (" + keys.toString(QKeySequence::NativeText) + ")"));
        QTest::keySequence(&window.mainWindow, keys);
        // A shortcut presses its button as a click does, shown pressed for a moment.
        QTRY_COMPARE(window.lastDialog(), dialog);
    }

    // F2 renames in the lists where a double click does.
    void f2Renames()
    {
        Window window;
        LibraryPageWidget *page = window.mainWindow.creatorpage();
        window.mainWindow.showCollectionBooksOn(*page, 0);
        for (GridView *grid : {page->collectionList(), page->bookList()}) {
            grid->setFocus();
            grid->setCurrentIndex(grid->model()->index(0, 1));
            QTest::keyClick(grid, Qt::Key_F2);
        }
        QCOMPARE(window.dialogs.shown.size(), 2);
        QCOMPARE(window.dialogs.shown.at(0).caption, QString("Изменение названия коллекции"));
        QCOMPARE(window.dialogs.shown.at(1).caption, QString("Изменение названия книги"));
    }
};

QTEST_MAIN(TestKeyboardGui)
#include "test_keyboard_gui.moc"
