#include "booklist/book_table.h"
#include "collections/collection_table.h"
#include "core/tessaly_error.h"
#include "support/fixture_reader.h"
#include "support/sqlite_test_tools.h"
#include "sync/page_rebuild.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sqlite3.h>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#endif

Q_DECLARE_METATYPE(RebuildStep)

namespace {
BookRow bookRow(int number, const QString &collection)
{
    BookRow row;
    row.full_path = QDir::toNativeSeparators(QString("/home/user/Книги/Том %1.fb2").arg(number));
    row.collection = collection;
    row.file_size = QString::number(1000 + number);
    row.author = "Автор \"в кавычках\"";
    row.title = QString("Том \"%1\"").arg(number);
    row.root = QDir::toNativeSeparators("/home/user/Книги");
    row.added_date = "1717243200000";
    row.modified_date = "1717000000000";
    row.file_name = QString("Том %1.fb2").arg(number);
    row.mime_type = "application/fb2";
    row.relative_path = QDir::toNativeSeparators(QString("Книги/Серия %1/Том %1.fb2").arg(number % 7, number));
    return row;
}

// A new library for the fixture reader: `count` books in two collections.
struct NewLibrary
{
    explicit NewLibrary(int count = 3)
    {
        QVector<BookRow> rows;
        for (int i = 1; i <= count; ++i)
            rows << bookRow(i, i % 2 ? "Нечётные" : "Чётные");
        books.appendRows(rows);
        collections.appendRows({CollectionRow{"Нечётные", {}, {}}, CollectionRow{"Чётные", {}, {}}});
    }
    BookTable books;
    CollectionTable collections;
};

// The reader's library is exactly as before and sound. The journal is looked for first:
// the next connection would quietly play back one that had been left.
void verifyUnchanged(const FixtureReader &reader, const QList<QVariantList> &before)
{
    QVERIFY(!QFile::exists(reader.databasePath() + "-journal"));
    QCOMPARE(sqliteSnapshot(reader.databasePath()), before);
    QCOMPARE(sqliteRows(reader.databasePath(), "pragma integrity_check"), QList<QVariantList>{{"ok"}});
}

} // namespace

class TestLibraryRebuildFailures : public QObject
{
    Q_OBJECT
private slots:
    void notADatabase()
    {
        const FixtureReader reader;
        QFile file(reader.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray garbage = QByteArray("This is not SQLite at all. ").repeated(200);
        file.write(garbage);
        file.close();
        NewLibrary library;
        const QVector<BookRow> rowsBefore = library.books.rows();
        QCOMPARE(errorOf([&] { rebuildLibrary(reader.root(), library.books, library.collections); }),
                 QString("Error executing SQL \"PRAGMA SYNCHRONOUS=NORMAL;\" : file is not a database"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), garbage);
        QCOMPARE(library.books.rows(), rowsBefore);
        QVERIFY(!QFile::exists(reader.databasePath() + "-journal"));
    }

    void databaseLockedByAnotherConnection()
    {
        const FixtureReader reader;
        const QList<QVariantList> before = sqliteSnapshot(reader.databasePath());
        NewLibrary library;
        {
            const ExclusiveLock lock(reader.databasePath());
            QVERIFY(lock.locked());
            QCOMPARE(errorOf([&] { rebuildLibrary(reader.root(), library.books, library.collections); }),
                     QString("Error executing SQL \"PRAGMA SYNCHRONOUS=NORMAL;\" : database is locked"));
        }
        verifyUnchanged(reader, before);
        rebuildLibrary(reader.root(), library.books, library.collections);
        QCOMPARE(sqliteRows(reader.databasePath(), "select count(*) from books"), QList<QVariantList>{{3}});
    }

    void readerWithoutItsDatabase()
    {
        const FixtureReader reader;
        QVERIFY(QFile::remove(reader.databasePath()));
        QVERIFY(QDir().mkpath(reader.databasePath())); // a folder of that name
        NewLibrary library;
        QVERIFY(errorOf([&] {
                    rebuildLibrary(reader.root(), library.books, library.collections);
                }).startsWith("Failed to open database \"" + reader.databasePath() + "\" : "));
    }

    void failureHalfWayLeavesThePreviousLibrary_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("before the books") << "step InsertBooks";
        QTest::newRow("before the thumbnails") << "step Thumbnails";
        QTest::newRow("at the second thumbnail") << "thumbnail 2";
        QTest::newRow("before the collections") << "step Collections";
        QTest::newRow("before the memberships") << "step Finish";
        QTest::newRow("before the commit") << "step Commit";
    }

