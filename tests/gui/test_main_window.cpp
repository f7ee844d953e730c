#include "app/library_page_widget.h"
#include "app/page_layout.h"
#include "support/window_under_test.h"
#include "widgets/grid_view.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

namespace {
const QString helpStart = "Названия коллекций и книг можно \r\nменять двойным кликом мыши.\r\n\r\nКниги можно "
                          "перетаскивать:\r\n- из списка файлов в коллекцию;\r\n- из списка файлов в список книг;\r\n- "
                          "из списка книг в коллекцию.\r\n\r\nКоллекции можно перетаскивать,\r\nобъединяя несколько в "
                          "одну.\r\n\r\n";
const QString emptyStatistics = "0 шт.\n0 шт.\n0 шт.\n0 МБ 0 КБ\n0 МБ 0 КБ";

QString asShown(QString text)
{
    return text.replace("\r\n", "\n");
}

struct Window : WindowUnderTest
{

    QWidget *named(const QString &name) const
    {
        QWidget *widget = mainWindow.findChild<QWidget *>(name);
        if (!widget)
            qWarning("no widget named %s", qPrintable(name));
        return widget;
    }
    // Shown on its page: the page may be behind the other one.
    bool shown(const QString &name) const
    {
        QWidget *widget = named(name);
        return widget && widget->isVisibleTo(widget->window()->findChild<QWidget *>(
                             mainWindow.creatorpage()->isAncestorOf(widget) ? "creatorpage" : "editorpage"));
    }
    void fillBothPages()
    {
        for (LibraryPage *page : {&mainWindow.creation(), &mainWindow.editing()}) {
            BookRow book;
            book.full_path = "/home/u/Books/a.fb2";
            book.collection = "Фантастика";
            book.file_size = "2048";
            page->books.appendRows({book});
            page->books.setHeaderTexts({"Полный путь к файлу", "Коллекция"});
            page->collections.appendRows({{"Фантастика", "1", {}}});
            page->collections.setHeaderTexts({"#", "Название коллекции", "Книг в коллекции"});
            page->shownBooks.showBookRows({0});
            page->shownBooks.shown_collection_row = 0;
        }
    }
    void pickTab(int index)
    {
        QTabBar *tabs = mainWindow.pager()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
};

void addControlRow(const char *page, const char *name, int left, int top, const QString &text)
{
    QTest::addRow("%s %s", page, name) << QString(page) << QString(name) << QPoint(left, top) << text;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void windowHasItsTitleTabsAndSizes()
    {
        Window window;
        QCOMPARE(window.mainWindow.windowTitle(), QString("Tessaly"));
        QVERIFY(window.mainWindow.windowState() & Qt::WindowMaximized);
        // 800 x 600, unless the screen is smaller (the test platform's is 800 x 600 itself).
        const QSize screen = window.mainWindow.screen()->availableSize();
        QCOMPARE(window.mainWindow.minimumSize().boundedTo(QSize(800, 600)), window.mainWindow.minimumSize());
        if (screen.width() > 900 && screen.height() > 700)
            QCOMPARE(window.mainWindow.minimumSize(), QSize(800, 600));
        QCOMPARE(window.mainWindow.font().pixelSize(), 11);
        QVERIFY(window.mainWindow.acceptDrops());
        QVERIFY(window.mainWindow.deviceRoot().isEmpty());

        PageControl *pager = window.mainWindow.pager();
        QCOMPARE(pager->objectName(), QString("pager"));
        QCOMPARE(window.mainWindow.centralWidget(), pager);
        QCOMPARE(pager->count(), 2);
        QCOMPARE(pager->tabText(0), QString("Создание коллекций и загрузка книг"));
        QCOMPARE(pager->tabText(1), QString("Редактирование существующих коллекций"));
        QCOMPARE(pager->currentIndex(), 0);
        QCOMPARE(pager->page(0)->objectName(), QString("creatorpage"));
        QCOMPARE(pager->page(1)->objectName(), QString("editorpage"));
        QVERIFY(window.progress.calls.isEmpty());
    }

    void regionsAndGridsCarryTheirNames()
    {
        Window window;
        const QStringList regions{"infopanel",  "pathpanel",  "collectionpanel",  "bookpanel",
                                  "einfopanel", "epathpanel", "ecollectionpanel", "ebookpanel"};
        for (const QString &name : regions)
            QVERIFY2(window.named(name), qPrintable(name));
        QCOMPARE(window.named("infopanel")->width(), 257);
        QCOMPARE(window.named("einfopanel")->width(), 257);

        const struct
        {
            const char *grid;
            const char *panel;
            const char *caption;
        } grids[] = {{"PathList", "pathpanel", "Список файлов"},
                     {"CollectionList", "collectionpanel", "Список коллекций"},
                     {"BookList", "bookpanel", "Список книг"},
                     {"epathlist", "epathpanel", "Список файлов"},
                     {"ecollectionlist", "ecollectionpanel", "Список коллекций"},
                     {"ebooklist", "ebookpanel", "Список книг"}};
        for (const auto &grid : grids) {
            auto *view = window.mainWindow.findChild<GridView *>(grid.grid);
            QVERIFY2(view, grid.grid);
            QCOMPARE(view->parentWidget()->objectName(), QString(grid.panel));
            const QList<QLabel *> strips = view->parentWidget()->findChildren<QLabel *>();
            QCOMPARE(strips.size(), 1);
            QCOMPARE(strips.first()->text(), QString(grid.caption));
            QCOMPARE(strips.first()->height(), 18);
            QVERIFY(strips.first()->font().bold());
            QCOMPARE(strips.first()->alignment(), Qt::AlignCenter);
        }
        QVERIFY(window.mainWindow.findChild<GridView *>("PathList")->headerSorting());
        QVERIFY(window.mainWindow.findChild<GridView *>("epathlist")->headerSorting());
        QVERIFY(!window.mainWindow.findChild<GridView *>("CollectionList")->headerSorting());
        QVERIFY(!window.mainWindow.findChild<GridView *>("ebooklist")->headerSorting());
        QCOMPARE(window.mainWindow.findChild<GridView *>("PathList")->model(), &window.mainWindow.creation().books);
        QCOMPARE(window.mainWindow.findChild<GridView *>("ecollectionlist")->model(),
                 &window.mainWindow.editing().collections);
    }

    void leftColumnLabels_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QString>("text");
        addControlRow("creatorpage", "label1_1", 6, 12, "1.");
        addControlRow("creatorpage", "label1_2", 24, 16, "Добавьте книги\r\n(можно перетаскиванием):");
        addControlRow("creatorpage", "label2_1", 6, 91, "2.");
        addControlRow("creatorpage", "label2_2", 24, 96, "Создайте коллекции\r\n(вручную или автоматически):");
        addControlRow("creatorpage", "label2_3", 24, 176,
                      helpStart + "Книги, коллекции и файлы из списка \r\nможно удалять клавишей Delete.");
        addControlRow("creatorpage", "label3_1", 6, 355, "3.");
        addControlRow("creatorpage", "label3_2", 24, 360, "Синхронизируйте файлы и \r\nколлекции с устройством:");
        addControlRow("editorpage", "Label10", 6, 11, "1.");
        addControlRow("editorpage", "Label3", 24, 16,
                      "Редактируйте или создавайте\r\nколлекции\r\n(вручную или автоматически):");
        addControlRow("editorpage", "Label8", 24, 112,
                      helpStart +
                          "Книги и коллекции из списков \r\nможно удалять клавишей Delete\r\n(физически файлы не "
                          "будут удалены)");
        addControlRow("editorpage", "Label4", 6, 307, "2.");
        addControlRow("editorpage", "Label11", 24, 312,
                      "Синхронизируйте названия книг и \r\nколлекциий с устройством:");
    }

