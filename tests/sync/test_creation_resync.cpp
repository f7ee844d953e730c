#include "reader/free_space.h"
#include "reader/reader_layout.h"
#include "support/fixture_reader.h"
#include "support/reader_soundness.h"
#include "support/recording_progress.h"
#include "support/repeated_sync.h"
#include "support/scratch_volume.h"
#include "support/watched_file_operations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace {
// The reader's file number of each book file, by stored path: a file rewritten gets a new one.
QHash<QString, quint64> fileNumbers(const QString &root)
{
    QHash<QString, quint64> numbers;
#ifdef Q_OS_UNIX
    for (const QVariantList &record : sqliteRows(ReaderLayout::databasePath(root), "select file_path from books")) {
        struct stat status = {};
        if (::stat(QFile::encodeName(root + record.at(0).toString()).constData(), &status) == 0)
            numbers.insert(record.at(0).toString(), quint64(status.st_ino));
    }
#else
    Q_UNUSED(root);
#endif
    return numbers;
}

QStringList callsLike(const WatchedFileOperations &files, const QString &kind, const QString &contains)
{
    QStringList found;
    for (const QString &call : files.calls)
        if (call.startsWith(kind + ' ') && call.contains(contains))
            found << call;
    return found;
}

// Two books added to one collection, and two others moved between collections.
void addAndMove(LibraryScenario &books)
{
    books.place("fb2/meta.fb2", "Классика/Новая.fb2");
    books.place("txt/Зимнее утро.txt", "Классика/Вечер.txt");
    books.collections.insert("Классика/Новая.fb2", "Классика");
    books.collections.insert("Классика/Вечер.txt", "Классика");
    books.collections.insert("Документы/history.pdf", "Поэзия");
    books.collections.insert("wasteland.epub", "Документы");
}
} // namespace

class TestCreationResync : public QObject
{
    Q_OBJECT
private slots:
    // Synchronising again after adding books to one collection and moving others copies only the
    // added books and makes only their thumbnails; the other books' files are not touched.
    void copiesOnlyWhatChanged()
    {
        const std::unique_ptr<RepeatedSync> repeated = RepeatedSync::synchronised();
        QVERIFY(repeated);
        addAndMove(repeated->books);
        const QString root = repeated->startRoot();
        const QHash<QString, quint64> before = fileNumbers(root);
        QCOMPARE(before.size(), 7);
        LibraryPage page(LibraryPage::Kind::Creation);
        repeated->books.fillPage(page, root);
        ReaderSoundness soundness;
        soundness.acceptReader(root);
        soundness.acceptBooks(inCollections(page));
        const qint64 added = QFileInfo(repeated->books.sourceFolder() + "/Классика/Новая.fb2").size() +
                             QFileInfo(repeated->books.sourceFolder() + "/Классика/Вечер.txt").size();

        WatchedFileOperations files;
        RecordingProgress progress;
        QVERIFY(repeated->run(page, root, files, progress));

        QCOMPARE(files.copies, 2);
        QCOMPARE(files.bytesCopied, added);
        QCOMPARE(callsLike(files, "copy", "").size(), 2);
        QCOMPARE(callsLike(files, "write", "main_thumbnail.jpg").size(), 2);
        // The kept books keep their records, so their thumbnails stay where they are.
        QCOMPARE(callsLike(files, "move", "").size(), 0);
        QCOMPARE(callsLike(files, "remove", "media/books").size(), 0);
        QCOMPARE(soundness.faults(root), QStringList());
        // The kept books are the very files that were there.
        const QHash<QString, quint64> after = fileNumbers(root);
        QCOMPARE(after.size(), 9);
        for (auto book = before.cbegin(); book != before.cend(); ++book)
            QCOMPARE(after.value(book.key()), book.value());
        QCOMPARE(
            sqliteRows(ReaderLayout::databasePath(root),
                       "select c.title, b.file_path from collections m join collection c on c._id = m.collection_id "
                       "join books b on b._id = m.content_id where b.file_path like '%history.pdf' or "
                       "b.file_path like '%wasteland.epub' order by c.title"),
            (QList<QVariantList>{{"Документы", "Sony_Reader/media/books/Книги/wasteland.epub"},
                                 {"Поэзия", "Sony_Reader/media/books/Книги/Документы/history.pdf"}}));
    }

    // A reader nearly full after the first synchronisation takes a second one that moves books
    // between collections: what the reader holds already needs no new room.
    void theSpaceCheckCountsWhatStays()
    {
        ScratchVolume volume(8 * 1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason()));
        const std::unique_ptr<RepeatedSync> repeated = RepeatedSync::synchronised();
        QVERIFY(repeated);
        copyReader(repeated->start.path(), volume.path());
        const QString root = volume.path() + '/';
        // 300 KB stay free: less than the thumbnails of the seven books would be allowed.
        QFile filler(root + "filler.bin");
        QVERIFY(filler.open(QIODevice::WriteOnly));
#ifdef Q_OS_UNIX
        // Taken for real: a file only resized would be a hole that takes no room.
        QCOMPARE(::posix_fallocate(filler.handle(), 0, queryVolumeSpace(root).availableBytes - 300 * 1024), 0);
#endif
        filler.close();
        repeated->books.collections.insert("Документы/history.pdf", "Поэзия");

        LibraryPage page(LibraryPage::Kind::Creation);
        repeated->books.fillPage(page, root);
        FileOperations files;
        RecordingProgress progress;
        QStringList messages;
        QVERIFY2(repeated->run(page, root, files, progress, &messages), qPrintable(messages.join("")));

        // One more book than the room left is refused, with the figures of what is new.
        repeated->books.place("pdf/project-history.en.pdf", "Большая.pdf");
        repeated->books.collections.insert("Большая.pdf", "Документы");
        QFile big(repeated->books.sourceFolder() + "/Большая.pdf");
        QVERIFY(big.open(QIODevice::Append));
        QVERIFY(big.write(QByteArray(400 * 1024, 'x')) > 0);
        big.close();
        LibraryPage bigger(LibraryPage::Kind::Creation);
        repeated->books.fillPage(bigger, root);
        const qint64 available = queryVolumeSpace(root).availableBytes;
        QVERIFY(!repeated->run(bigger, root, files, progress, &messages));
        QCOMPARE(messages,
                 QStringList{QString("Объем книг вместе с превью\r\nбольше доступного места на устройстве!\r\n"
                                     "Объем книг: %1 Mb\r\nОбъем превью: 10 Mb\r\nДоступно места: %2 Mb\r\n"
                                     "Удалите лишние книги!")
                                 .arg(big.size() / 1048576 + 10)
                                 .arg(available / 1048576)});
    }
};

QTEST_GUILESS_MAIN(TestCreationResync)
#include "test_creation_resync.moc"
