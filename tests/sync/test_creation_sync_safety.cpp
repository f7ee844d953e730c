#include "reader/folder_clearing.h"
#include "reader/free_space.h"
#include "support/reader_soundness.h"
#include "support/scratch_volume.h"
#include "support/sqlite_test_tools.h"
#include "support/sync_scene.h"
#include "support/watched_file_operations.h"

#include <QDirIterator>
#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
const QString successText = "Синхронизация успешно завершена! \r\n"
                            "Отключите устройство и можно сразу же приступать к чтению книг.\r\n"
                            "При возникновении ошибки, перезапустите устройство.";
const QStringList openCalls{
    "max main 100", "pos item 0",    "caption item ", "pos main 5", "caption main Удаляю книги с устройства...",
    "show",         "repaint window"};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QVector<BookRow> inCollections(const QVector<BookRow> &books)
{
    QVector<BookRow> chosen;
    for (const BookRow &book : books)
        if (!book.collection.isEmpty())
            chosen << book;
    return chosen;
}

// Folders below Sony_Reader where books were kept aside during a run.
// Writing the first thumbnail fails, half-way through the rebuild.
void failThumbnails(SyncScene &scene, WatchedFileOperations &files)
{
    files.before = [](int, const QString &call) {
        return !(call.startsWith("write ") && call.endsWith("main_thumbnail.jpg"));
    };
    scene.files = &files;
}

} // namespace

class TestCreationSyncSafety : public QObject
{
    Q_OBJECT
private slots:
    // The check runs before anything on the reader changes, against the space free while the old
    // library is still there: a reader on a small volume of its own, so the free space holds still
    // between the test's reading and the run's.
    void spaceCheckBoundary_data()
    {
        QTest::addColumn<qint64>("excess");
        QTest::newRow("exactly the space free") << qint64(0);
        QTest::newRow("one byte more") << qint64(1);
    }

    void spaceCheckBoundary()
    {
        QFETCH(qint64, excess);
        ScratchVolume volume(16 * 1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason()));
        SyncScene scene(volume.path() + "/");
        scene.addBooks(SyncScene::usualBooks());
        const int count = 5;
        const qint64 available = queryVolumeSpace(scene.root()).availableBytes;
        const qint64 totalSize = available - 10240 - count * 204800 + excess;
        QVERIFY(totalSize > 0);
        const SyncScene::Snapshot before = scene.snapshot();
        const QVector<BookRow> books = scene.page.books.rows();

        const bool succeeded = scene.run(totalSize);

