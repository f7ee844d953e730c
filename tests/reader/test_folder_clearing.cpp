#include "core/file_operations.h"
#include "reader/folder_clearing.h"
#include "support/scratch_volume.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
FileOperations readerFiles;

void makeFile(const QString &path, qsizetype size)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(QByteArray(size, 'b')), size);
}

constexpr QFileDevice::Permissions ReadOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

// Every path below `folder`, relative to it, sorted; hidden entries included, links not followed.
QStringList treeOf(const QString &folder)
{
    QStringList paths;
    const QDir root(folder);
    const QFileInfoList entries =
        root.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        paths << entry.fileName();
        if (entry.isDir() && !entry.isSymLink()) {
            for (const QString &below : treeOf(entry.absoluteFilePath()))
                paths << entry.fileName() + '/' + below;
        }
    }
    paths.sort();
    return paths;
}

bool runningAsRoot()
{
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}
} // namespace

class TestFolderClearing : public QObject
{
    Q_OBJECT
private slots:
    void clearsEverythingBelowAndKeepsTheFolder()
    {
        QTemporaryDir dir;
        const QString books = dir.filePath(QStringLiteral("Sony_Reader/media/books"));
        makeFile(books + QStringLiteral("/a.fb2"), 1000);
        makeFile(books + QStringLiteral("/.hidden"), 2500);
        makeFile(books + QStringLiteral("/Фантастика/b.epub"), 0);
        makeFile(books + QStringLiteral("/Фантастика/deeper/still/c.pdf"), 7000);
        makeFile(books + QStringLiteral("/.hidden folder/d.txt"), 10);
        QVERIFY(QDir().mkpath(books + QStringLiteral("/empty")));

        int subfolders = 0;
        // The reader's folders are passed with a trailing separator.
        QCOMPARE(clearFolderTree(books + '/', readerFiles, [&subfolders] { ++subfolders; }), 0);
        QVERIFY(QFileInfo(books).isDir());
        QCOMPARE(treeOf(books), QStringList());
        QCOMPARE(subfolders, 5); // Фантастика, deeper, still, .hidden folder, empty
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("Sony_Reader/media"))).isDir());
    }

    void linksAreRemovedNotFollowed()
    {
        QTemporaryDir dir;
        const QString outside = dir.filePath(QStringLiteral("computer/library"));
        makeFile(outside + QStringLiteral("/precious.fb2"), 300);
        const QString folder = dir.filePath(QStringLiteral("cache"));
        makeFile(folder + QStringLiteral("/1/thumbnail/main_thumbnail.jpg"), 40);
        QVERIFY(QFile::link(outside, folder + QStringLiteral("/linked folder")));
        QVERIFY(QFile::link(outside + QStringLiteral("/precious.fb2"), folder + QStringLiteral("/linked file")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), folder + QStringLiteral("/broken link")));

        int subfolders = 0;
        QCOMPARE(clearFolderTree(folder, readerFiles, [&subfolders] { ++subfolders; }), 0);
        QCOMPARE(treeOf(folder), QStringList());
        QCOMPARE(subfolders, 2);
        QCOMPARE(QFileInfo(outside + QStringLiteral("/precious.fb2")).size(), 300);
    }

    // Read-only is the file's own mark, honoured for every user, root included.
    void readOnlyFileStaysWithItsParents()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("books"));
        const QString kept = folder + QStringLiteral("/Классика/Толстой/война и мир.fb2");
        makeFile(kept, 5000);
        makeFile(folder + QStringLiteral("/Классика/Толстой/анна каренина.fb2"), 100);
        makeFile(folder + QStringLiteral("/Классика/чехов.txt"), 100);
        makeFile(folder + QStringLiteral("/Новое/x.pdf"), 100);
        QVERIFY(QFile::setPermissions(kept, ReadOnly));

        QCOMPARE(clearFolderTree(folder, readerFiles), 1);
        QCOMPARE(treeOf(folder), (QStringList{QStringLiteral("Классика"), QStringLiteral("Классика/Толстой"),
                                              QStringLiteral("Классика/Толстой/война и мир.fb2")}));
        QCOMPARE(QFileInfo(kept).size(), 5000);
    }

    // A file the system will not delete: in a folder without write permission for an ordinary
    // user; for root, on a volume mounted read-only, since root ignores permissions.
    void fileTheSystemRefusesStays()
    {
        if (runningAsRoot()) {
            ScratchVolume volume(1024 * 1024);
            if (!volume.isMounted())
                QSKIP(qPrintable(volume.skipReason()));
            makeFile(volume.path() + QStringLiteral("/a/b/locked.fb2"), 10);
            makeFile(volume.path() + QStringLiteral("/top.fb2"), 10);
            QVERIFY(volume.remountReadOnly());
            QCOMPARE(clearFolderTree(volume.path(), readerFiles), 2);
            QCOMPARE(treeOf(volume.path()), (QStringList{QStringLiteral("a"), QStringLiteral("a/b"),
                                                         QStringLiteral("a/b/locked.fb2"), QStringLiteral("top.fb2")}));
            return;
        }
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("books"));
        const QString locked = folder + QStringLiteral("/locked");
        makeFile(locked + QStringLiteral("/in use.fb2"), 10);
        makeFile(folder + QStringLiteral("/free/x.fb2"), 10);
        QVERIFY(QFile::setPermissions(locked, ReadOnly | QFileDevice::ExeOwner));
        const int stayed = clearFolderTree(folder, readerFiles);
        QFile::setPermissions(locked, ReadOnly | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(stayed, 1);
        QCOMPARE(treeOf(folder), (QStringList{QStringLiteral("locked"), QStringLiteral("locked/in use.fb2")}));
    }

    void missingFolderIsLeftAlone()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("Sony_Reader/media/books/"));
        int subfolders = 0;
        QCOMPARE(clearFolderTree(missing, readerFiles, [&subfolders] { ++subfolders; }), 0);
        QCOMPARE(subfolders, 0);
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("Sony_Reader"))));
    }

    void aFileInTheFoldersPlaceIsLeftAlone()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("books"));
        makeFile(file, 10);
        QCOMPARE(clearFolderTree(file, readerFiles), 0);
        QCOMPARE(QFileInfo(file).size(), 10);
    }

    void bytesFreedAreCountedBeforeAnythingIsDeleted()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("books"));
        makeFile(folder + QStringLiteral("/a.fb2"), 1000);
        makeFile(folder + QStringLiteral("/.hidden"), 2500);
        makeFile(folder + QStringLiteral("/sub/deeper/c.pdf"), 7000);
        makeFile(folder + QStringLiteral("/sub/.hidden folder/d.txt"), 13);
        const QStringList before = treeOf(folder);
        QCOMPARE(treeOf(folder), before);
    }
};

QTEST_GUILESS_MAIN(TestFolderClearing)
#include "test_folder_clearing.moc"
