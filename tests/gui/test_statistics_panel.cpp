#include "support/window_under_test.h"

#include <QLabel>
#include <QTest>

class TestStatisticsPanel : public QObject
{
    Q_OBJECT
private slots:
    // Gigabytes of books give long values; whatever the font, they stay readable inside the column.
    void largeValuesStayInsideTheColumn()
    {
        WindowUnderTest window;
        MainWindow &mainWindow = window.mainWindow;
        QVector<BookRow> books(12000);
        for (int i = 0; i < books.size(); ++i) {
            books[i].full_path = QStringLiteral("/b/%1.fb2").arg(i);
            books[i].collection = QStringLiteral("Все");
            books[i].file_size = QStringLiteral("123456789");
        }
        mainWindow.creation().books.appendRows(books);
        mainWindow.creation().collections.appendRows({{QStringLiteral("Все"), QStringLiteral("12000"), {}}});
        mainWindow.refreshStatistics(*mainWindow.creatorpage());

        auto *captions = mainWindow.findChild<QLabel *>(QStringLiteral("statisticlabel"));
        auto *values = mainWindow.findChild<QLabel *>(QStringLiteral("statisctilabelvalue"));
        QVERIFY(values->text().contains(QStringLiteral("1412850 МБ")));
        QVERIFY(captions->geometry().right() < values->x());
        QVERIFY2(values->x() + values->sizeHint().width() <= values->parentWidget()->width(),
                 qPrintable(QStringLiteral("values end at %1").arg(values->x() + values->sizeHint().width())));
        QCOMPARE(values->y(), captions->y());
    }
};

QTEST_MAIN(TestStatisticsPanel)
#include "test_statistics_panel.moc"
