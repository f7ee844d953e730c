#include "app/qt_dialogs.h"
#include "app/splash_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTest>

class TestSplashForm : public QObject
{
    Q_OBJECT
private slots:
    void windowHasItsPartsInPlace()
    {
        TSplashForm splash;
        QVERIFY(!splash.isVisible());
        QCOMPARE(splash.size(), QSize(400, 400));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(splash.windowModality(), Qt::NonModal);
        QCOMPARE(splash.palette().color(QPalette::Window), QColor(Qt::white));

        auto *picture = splash.findChild<QLabel *>("picture");
        QVERIFY(picture);
        QCOMPARE(picture->geometry(), QRect(0, 0, 400, 316));
        QCOMPARE(picture->pixmap().size(), QSize(400, 316));

        auto *wait = splash.findChild<QLabel *>("waitlabel");
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
        } parts[] = {{splash.loadertext(), "loadertext", {0, 316, 400, 25}},
                     {splash.loader(), "loader", {0, 341, 400, 17}},
                     {splash.loadertext2(), "loadertext2", {0, 358, 400, 25}},
                     {splash.loader2(), "loader2", {0, 383, 400, 17}}};
        for (const auto &part : parts) {
            QCOMPARE(part.widget->objectName(), QString(part.name));
            QCOMPARE(part.widget->geometry(), part.geometry);
        }
        for (QLabel *caption : {splash.loadertext(), splash.loadertext2()}) {
            QCOMPARE(caption->font().pixelSize(), 16);
            QCOMPARE(caption->alignment(), Qt::AlignCenter);
        }
        for (QProgressBar *bar : {splash.loader(), splash.loader2()}) {
            QCOMPARE(bar->minimum(), 0);
            QCOMPARE(bar->maximum(), 10000);
            QVERIFY(!bar->isTextVisible());
        }
    }

    void protocolDrivesTheRealWindow()
    {
        TSplashForm splash;
        ProgressSteps::open(splash, 30, "Идет загрузка файлов...");
        QVERIFY(splash.isVisible());
        QCOMPARE(splash.loader()->maximum(), 30);
        QCOMPARE(splash.loader()->value(), 5);
        QCOMPARE(splash.loadertext()->text(), QString("Идет загрузка файлов..."));
        QCOMPARE(splash.loader2()->value(), 0);
        QVERIFY(splash.loadertext2()->text().isEmpty());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(splash.frameGeometry().center(), screen.center());

        ProgressSteps::phase(splash, 15, "Получаю размер файлов...", Progress::Repaint::Window);
        ProgressSteps::beginItems(splash, 7, true);
        for (int i = 1; i <= 7; ++i)
            ProgressSteps::item(splash, "Книга №", i, 7);
        QCOMPARE(splash.loader2()->maximum(), 7);
        QCOMPARE(splash.loader2()->value(), 7);
        QCOMPARE(splash.loadertext2()->text(), QString("Книга №7 из 7"));

        // A position without a caption keeps the caption shown before.
        ProgressSteps::phase(splash, 30, QString(), Progress::Repaint::MainCaption);
        QCOMPARE(splash.loadertext()->text(), QString("Получаю размер файлов..."));
        ProgressSteps::close(splash, 30);
        QCOMPARE(splash.loader()->value(), 30);
        QVERIFY(!splash.isVisible());
    }

    void barsClampPositionsToTheirRange()
    {
        TSplashForm splash;
        splash.setMaximum(Progress::Bar::Item, 3);
        splash.setPosition(Progress::Bar::Item, 50);
        QCOMPARE(splash.loader2()->value(), 3);
        splash.setPosition(Progress::Bar::Item, -4);
        QCOMPARE(splash.loader2()->value(), 0);
        splash.setMaximum(Progress::Bar::Item, 0);
        splash.setPosition(Progress::Bar::Item, 1);
        QCOMPARE(splash.loader2()->value(), 0);
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

QTEST_MAIN(TestSplashForm)
#include "test_splash_form.moc"
