#include "booklist/book_passes.h"
#include "booklist/book_table.h"
#include "booklist/time_stamps.h"
#include "support/fixed_clock.h"
#include "support/recording_progress.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class TestSizePass : public QObject
{
    Q_OBJECT
private slots:
    void timeStamps_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("modified");
        // 2024-03-01 12:00:00 read as UTC is 1709294400 seconds after 1970.
        const QDate day(2024, 3, 1);
        QTest::newRow("12:00:00.045") << QDateTime(day, QTime(12, 0, 0, 45)) << "1709294400045"
                                      << "1709304400000";
        QTest::newRow("a whole second") << QDateTime(day, QTime(12, 0, 0, 0)) << "1709294400000"
                                        << "1709304400000";
        // The seconds are not rounded up: the stamp stays the moment itself.
        QTest::newRow("late in the second") << QDateTime(day, QTime(12, 0, 0, 600)) << "1709294400600"
                                            << "1709304400000";
        QTest::newRow("last millisecond of a day") << QDateTime(day, QTime(23, 59, 59, 999)) << "1709337599999"
                                                   << "1709347599000";
        // The wall-clock reading counts, whatever zone it was read in.
        QTest::newRow("wall clock three hours east")
            << QDateTime(day, QTime(12, 0, 0, 45), QTimeZone(3 * 3600)) << "1709294400045"
            << "1709304400000";
    }
    void timeStamps()
    {
        QFETCH(QDateTime, now);
        const BookTimeStamps stamps = bookTimeStamps(now);
        QTEST(stamps.added, "added");
        QTEST(stamps.modified, "modified");
    }

    void fillsEveryRowWithSizeAndStamps()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("a.fb2"), QByteArray(1234, 'x'));
        writeFile(dir.filePath("empty.txt"), QByteArray());
        BookTable books;
        books.appendRows({BookRow{.full_path = dir.filePath("a.fb2"), .file_size = "1", .added_date = "old"},
                          BookRow{.full_path = dir.filePath("empty.txt")}});
        RecordingProgress progress;
        const FixedClock clock(QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0, 45)));
        int changes = 0;
        connect(&books, &QAbstractItemModel::dataChanged, this, [&] { ++changes; });
        QVERIFY(runSizePass(books, progress, clock).isEmpty());
        QCOMPARE(books.cellText(0, FileSizeColumn), QString("1234"));
        QCOMPARE(books.cellText(1, FileSizeColumn), QString("0"));
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(books.cellText(row, AddedDateColumn), QString("1709294400045"));
            QCOMPARE(books.cellText(row, ModifiedDateColumn), QString("1709304400000"));
        }
        QCOMPARE(changes, 1); // redraw waits for the end of the pass
    }

    void sizesBeyondTwoGibibytes()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("huge.pdf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const qint64 size = (qint64(1) << 31) + 1; // sparse: no disk space is taken
        QVERIFY(file.resize(size));
        file.close();
        BookTable books;
        books.appendRow(BookRow{.full_path = file.fileName()});
        RecordingProgress progress;
        const FixedClock clock(QDateTime::currentDateTime());
        QVERIFY(runSizePass(books, progress, clock).isEmpty());
        QCOMPARE(books.cellText(0, FileSizeColumn), QString("2147483649"));
    }

    void unreadableRowsKeepTheirValues()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("ok.txt"), "abc");
        QDir(dir.path()).mkdir("folder.fb2");
        const BookRow vanished{.full_path = dir.filePath("vanished.pdf"), .file_size = "42", .added_date = "1"};
        const BookRow folder{.full_path = dir.filePath("folder.fb2"), .file_size = "7"};
        BookTable books;
        books.appendRows({vanished, BookRow{.full_path = dir.filePath("ok.txt")}, folder});
        RecordingProgress progress;
        const FixedClock clock(QDateTime(QDate(2024, 3, 1), QTime(12, 0)));
        QCOMPARE(runSizePass(books, progress, clock), QStringList({vanished.full_path, folder.full_path}));
        QCOMPARE(books.row(0), vanished);
        QCOMPARE(books.row(2), folder);
        QCOMPARE(books.cellText(1, FileSizeColumn), QString("3"));
        QCOMPARE(progress.itemCaption, QString("Книга №3 из 3"));
    }

    void itemCaptionsCountEveryRow()
    {
        QTemporaryDir dir;
        BookTable books;
        for (int i = 0; i < 7; ++i) {
            writeFile(dir.filePath(QString("%1.txt").arg(i)), "t");
            books.appendRow(BookRow{.full_path = dir.filePath(QString("%1.txt").arg(i))});
        }
        RecordingProgress progress;
        const FixedClock clock(QDateTime(QDate(2024, 3, 1), QTime(12, 0)));
        runSizePass(books, progress, clock);
        QCOMPARE(progress.calls.count("events"), 7);
        QCOMPARE(progress.itemMaximum, 7);
        QCOMPARE(progress.itemPosition, 7);
        QCOMPARE(progress.itemCaption, QString("Книга №7 из 7"));
    }
};

QTEST_GUILESS_MAIN(TestSizePass)
#include "test_size_pass.moc"
