#include "core/file_transfer.h"
#include "support/scratch_volume.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Everything in `folder`, hidden entries included: no half-made copy may stay behind.
QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray bookBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((quint32(i) * 7919u) >> 3);
    return bytes;
}
} // namespace

class TestFileTransfer : public QObject
{
    Q_OBJECT
private slots:
    void copiesIntoNewFoldersKeepingTheTime()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath("книги/том.fb2");
        writeFile(source, bookBytes(3 * 1024 * 1024 + 17));
        const QDateTime modified(QDate(2020, 2, 29), QTime(13, 14, 15), Qt::UTC);
        {
            QFile file(source);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        const QString destination = dir.filePath("reader/Sony_Reader/media/books/Книги/Серия/том.fb2");

        QVERIFY(copyFileOver(source, destination));

        QCOMPARE(fileBytes(destination), fileBytes(source));
        QCOMPARE(QFileInfo(destination).lastModified().toUTC(), modified);
        QCOMPARE(entriesOf(QFileInfo(destination).absolutePath()), QStringList{"том.fb2"});
    }

    void replacesAFileOfThatName()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("new.txt"), "the new book");
        writeFile(dir.filePath("out/book.txt"), "an older, longer book of the same name");

        QVERIFY(copyFileOver(dir.filePath("new.txt"), dir.filePath("out/book.txt")));

        QCOMPARE(fileBytes(dir.filePath("out/book.txt")), QByteArray("the new book"));
        QCOMPARE(entriesOf(dir.filePath("out")), QStringList{"book.txt"});
    }

    // The next clearing keeps read-only files: a copy of a read-only book must not be one.
    void aReadOnlyBookGivesAWritableCopy()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("locked.pdf"), "%PDF-1.4");
        QVERIFY(QFile::setPermissions(dir.filePath("locked.pdf"), QFile::ReadOwner | QFile::ReadGroup));

        QVERIFY(copyFileOver(dir.filePath("locked.pdf"), dir.filePath("out/locked.pdf")));

        QVERIFY(QFileInfo(dir.filePath("out/locked.pdf")).permissions() & QFile::WriteOwner);
    }

    void refusesWhatIsNotABookFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("folder") << "folder";
#ifdef Q_OS_UNIX
        QTest::newRow("pipe without a writer") << "pipe";
#endif
    }

    void refusesWhatIsNotABookFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString source = dir.filePath("book.fb2");
        if (kind == "folder")
            QVERIFY(QDir().mkpath(source));
#ifdef Q_OS_UNIX
        if (kind == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0644), 0);
#endif
        writeFile(dir.filePath("out/book.fb2"), "an earlier copy");
        QElapsedTimer timer;
        timer.start();

        QVERIFY(!copyFileOver(source, dir.filePath("out/book.fb2")));

        QVERIFY(timer.elapsed() < 10000);
        QCOMPARE(fileBytes(dir.filePath("out/book.fb2")), QByteArray("an earlier copy"));
        QCOMPARE(entriesOf(dir.filePath("out")), QStringList{"book.fb2"});
    }

    // A copy that runs out of space leaves the earlier file of that name whole, and no
    // remnant of its own.
    void aFullVolumeKeepsTheEarlierFile()
    {
        ScratchVolume volume(1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason()));
        QTemporaryDir dir;
        writeFile(dir.filePath("large.epub"), bookBytes(2 * 1024 * 1024));
        const QString destination = volume.path() + "/books/large.epub";
        writeFile(destination, "the earlier book");

        QVERIFY(!copyFileOver(dir.filePath("large.epub"), destination));

        QCOMPARE(fileBytes(destination), QByteArray("the earlier book"));
        QCOMPARE(entriesOf(volume.path() + "/books"), QStringList{"large.epub"});
    }

    void movesWithinAVolume()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("books/a.fb2"), "book a");
        writeFile(dir.filePath("kept/1.fb2"), "something in the way");

        QVERIFY(moveWithinVolume(dir.filePath("books/a.fb2"), dir.filePath("kept/1.fb2")));
        QCOMPARE(fileBytes(dir.filePath("kept/1.fb2")), QByteArray("book a"));
        QVERIFY(!QFile::exists(dir.filePath("books/a.fb2")));

        QVERIFY(moveWithinVolume(dir.filePath("kept/1.fb2"), dir.filePath("books/deeper/still/a.fb2")));
        QCOMPARE(fileBytes(dir.filePath("books/deeper/still/a.fb2")), QByteArray("book a"));
    }

    // Setting a book aside must never turn into a copy to another volume.
    void neverMovesAcrossVolumes()
    {
        ScratchVolume volume(1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason()));
        QTemporaryDir dir;
        writeFile(dir.filePath("a.fb2"), "book a");

        QVERIFY(!moveWithinVolume(dir.filePath("a.fb2"), volume.path() + "/kept/a.fb2"));

        QCOMPARE(fileBytes(dir.filePath("a.fb2")), QByteArray("book a"));
        QVERIFY(!QFile::exists(volume.path() + "/kept/a.fb2"));
    }
};

QTEST_GUILESS_MAIN(TestFileTransfer)
#include "test_file_transfer.moc"
