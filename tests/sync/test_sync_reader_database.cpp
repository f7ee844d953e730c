#include "support/fixture_reader.h"
#include "support/scratch_volume.h"
#include "support/sqlite_test_tools.h"
#include "support/sync_scene.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

namespace {
QString refusal(const QString &head, const QString &path, const QString &tail = {})
{
    return head + ":\r\n" + QDir::toNativeSeparators(path) + tail + "\r\nНа устройстве ничего не изменено.";
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestSyncReaderDatabase : public QObject
{
    Q_OBJECT
private slots:
    // A books.db that cannot serve is found before anything on the reader changes: the user is
    // told why, and the reader and the user's lists stay as they were.
    void anUnusableDatabaseChangesNothing_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("not a database") << "not a database";
        QTest::newRow("damaged") << "damaged";
        // Only the database's check reads that table.
        QTest::newRow("damaged where nothing is read") << "damaged aside";
        QTest::newRow("an empty file") << "empty";
        QTest::newRow("without the books table") << "no books table";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("locked by another program") << "locked";
        QTest::newRow("on a read-only volume") << "read-only";
    }

    void anUnusableDatabaseChangesNothing()
    {
        QFETCH(QString, situation);
        std::unique_ptr<ScratchVolume> volume;
        if (situation == "read-only") {
            volume = std::make_unique<ScratchVolume>(8 * 1024 * 1024);
            if (!volume->isMounted())
                QSKIP(qPrintable(volume->skipReason()));
        }
        SyncScene scene(volume ? volume->path() + '/' : QString());
        scene.addBooks(SyncScene::usualBooks());
        const QString database = scene.databasePath();
        QString expected;
        std::unique_ptr<ExclusiveLock> lock;
        if (situation == "not a database") {
            writeFile(database, QByteArray("Это не база данных. ").repeated(300));
            expected = refusal("База данных устройства повреждена", database);
        } else if (situation == "damaged") {
            damageTable(database, "books");
            expected = refusal("База данных устройства повреждена", database);
        } else if (situation == "damaged aside") {
            sqliteExecute(database, "create table reader_extra (note text);"
                                    "insert into reader_extra select hex(randomblob(300)) from books;");
            damageTable(database, "reader_extra");
            expected = refusal("База данных устройства повреждена", database);
        } else if (situation == "empty") {
            writeFile(database, {});
            expected = refusal("В базе данных устройства нет библиотеки книг", database);
        } else if (situation == "no books table") {
            sqliteExecute(database, "drop table books");
            expected = refusal("В базе данных устройства нет библиотеки книг", database);
        } else if (situation == "folder") {
            QVERIFY(QFile::remove(database));
            QVERIFY(QDir().mkpath(database));
            expected = refusal("Не удалось открыть базу данных устройства", database, "\r\nЭто не файл.");
        } else if (situation == "locked") {
            lock = std::make_unique<ExclusiveLock>(database);
            QVERIFY(lock->locked());
            expected = refusal("База данных устройства занята другой программой", database,
                               "\r\nЗакройте программы, работающие с устройством, и повторите синхронизацию.");
        } else if (situation == "read-only") {
            QVERIFY(volume->remountReadOnly());
            expected = refusal("База данных устройства доступна только для чтения", database);
        }
        const QMap<QString, QByteArray> before = scene.readerFiles();
        const QVector<BookRow> books = scene.page.books.rows();
        const QVector<CollectionRow> collections = scene.page.collections.rows();

        QVERIFY(!scene.run());

        lock.reset();
        QCOMPARE(scene.dialogs.messages(), QStringList{expected});
        QVERIFY(!scene.progress.visible);
        QCOMPARE(scene.progress.calls.mid(scene.progress.calls.size() - 2), (QStringList{"hide", "message"}));
        QCOMPARE(scene.readerFiles(), before);
        QCOMPARE(scene.page.books.rows(), books);
        QCOMPARE(scene.page.collections.rows(), collections);
    }
};

QTEST_GUILESS_MAIN(TestSyncReaderDatabase)
#include "test_sync_reader_database.moc"
