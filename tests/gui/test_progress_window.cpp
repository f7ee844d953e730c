#include "app/progress_window.h"
#include "app/qt_dialogs.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTest>

class TestProgressWindow : public QObject
{
    Q_OBJECT
private slots:
    void windowHasItsPartsInPlace()
    {
        ProgressWindow window;
        QVERIFY(!window.isVisible());
        QCOMPARE(window.size(), QSize(400, 400));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(window.windowModality(), Qt::NonModal);
        QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::white));

        auto *picture = window.findChild<QLabel *>("picture");
        QVERIFY(picture);
        QCOMPARE(picture->geometry(), QRect(0, 0, 400, 316));
        QCOMPARE(picture->pixmap().size(), QSize(400, 316));

        auto *wait = window.findChild<QLabel *>("waitlabel");
        QVERIFY(wait);
        QCOMPARE(wait->text(), QString("Пожалуйста, ожидайте"));
        QCOMPARE(wait->geometry(), QRect(16, 19, 369, 73));
        QVERIFY(!wait->autoFillBackground());
        QVERIFY(wait->fontMetrics().horizontalAdvance(wait->text()) <= wait->width());

        const struct
        {
            QWidget *widget;
            const char *name;
            QRect geometry;
        } parts[] = {{window.loadertext(), "loadertext", {0, 316, 400, 25}},
                     {window.loader(), "loader", {0, 341, 400, 17}},
                     {window.loadertext2(), "loadertext2", {0, 358, 400, 25}},
                     {window.loader2(), "loader2", {0, 383, 400, 17}}};
        for (const auto &part : parts) {
            QCOMPARE(part.widget->objectName(), QString(part.name));
            QCOMPARE(part.widget->geometry(), part.geometry);
        }
        for (QLabel *caption : {window.loadertext(), window.loadertext2()}) {
            QCOMPARE(caption->font().pixelSize(), 16);
            QCOMPARE(caption->alignment(), Qt::AlignCenter);
        }
        for (QProgressBar *bar : {window.loader(), window.loader2()}) {
            QCOMPARE(bar->minimum(), 0);
            QCOMPARE(bar->maximum(), 10000);
            QVERIFY(!bar->isTextVisible());
        }
    }

    void protocolDrivesTheRealWindow()
    {
        ProgressWindow window;
        ProgressSteps::open(window, 30, "Идет загрузка файлов...");
        QVERIFY(window.isVisible());
        QCOMPARE(window.loader()->maximum(), 30);
        QCOMPARE(window.loader()->value(), 5);
        QCOMPARE(window.loadertext()->text(), QString("Идет загрузка файлов..."));
        QCOMPARE(window.loader2()->value(), 0);
        QVERIFY(window.loadertext2()->text().isEmpty());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(window.frameGeometry().center(), screen.center());

        ProgressSteps::phase(window, 15, "Получаю размер файлов...", Progress::Repaint::Window);
        ProgressSteps::beginItems(window, 7, true);
        for (int i = 1; i <= 7; ++i)
            ProgressSteps::item(window, "Книга №", i, 7);
        QCOMPARE(window.loader2()->maximum(), 7);
        QCOMPARE(window.loader2()->value(), 7);
        QCOMPARE(window.loadertext2()->text(), QString("Книга №7 из 7"));

        // A position without a caption keeps the caption shown before.
        ProgressSteps::phase(window, 30, QString(), Progress::Repaint::MainCaption);
        QCOMPARE(window.loadertext()->text(), QString("Получаю размер файлов..."));
        ProgressSteps::close(window, 30);
        QCOMPARE(window.loader()->value(), 30);
        QVERIFY(!window.isVisible());
    }

    void barsClampPositionsToTheirRange()
    {
        // Refreshing at every call, so each position shows at the next turn of the event loop.
        ProgressWindow window(std::chrono::milliseconds(0));
        window.setMaximum(Progress::Bar::Item, 3);
        window.setPosition(Progress::Bar::Item, 50);
        window.processEvents();
        QCOMPARE(window.loader2()->value(), 3);
        window.setPosition(Progress::Bar::Item, -4);
        window.processEvents();
        QCOMPARE(window.loader2()->value(), 0);
        window.setMaximum(Progress::Bar::Item, 0);
        window.setPosition(Progress::Bar::Item, 1);
        window.processEvents();
        QCOMPARE(window.loader2()->value(), 0);
        window.setPosition(Progress::Bar::Main, 20000);
        QCOMPARE(window.loader()->value(), 10000);
    }

    void itemsReachTheScreenAtMostOncePerInterval()
    {
        // An interval no test outlasts: only the forced refreshes happen.
        ProgressWindow window(std::chrono::hours(1));
        int turns = 0;
        const auto countTurn = [&] {
            QMetaObject::invokeMethod(
                &window, [&] { ++turns; }, Qt::QueuedConnection);
        };
        ProgressSteps::open(window, 30, "Идет загрузка файлов...");
        ProgressSteps::phase(window, 15, "Получаю размер файлов...", Progress::Repaint::Window);
        ProgressSteps::beginItems(window, 5, true);

        // A phase is followed by one turn of the event loop at the first item.
        countTurn();
        ProgressSteps::item(window, "Книга №", 1, 5);
        QCOMPARE(turns, 1);
        QCOMPARE(window.loadertext2()->text(), QString("Книга №1 из 5"));

        // Items within the interval neither paint nor turn the event loop.
        countTurn();
        for (int i = 2; i <= 4; ++i)
            ProgressSteps::item(window, "Книга №", i, 5);
        QCOMPARE(turns, 1);
        QCOMPARE(window.loader2()->value(), 1);
        QCOMPARE(window.loadertext2()->text(), QString("Книга №1 из 5"));

        // The last item always shows, with its own caption.
        ProgressSteps::item(window, "Книга №", 5, 5);
        QCOMPARE(turns, 2);
        QCOMPARE(window.loader2()->value(), 5);
        QCOMPARE(window.loadertext2()->text(), QString("Книга №5 из 5"));

        // An item not yet shown reaches the window at the next phase and before it hides.
        ProgressSteps::phase(window, 25, "Получаю данные о книгах...", Progress::Repaint::Window);
        ProgressSteps::beginItems(window, 4, true);
        ProgressSteps::item(window, "Книга №", 1, 4);
        ProgressSteps::item(window, "Книга №", 2, 4);
        QCOMPARE(window.loadertext2()->text(), QString("Книга №1 из 4"));
        ProgressSteps::phase(window, 28, QString(), Progress::Repaint::MainCaption);
        QCOMPARE(window.loadertext2()->text(), QString("Книга №2 из 4"));
        ProgressSteps::item(window, "Книга №", 3, 4);
        ProgressSteps::close(window, 30);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.loader2()->value(), 3);
        QCOMPARE(window.loadertext2()->text(), QString("Книга №3 из 4"));
    }

    void aRepaintPaintsTheBarsAtOnceAndAPositionAloneDoesNot()
    {
        ProgressWindow window(std::chrono::hours(1));
        ProgressSteps::open(window, 100, "Загружаю библиотеку с устройства...");
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        struct PaintCount : QObject
        {
            int paints = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                paints += event->type() == QEvent::Paint;
                return false;
            }
        } loader, loader2;
        window.loader()->installEventFilter(&loader);
        window.loader2()->installEventFilter(&loader2);

        window.setPosition(Progress::Bar::Main, 40);
        QCOMPARE(loader.paints, 0);
        window.repaint(Progress::Repaint::Window);
        QCOMPARE(loader.paints, 1);
        ProgressSteps::beginItems(window, 3, false);
        ProgressSteps::item(window, "Книга №", 3, 3);
        QCOMPARE(loader2.paints, 1);
        QCOMPARE(loader.paints, 1);
    }

    void fileFilterReadsAsQtWritesIt_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qtFilter");
        QTest::newRow("book files") << "Все поддерживаемые файлы|*.pdf;*.fb2;*.txt;*.epub"
                                    << "Все поддерживаемые файлы (*.pdf *.fb2 *.txt *.epub)";
        QTest::newRow("two entries") << "Книги FB2|*.fb2|Все файлы|*.*"
                                     << "Книги FB2 (*.fb2);;Все файлы (*.*)";
    }

    void fileFilterReadsAsQtWritesIt()
    {
        QFETCH(QString, filter);
        QFETCH(QString, qtFilter);
        QCOMPARE(qtFileFilter(filter), qtFilter);
    }
};

QTEST_MAIN(TestProgressWindow)
#include "test_progress_window.moc"