    void leftColumnLabels()
    {
        QFETCH(QString, page);
        QFETCH(QString, name);
        QFETCH(QPoint, position);
        QFETCH(QString, text);
        Window window;
        auto *label = window.mainWindow.findChild<QWidget *>(page)->findChild<QLabel *>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), asShown(text));
        QCOMPARE(label->pos(), position);
        QCOMPARE(label->parentWidget()->objectName(), page == "creatorpage" ? QString("infopanel") : "einfopanel");
        if (text.endsWith('.') && text.size() == 2) {
            QVERIFY(label->font().bold());
            QCOMPARE(label->font().pixelSize(), 16);
        } else if (name.endsWith("_3") || name == "Label8") {
            QVERIFY(label->font().italic());
        } else {
            QVERIFY(label->font().bold());
        }
    }

    void leftColumnButtons_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("size");
        const auto row = [](const char *page, const char *name, int left, int top, const QString &hint, int size) {
            QTest::addRow("%s %s", page, name) << QString(page) << QString(name) << QPoint(left, top) << hint << size;
        };
        const QString autoHint = "Создать коллекции автоматически на основе папок в списке файлов";
        // Each hint names the button's shortcut.
        row("creatorpage", "AddFileButton", 24, 48, "Добавить файл (Ctrl+O)", 36);
        row("creatorpage", "AddDirButton", 72, 48, "Добавить папку (Ctrl+Shift+O)", 36);
        row("creatorpage", "addcollectionbutton", 24, 128, "Добавить коллекцию (Ctrl+N)", 36);
        row("creatorpage", "autocollectionbutton", 72, 128, autoHint + " (Ctrl+Shift+N)", 36);
        row("creatorpage", "Synchronizebutton", 24, 392, "Синхронизация с читалкой (Ctrl+S)", 50);
        row("editorpage", "SpeedButton3", 24, 64, "Добавить коллекцию (Ctrl+N)", 36);
        row("editorpage", "SpeedButton4", 72, 64, autoHint + " (Ctrl+Shift+N)", 36);
        row("editorpage", "eReloadbutton", 128, 64, "Загрузить библиотеку с устройства заново (F5)", 36);
        row("editorpage", "eSynchronizebutton", 24, 344, "Синхронизация с читалкой (Ctrl+S)", 50);
    }

    void leftColumnButtons()
    {
        QFETCH(QString, page);
        QFETCH(QString, name);
        QFETCH(QPoint, position);
        QFETCH(QString, hint);
        QFETCH(int, size);
        Window window;
        auto *button = window.mainWindow.findChild<QWidget *>(page)->findChild<QToolButton *>(name);
        QVERIFY(button);
        QCOMPARE(button->toolTip(), hint);
        QCOMPARE(button->pos(), position);
        QCOMPARE(button->size(), QSize(size, size));
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(button->autoRaise());
        QVERIFY(!button->icon().isNull());
    }

    void statisticsLabelsStayAtTheBottomOfTheColumn()
    {
        Window window;
        window.mainWindow.setWindowState(Qt::WindowNoState);
        window.mainWindow.resize(1000, 760);
        window.mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window.mainWindow));
        for (const auto &[info, captions, values] : {std::tuple{"infopanel", "statisticlabel", "statisctilabelvalue"},
                                                     std::tuple{"einfopanel", "Label12", "Label13"}}) {
            QWidget *column = window.named(info);
            auto *captionLabel = column->findChild<QLabel *>(captions);
            auto *valueLabel = column->findChild<QLabel *>(values);
            QVERIFY(captionLabel && valueLabel);
            QCOMPARE(column->height(), window.mainWindow.creatorpage()->height());
            QCOMPARE(captionLabel->text(), QString("Общее количество книг:\nКоличество коллекций:\nКниг в "
                                                   "коллекциях:\nОбъем книг в коллекциях:\nОбъем превьюшек:"));
            QCOMPARE(captionLabel->x(), 24);
            QCOMPARE(column->height() - captionLabel->y(), 573 - 496);
            QCOMPARE(valueLabel->y(), captionLabel->y());
            QVERIFY(valueLabel->x() >= 178);
            QVERIFY2(valueLabel->x() > captionLabel->geometry().right(), "values never overlap their captions");
            QCOMPARE(valueLabel->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
        }
    }

    void startShowsOnlyStepOneOfTheCreationPage()
    {
        Window window;
        for (const char *name : {"label1_1", "label1_2", "AddFileButton", "AddDirButton", "statisticlabel"})
            QVERIFY2(window.shown(name), name);
        for (const char *name :
             {"label2_1", "label2_2", "label2_3", "addcollectionbutton", "autocollectionbutton", "autocollectionsource",
              "label3_1", "label3_2", "Synchronizebutton", "pathpanel", "collectionpanel", "bookpanel"})
            QVERIFY2(!window.shown(name), name);
        QCOMPARE(window.mainWindow.findChild<QLabel *>("statisctilabelvalue")->text(), emptyStatistics);
        QCOMPARE(window.mainWindow.totalSize(), 0);
    }

    void statisticsShowWhatTheListsHold()
    {
        Window window;
        window.fillBothPages();
        window.mainWindow.refreshStatistics(*window.mainWindow.creatorpage());
        for (const char *name : {"pathpanel", "collectionpanel", "bookpanel", "label2_1", "label2_3",
                                 "autocollectionbutton", "label3_2", "Synchronizebutton"})
            QVERIFY2(window.shown(name), name);
        QCOMPARE(window.mainWindow.findChild<QLabel *>("statisctilabelvalue")->text(),
                 QString("1 шт.\n1 шт.\n1 шт.\n0 МБ 2 КБ\n0 МБ 200 КБ"));
        QCOMPARE(window.mainWindow.totalSize(), 2048);
        QVERIFY(window.dialogs.shown.isEmpty());

        // The editing page with no collection: its panels go, its steps stay, and it says so.
        window.mainWindow.editing().collections.clear();
        window.mainWindow.refreshStatistics(*window.mainWindow.editorpage());
        QVERIFY(window.shown("epathpanel"));
        QVERIFY(!window.shown("ecollectionpanel"));
        QVERIFY(!window.shown("ebookpanel"));
        for (const char *name :
             {"Label10", "Label3", "Label8", "SpeedButton3", "SpeedButton4", "Label4", "Label11", "eSynchronizebutton"})
            QVERIFY2(window.shown(name), name);
        QCOMPARE(window.dialogs.messages(),
                 QStringList("Книги без коллекции устройство автоматически \r\nдобавляет в Коллекцию по умолчанию!"));
        QCOMPARE(window.mainWindow.findChild<QLabel *>("Label13")->text(),
                 QString("1 шт.\n0 шт.\n1 шт.\n0 МБ 2 КБ\n0 МБ 200 КБ"));
    }

    void panelLayout_data()
    {
        QTest::addColumn<QSize>("page");
        QTest::addColumn<QRect>("path");
        QTest::addColumn<QRect>("collections");
        QTest::addColumn<QRect>("books");
        // An odd free width (537) leaves the lower panels one pixel short of the right edge.
        QTest::newRow("odd free width") << QSize(796, 551) << QRect(259, 2, 537, 225) << QRect(259, 229, 318, 322)
                                        << QRect(579, 229, 216, 322);
        QTest::newRow("even free width") << QSize(797, 551) << QRect(259, 2, 538, 225) << QRect(259, 229, 319, 322)
                                         << QRect(580, 229, 217, 322);
        QTest::newRow("odd height") << QSize(1400, 801) << QRect(259, 2, 1141, 350) << QRect(259, 354, 620, 447)
                                    << QRect(881, 354, 518, 447);
    }

    void panelLayout()
    {
        QFETCH(QSize, page);
        QFETCH(QRect, path);
        QFETCH(QRect, collections);
        QFETCH(QRect, books);
        const PanelLayout layout = ::panelLayout(page.width(), page.height(), 257 + 2);
        QCOMPARE(layout.pathPanel, path);
        QCOMPARE(layout.collectionPanel, collections);
        QCOMPARE(layout.bookPanel, books);
    }

    void resizingPlacesThePanelsOfBothPages_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("minimum") << QSize(800, 600);
        QTest::newRow("odd width") << QSize(1001, 700);
        QTest::newRow("even width") << QSize(1002, 701);
    }

    void resizingPlacesThePanelsOfBothPages()
    {
        QFETCH(QSize, size);
        Window window;
        window.mainWindow.setWindowState(Qt::WindowNoState);
        window.mainWindow.resize(size);
        window.mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window.mainWindow));
        QTRY_COMPARE(window.mainWindow.size(), size);

        const QWidget *page = window.mainWindow.creatorpage();
        const int width = page->width();
        const int height = page->height();
        const PanelLayout expected = ::panelLayout(width, height, 259);
        QCOMPARE(window.named("pathpanel")->geometry(), expected.pathPanel);
        QCOMPARE(window.named("collectionpanel")->geometry(), expected.collectionPanel);
        QCOMPARE(window.named("bookpanel")->geometry(), expected.bookPanel);
        QCOMPARE(window.named("epathpanel")->geometry(), expected.pathPanel);
        QCOMPARE(window.named("ecollectionpanel")->geometry(), expected.collectionPanel);
        QCOMPARE(window.named("ebookpanel")->geometry(), expected.bookPanel);

        const QRect collections = window.named("collectionpanel")->geometry();
        const QRect books = window.named("bookpanel")->geometry();
        QCOMPARE(books.left(), collections.right() + 1 + 2);
        QCOMPARE(books.top(), collections.top());
        QCOMPARE(books.right() + 1, (width - 259) % 2 ? width - 1 : width);
        QCOMPARE(collections.bottom() + 1, height);
        QCOMPARE(window.named("infopanel")->height(), height);
    }

    // At a large scale on a small screen the window asks for no more than the screen has, and
    // a page too short for its left column scrolls it, the lists beside the scroll bar.
    void aSmallScreenBoundsTheWindow()
    {
        QCOMPARE(minimumWindowSize(QSize(1600, 1000), QSize(10, 40)), QSize(800, 600));
        QCOMPARE(minimumWindowSize(QSize(800, 470), QSize(10, 40)), QSize(790, 430));

        Window window;
        window.mainWindow.setWindowState(Qt::WindowNoState);
        window.mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window.mainWindow));
        window.mainWindow.setMinimumSize(0, 0);
        window.mainWindow.resize(800, 420);
        LibraryPageWidget *page = window.mainWindow.creatorpage();
        QVERIFY(page->height() < 420);
        QVERIFY(page->infoColumn()->width() > 257);
        QCOMPARE(window.named("pathpanel")->x(), page->infoColumn()->width() + 2);
        QWidget *sync = window.named("Synchronizebutton");
        QVERIFY(window.named("statisticlabel")->y() > sync->y() + sync->height());
    }

    void answeringNoKeepsEverything()
    {
        Window window;
        window.fillBothPages();
        window.dialogs.confirmAnswers.enqueue(false);
        window.pickTab(1);
        QCOMPARE(window.mainWindow.pager()->currentIndex(), 0);
        QCOMPARE(window.dialogs.shown.size(), 1);
        QCOMPARE(window.dialogs.shown.first().kind, QString("confirm"));
        QCOMPARE(window.dialogs.shown.first().caption, QString("Подтверждение смены режима"));
        QCOMPARE(window.dialogs.shown.first().text,
                 QString("При переключении режима, все внесенные изменения \r\nв текущем режиме будут отменены! "
                         "Продолжить?"));
        for (LibraryPage *page : {&window.mainWindow.creation(), &window.mainWindow.editing()}) {
            QCOMPARE(page->books.rowCount(), 1);
            QCOMPARE(page->collections.rowCount(), 1);
            QCOMPARE(page->shownBooks.rowCount(), 1);
            QCOMPARE(page->shownBooks.shown_collection_row, 0);
            QVERIFY(page->books.hasHeader());
        }
    }

    void answeringYesEmptiesTheSixGridsInOrder()
    {
        Window window;
        window.fillBothPages();
        window.mainWindow.refreshStatistics(*window.mainWindow.creatorpage());
        QStringList emptied;
        QString creationValuesWhenEditingEmptied;
        auto *values = window.mainWindow.findChild<QLabel *>("statisctilabelvalue");
        const auto watch = [&](QAbstractItemModel *model, const QString &name) {
            connect(model, &QAbstractItemModel::modelReset, this, [&, name] {
                emptied << name;
                if (name == "epathlist")
                    creationValuesWhenEditingEmptied = values->text();
            });
        };
        LibraryPage &creation = window.mainWindow.creation();
        LibraryPage &editing = window.mainWindow.editing();
        watch(&creation.books, "PathList");
        watch(&creation.shownBooks, "BookList");
        watch(&creation.collections, "CollectionList");
        watch(&editing.books, "epathlist");
        watch(&editing.shownBooks, "ebooklist");
        watch(&editing.collections, "ecollectionlist");

        window.pickTab(1);
        QCOMPARE(window.mainWindow.pager()->currentIndex(), 1);
        // The book list shows rows of the file list, so it is emptied with it.
        QCOMPARE(emptied,
                 QStringList({"BookList", "PathList", "CollectionList", "ebooklist", "epathlist", "ecollectionlist"}));
        QCOMPARE(creationValuesWhenEditingEmptied, emptyStatistics);
        for (LibraryPage *page : {&creation, &editing}) {
            QCOMPARE(page->books.rowCount(), 0);
            QCOMPARE(page->collections.rowCount(), 0);
            QCOMPARE(page->shownBooks.rowCount(), 0);
            QCOMPARE(page->shownBooks.shown_collection_row, -1);
            QVERIFY(!page->books.hasHeader());
            QVERIFY(!page->collections.hasHeader());
        }
        QVERIFY(!window.shown("pathpanel"));
        QVERIFY(!window.shown("Synchronizebutton"));
        QCOMPARE(window.mainWindow.totalSize(), 0);

        // The question comes on the way back too, whether or not anything changed. (Arriving
        // at the editing page looked for a reader, found none and said so.)
        window.pickTab(0);
        QCOMPARE(window.mainWindow.pager()->currentIndex(), 0);
        QCOMPARE(window.dialogs.shown.size(), 3);
        QCOMPARE(window.dialogs.shown.at(1).kind, QString("message"));
        QCOMPARE(window.dialogs.shown.last().caption, QString("Подтверждение смены режима"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