    void failureHalfWayLeavesThePreviousLibrary()
    {
        QFETCH(QString, where);
        const FixtureReader reader;
        const QList<QVariantList> before = sqliteSnapshot(reader.databasePath());
        NewLibrary library;
        const QVector<BookRow> booksBefore = library.books.rows();
        const QVector<CollectionRow> collectionsBefore = library.collections.rows();
        const auto failAt = [&](const QString &point) {
            if (point == where)
                throw TessalyError("Ошибка записи файла");
        };
        RebuildHooks hooks;
        const QStringList steps{"InsertBooks", "Thumbnails", "Collections", "Finish", "Commit"};
        hooks.beforeStep = [&](RebuildStep next) { failAt("step " + steps.at(int(next))); };
        hooks.writeThumbnail = [&](const ThumbnailJob &job) {
            failAt("thumbnail " + QString::number(job.number));
            return ThumbnailOutcome::Written;
        };

        QCOMPARE(errorOf([&] { rebuildLibrary(reader.root(), library.books, library.collections, hooks); }),
                 QString("Ошибка записи файла"));
        verifyUnchanged(reader, before);
        QCOMPARE(library.books.rows(), booksBefore);
        QCOMPARE(library.collections.rows(), collectionsBefore);
    }

    // A statement the database itself refuses, after every row is written.
    void databaseErrorAtTheEndLeavesThePreviousLibrary()
    {
        const FixtureReader reader;
        sqliteExecute(reader.databasePath(), "drop index collection_index; create table collection_index (x)");
        const QList<QVariantList> before = sqliteSnapshot(reader.databasePath());
        NewLibrary library;
        QCOMPARE(errorOf([&] { rebuildLibrary(reader.root(), library.books, library.collections); }),
                 QString("Error executing SQL \"CREATE INDEX collection_index ON collections(content_id)\" : there is "
                         "already a table named collection_index"));
        verifyUnchanged(reader, before);
    }

    // The process dies in the middle of writing: the next connection finds the old library.
    void processDyingHalfWayLeavesThePreviousLibrary()
    {
#ifdef Q_OS_UNIX
        const FixtureReader reader;
        const QList<QVariantList> before = sqliteSnapshot(reader.databasePath());
        QFile database(reader.databasePath());
        QVERIFY(database.open(QIODevice::ReadOnly));
        const QByteArray bytesBefore = database.readAll();
        database.close();
        // Enough books that SQLite has to write pages of the new library into the file itself.
        NewLibrary library(20000);

        const pid_t child = fork();
        if (child == 0) {
            RebuildHooks hooks;
            hooks.writeThumbnail = [](const ThumbnailJob &job) {
                if (job.number == 15000)
                    _exit(3);
                return ThumbnailOutcome::Written;
            };
            try {
                rebuildLibrary(reader.root(), library.books, library.collections, hooks);
            } catch (...) {
            }
            _exit(0);
        }
        QVERIFY(child > 0);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 3);

        // The dead process left the file half-changed, with the journal that undoes it.
        QVERIFY(QFile::exists(reader.databasePath() + "-journal"));
        QVERIFY(database.open(QIODevice::ReadOnly));
        QVERIFY(database.readAll() != bytesBefore);
        database.close();

        // The next connection plays the journal back.
        QCOMPARE(sqliteSnapshot(reader.databasePath()), before);
        QCOMPARE(sqliteRows(reader.databasePath(), "pragma integrity_check"), QList<QVariantList>{{ "ok" }});
        QVERIFY(!QFile::exists(reader.databasePath() + "-journal"));
#else
        QSKIP("killing a rebuild half-way is done with fork() on Unix only");
#endif
    }
};

QTEST_GUILESS_MAIN(TestLibraryRebuildFailures)
#include "test_library_rebuild_failures.moc"