        if (excess == 0) {
            QVERIFY(succeeded);
            QCOMPARE(scene.dialogs.messages(), QStringList{successText});
            QCOMPARE(sqliteValue(scene.databasePath(), "select count(*) from books"), QVariant(count));
            return;
        }
        QVERIFY(!succeeded);
        QCOMPARE(scene.dialogs.messages(),
                 QStringList{QString("Объем книг вместе с превью\r\nбольше доступного места на устройстве!\r\n"
                                     "Объем книг: %1 Mb\r\nОбъем превью: 10 Mb\r\nДоступно места: %2 Mb\r\n"
                                     "Удалите лишние книги!")
                                 .arg(totalSize / 1048576 + 10)
                                 .arg(available / 1048576)});
        // Hidden before the message; nothing on the reader touched, the list as it was.
        QCOMPARE(scene.progress.calls, openCalls + QStringList({"hide", "message"}));
        QVERIFY(scene.snapshot() == before);
        QCOMPARE(scene.page.books.rows(), books);
    }

    // Books chosen from the reader's own books folder: one goes back to its own place, one
    // to a new place; both reach the reader, and nothing of them is lost on the way.
    void booksFromTheReadersOwnFolder()
    {
        SyncScene scene;
        scene.addBooks(SyncScene::usualBooks());
        const QString samePlace = scene.booksFolder() + "Фантастика/Стругацкие/Пикник на обочине.fb2";
        const QString oldPlace = scene.booksFolder() + "notes.txt";
        const QByteArray picnic = fileBytes(samePlace);
        const QByteArray notes = fileBytes(oldPlace);
        QCOMPARE(notes.size(), 640);
        scene.addPath(scene.booksFolder() + "Фантастика", "С устройства");
        scene.addPath(oldPlace, "С устройства");
        QCOMPARE(scene.page.books.rows().last().relative_path, QDir::toNativeSeparators("books/notes.txt"));

        QVERIFY(scene.run());

        QCOMPARE(scene.dialogs.messages(), QStringList{successText});
        QCOMPARE(fileBytes(samePlace), picnic);
        QCOMPARE(fileBytes(scene.booksFolder() + "books/notes.txt"), notes);
        QVERIFY(!QFile::exists(oldPlace));
        QCOMPARE(leftovers(scene.root()), QStringList());
        QCOMPARE(sqliteRows(scene.databasePath(), "select file_path from books where file_path like '%notes.txt' "
                                                  "or file_path like '%Пикник%' order by file_path"),
                 (QList<QVariantList>{{"Sony_Reader/media/books/books/notes.txt"},
                                      {"Sony_Reader/media/books/Фантастика/Стругацкие/Пикник на обочине.fb2"}}));
        // The moved book takes the thumbnail the reader had made for it, not a new cover.
        const QString movedThumbnail =
            sqliteValue(scene.databasePath(), "select thumbnail from books where file_path like '%books/notes.txt'")
                .toString();
        QCOMPARE(fileBytes(scene.root() + movedThumbnail), QByteArray("\xFF\xD8\xFF\xE0 thumbnail \xFF\xD9"));
        // The list points at where the books are now.
        QCOMPARE(scene.page.books.rows().last().full_path,
                 QDir::toNativeSeparators(scene.booksFolder() + "books/notes.txt"));
        QCOMPARE(scene.page.books.rows().at(scene.page.books.rowCount() - 2).full_path,
                 QDir::toNativeSeparators(samePlace));
    }

    void booksFromTheReadersFolderReturnWhenTheRunFails()
    {
        SyncScene scene;
        scene.addBooks(SyncScene::usualBooks());
        const QString samePlace = scene.booksFolder() + "Фантастика/Стругацкие/Пикник на обочине.fb2";
        const QString oldPlace = scene.booksFolder() + "notes.txt";
        const QByteArray picnic = fileBytes(samePlace);
        const QByteArray notes = fileBytes(oldPlace);
        scene.addPath(scene.booksFolder() + "Фантастика", "С устройства");
        scene.addPath(oldPlace, "С устройства");
        WatchedFileOperations files;
        failThumbnails(scene, files);
        const QVector<BookRow> chosen = inCollections(scene.page.books.rows());

        QVERIFY(!scene.run());

        QCOMPARE(fileBytes(samePlace), picnic);
        QCOMPARE(fileBytes(oldPlace), notes);
        QCOMPARE(leftovers(scene.root()), QStringList());
        QCOMPARE(scene.page.books.rows(), chosen);
    }

    // A book that is a link to a file in the reader's books folder is judged by that file: it
    // reaches the reader whole instead of being deleted with the old library.
    void aLinkToABookOnTheReader()
    {
#ifndef Q_OS_UNIX
        QSKIP("symbolic links to files need a Unix system here");
#else
        SyncScene scene;
        scene.addBooks(SyncScene::usualBooks());
        const QString target = scene.booksFolder() + "notes.txt";
        const QByteArray notes = fileBytes(target);
        QTemporaryDir elsewhere;
        const QString link = elsewhere.path() + "/Ссылки/заметки.txt";
        QVERIFY(QDir().mkpath(elsewhere.path() + "/Ссылки"));
        QVERIFY(QFile::link(target, link));
        scene.addPath(link, "Ссылки");

        QVERIFY(scene.run());

        QCOMPARE(scene.dialogs.messages(), QStringList{successText});
        QCOMPARE(fileBytes(scene.booksFolder() + "Ссылки/заметки.txt"), notes);
        QCOMPARE(sqliteValue(scene.databasePath(), "select file_size from books where file_path = "
                                                   "'Sony_Reader/media/books/Ссылки/заметки.txt'"),
                 QVariant(qlonglong(notes.size())));
        QCOMPARE(leftovers(scene.root()), QStringList());
#endif
    }

    // A book of the reader's own at its place keeps it, though a later book of the page goes to the
    // same place: the reader's copy may be the only one, the later book is still on the computer.
    void aBookOfTheReadersOwnKeepsItsPlace()
    {
        SyncScene scene;
        const QString place = scene.booksFolder() + "Фантастика/Стругацкие/Пикник на обочине.fb2";
        const QByteArray original = fileBytes(place);
        scene.addPath(scene.booksFolder() + "Фантастика", "Фантастика");
        QTemporaryDir elsewhere;
        const QString later = elsewhere.path() + "/Фантастика/Стругацкие/Пикник на обочине.fb2";
        QVERIFY(QDir().mkpath(QFileInfo(later).absolutePath()));
        QVERIFY(QFile::copy(samplePath("fb2/example.fb2"), later));
        scene.addPath(elsewhere.path() + "/Фантастика", "Фантастика");
        QCOMPARE(scene.page.books.rowCount(), 2);

        QVERIFY(!scene.run());

        QCOMPARE(fileBytes(place), original);
        QCOMPARE(sqliteRows(scene.databasePath(), "select _id, file_path from books"),
                 (QList<QVariantList>{{1, "Sony_Reader/media/books/Фантастика/Стругацкие/Пикник на обочине.fb2"}}));
        QCOMPARE(leftovers(scene.root()), QStringList());
        QCOMPARE(scene.dialogs.messages(),
                 QStringList{"Синхронизация завершена, но не все книги попали на устройство.\r\n"
                             "Этих книг нет в библиотеке устройства:\r\n" +
                             QDir::toNativeSeparators(later) +
                             " (на устройстве то же место, что у другой книги)\r\nОни остались в списке файлов."});
    }

    // A failure after the clearing: the progress window goes before the error is shown, the
    // user's lists are as they were, and books.db lists only books whose files are there.
    void failureHalfWayLeavesTheListsAndASoundDatabase()
    {
        SyncScene scene;
        scene.addBooks(SyncScene::usualBooks(), {"Пустая"});
        const QVector<BookRow> chosen = inCollections(scene.page.books.rows());
        const QVector<CollectionRow> collections = scene.page.collections.rows();
        WatchedFileOperations files;
        failThumbnails(scene, files);

        QVERIFY(!scene.run());

        QCOMPARE(scene.dialogs.messages().size(), 1);
        QVERIFY(scene.dialogs.messages().first().startsWith("Не удалось записать файл превью"));
        QCOMPARE(scene.progress.calls.mid(scene.progress.calls.size() - 2), (QStringList{"hide", "message"}));
        QVERIFY(!scene.progress.visible);
        QVERIFY(!QFile::exists(scene.databasePath() + "-journal"));
        QCOMPARE(sqliteRows(scene.databasePath(), "pragma integrity_check"), QList<QVariantList>{{"ok"}});
        for (const QVariantList &row : sqliteRows(scene.databasePath(), "select file_path from books"))
            QVERIFY2(QFile::exists(scene.root() + row.at(0).toString()), qPrintable(row.at(0).toString()));
        QCOMPARE(scene.page.books.rows(), chosen);
        QCOMPARE(scene.page.collections.rows(), collections);
    }

    // Another program holding books.db: nothing changes, not even the file list.
    void aLockedDatabaseChangesNothing()
    {
        SyncScene scene;
        scene.addBooks(SyncScene::usualBooks(), {"Пустая"});
        const SyncScene::Snapshot before = scene.snapshot();
        const QVector<BookRow> books = scene.page.books.rows();
        auto lock = std::make_unique<ExclusiveLock>(scene.databasePath());
        QVERIFY(lock->locked());

        QVERIFY(!scene.run());

        lock.reset();
        QCOMPARE(scene.dialogs.messages(),
                 QStringList{"База данных устройства занята другой программой:\r\n" +
                             QDir::toNativeSeparators(scene.databasePath()) +
                             "\r\nЗакройте программы, работающие с устройством, и повторите синхронизацию.\r\n"
                             "На устройстве ничего не изменено."});
        QCOMPARE(scene.progress.calls, openCalls + QStringList({"hide", "message"}));
        QVERIFY(scene.snapshot() == before);
        QCOMPARE(scene.page.books.rows(), books);
    }

    // Books whose files cannot be copied stay out of the reader's library and stay in the
    // list; the others are written as usual.
    void booksThatCannotBeCopied()
    {
        SyncScene scene;
        scene.addBooks(SyncScene::usualBooks());
        QVector<BookRow> chosen = inCollections(scene.page.books.rows());
        const QVector<CollectionRow> collections = scene.page.collections.rows();
        QStringList failing;
        for (const BookRow &book : chosen) {
            if (book.full_path.endsWith(".pdf")) {
                QVERIFY(QFile::remove(book.full_path));
                failing << book.full_path;
            }
#ifdef Q_OS_UNIX
            // A pipe in place of a book must not hold the run up.
            if (book.full_path.endsWith(".txt")) {
                QVERIFY(QFile::remove(book.full_path));
                QCOMPARE(::mkfifo(QFile::encodeName(book.full_path).constData(), 0644), 0);
                failing << book.full_path;
            }
#endif
        }

        QVERIFY(!scene.run());

        QCOMPARE(scene.dialogs.messages(),
                 QStringList{"Синхронизация завершена, но не все книги попали на устройство.\r\n"
                             "Этих книг нет в библиотеке устройства:\r\n" +
                             failing.join("\r\n") + "\r\nОни остались в списке файлов."});
        QCOMPARE(scene.progress.calls.mid(scene.progress.calls.size() - 3),
                 (QStringList{"pos main 100", "message", "hide"}));
        const int written = int(chosen.size() - failing.size());
        QCOMPARE(sqliteValue(scene.databasePath(), "select count(*) from books"), QVariant(written));
        QCOMPARE(sqliteValue(scene.databasePath(),
                             "select seq >= (select max(_id) from books) from sqlite_sequence where name = 'books'"),
                 QVariant(1));
        QCOMPARE(sqliteValue(scene.databasePath(), "select count(*) from collections"), QVariant(written));
        // Every row names a file that is there, and has its thumbnail.
        for (const QVariantList &row :
             sqliteRows(scene.databasePath(), "select file_path, thumbnail from books order by _id")) {
            QVERIFY2(QFile::exists(scene.root() + row.at(0).toString()), qPrintable(row.at(0).toString()));
            QVERIFY(QFile::exists(scene.root() + row.at(1).toString()));
        }
        QDirIterator thumbnails(scene.thumbnailsFolder(), {"main_thumbnail.jpg"}, QDir::Files,
                                QDirIterator::Subdirectories);
        int thumbnailCount = 0;
        for (; thumbnails.hasNext(); thumbnails.next())
            ++thumbnailCount;
        QCOMPARE(thumbnailCount, written);
        // The list holds every chosen book; the failed ones as they were, the counts unchanged.
        QCOMPARE(scene.page.books.rowCount(), chosen.size());
        for (int i = 0; i < chosen.size(); ++i) {
            const BookRow &book = scene.page.books.row(i);
            QCOMPARE(book.full_path, chosen.at(i).full_path);
            if (failing.contains(book.full_path))
                QCOMPARE(book, chosen.at(i));
            else
                QVERIFY(book.record_id.toInt() > 0);
        }
        QCOMPARE(scene.page.collections.rowCount(), collections.size());
        for (int i = 0; i < collections.size(); ++i)
            QCOMPARE(scene.page.collections.row(i).book_count, collections.at(i).book_count);
    }

    // A reader that cannot be written: nothing is touched, and the user is told why.
    void aReadOnlyReaderChangesNothing()
    {
        ScratchVolume volume(8 * 1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason()));
        SyncScene scene(volume.path() + "/");
        scene.addBooks(SyncScene::usualBooks());
        const QString onReader = scene.booksFolder() + "notes.txt";
        scene.addPath(onReader, "С устройства");
        QVERIFY(volume.remountReadOnly());
        const SyncScene::Snapshot before = scene.snapshot();
        const QVector<BookRow> books = scene.page.books.rows();

        QVERIFY(!scene.run());

        QCOMPARE(scene.dialogs.messages(),
                 QStringList{"База данных устройства доступна только для чтения:\r\n" +
                             QDir::toNativeSeparators(scene.databasePath()) + "\r\nНа устройстве ничего не изменено."});
        QCOMPARE(scene.progress.calls, openCalls + QStringList({"hide", "message"}));
        QVERIFY(scene.snapshot() == before);
        QCOMPARE(scene.page.books.rows(), books);
    }
};

QTEST_GUILESS_MAIN(TestCreationSyncSafety)
#include "test_creation_sync_safety.moc"
