#include "sync/space_check.h"

#include <QTest>

#include <limits>

class TestSpaceCheck : public QObject
{
    Q_OBJECT
private slots:
    void booksFitTheSpace_data()
    {
        QTest::addColumn<qint64>("totalSize");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("available");
        QTest::addColumn<bool>("fits");

        const qint64 need = 5 * 1048576 + 10240 + 3 * 204800;
        QTest::newRow("exactly enough") << qint64(5 * 1048576) << qint64(3) << need << true;
        QTest::newRow("one byte short") << qint64(5 * 1048576) << qint64(3) << need - 1 << false;
        QTest::newRow("the margin alone") << qint64(0) << qint64(0) << qint64(10240) << true;
        QTest::newRow("beyond 32 bits") << qint64(6) * 1024 * 1048576 << qint64(20000)
                                        << qint64(6) * 1024 * 1048576 + 10240 + qint64(20000) * 204800 << true;
        const qint64 largest = std::numeric_limits<qint64>::max();
        QTest::newRow("a size beyond 64 bits fits nowhere") << largest - 100 << qint64(1) << largest << false;
    }

    void booksFitTheSpace()
    {
        QFETCH(qint64, totalSize);
        QFETCH(qint64, count);
        QFETCH(qint64, available);
        QTEST(booksFit(totalSize, count, available), "fits");
    }

    void messageOnTheUsersScale_data()
    {
        QTest::addColumn<qint64>("totalSize");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("available");
        QTest::addColumn<QString>("figures"); // books, previews, available

        QTest::newRow("three books of 5 MiB, 4 MiB free")
            << qint64(5 * 1048576) << qint64(3) << qint64(4 * 1048576) << "15 10 4";
        QTest::newRow("sizes round down before 10 is added")
            << qint64(2 * 1048576 - 1) << qint64(1024) << qint64(1048575) << "11 210 0";
    }

    void messageOnTheUsersScale()
    {
        QFETCH(qint64, totalSize);
        QFETCH(qint64, count);
        QFETCH(qint64, available);
        QFETCH(QString, figures);
        const QStringList values = figures.split(' ');
        QCOMPARE(notEnoughSpaceMessage(totalSize, count, available),
                 "Объем книг вместе с превью\r\nбольше доступного места на устройстве!\r\nОбъем книг: " + values[0] +
                     " Mb\r\nОбъем превью: " + values[1] + " Mb\r\nДоступно места: " + values[2] +
                     " Mb\r\nУдалите лишние книги!");
    }
};

QTEST_GUILESS_MAIN(TestSpaceCheck)
#include "test_space_check.moc"
