#include "reader/find_reader.h"
#include "support/own_reader_volumes.h"
#include "support/scratch_volume.h"
#include "support/sync_scene.h"
#include "sync/creation_sync.h"

#include <QDirIterator>
#include <QTest>

#include <utility>

namespace {
int filesBelow(const QString &folder)
{
    int count = 0;
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    for (; files.hasNext(); files.next())
        ++count;
    return count;
}
} // namespace

// Runs against a real mounted volume found through the system's own list of volumes, whatever
// other reader may be attached.
class TestCreationSyncMount : public QObject
{
    Q_OBJECT
private slots:
    void synchronisesAReaderOnAMountedVolume()
    {
        // Two readers attached: the one that comes first in the system's list is someone
        // else's, the later one the test's own.
        ScratchVolume first(32 * 1024 * 1024);
        ScratchVolume second(32 * 1024 * 1024);
        if (!first.isMounted() || !second.isMounted())
            QSKIP(qPrintable(first.skipReason() + "; run the tests as root to cover a real volume"));
        QString other = QDir(first.path()).canonicalPath() + "/";
        QString root = QDir(second.path()).canonicalPath() + "/";
        if (root < other)
            std::swap(root, other);
        FixtureReader::build(other, FixtureReader::Contents::Empty);
        SyncScene scene(root);
        QVERIFY(findReaderRoot(MountedVolumes()) != root);
        scene.addBooks(SyncScene::usualBooks());

        const OwnReaderVolumes mounted(root);
        QVERIFY(mounted.roots().contains(root));
        CreationSync sync(scene.page, mounted, scene.dialogs, scene.progress, *scene.files);
        QVERIFY(sync.run(scene.totalSize()));

        QCOMPARE(sync.deviceRoot(), root);
        QCOMPARE(scene.dialogs.messages().size(), 1);
        QVERIFY(scene.dialogs.messages().first().startsWith("Синхронизация успешно завершена!"));
        QCOMPARE(filesBelow(scene.booksFolder()), 5);
        QCOMPARE(filesBelow(scene.thumbnailsFolder()), 5);
        for (const BookRow &book : scene.page.books.rows()) {
            QFile copy(scene.booksFolder() + book.relative_path);
            QFile source(book.full_path);
            QVERIFY(copy.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
            QCOMPARE(copy.readAll(), source.readAll());
        }
        QCOMPARE(sqliteRows(scene.databasePath(), "select count(*), min(_id), max(_id) from books"),
                 (QList<QVariantList>{{5, 6, 10}}));
        QCOMPARE(sqliteRows(scene.databasePath(), "select title from collection order by _id"),
                 (QList<QVariantList>{{"Классика"}, {"Документы"}, {"Поэзия"}}));
    }

    void refusesWhenTheBooksDoNotFit()
    {
        ScratchVolume volume(1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason() + "; run the tests as root to cover a real volume"));
        const QString root = QDir(volume.path()).canonicalPath() + "/";
        SyncScene scene(root);
        scene.addBooks(SyncScene::usualBooks());
        const SyncScene::Snapshot before = scene.snapshot();
        const QVector<BookRow> books = scene.page.books.rows();

        const OwnReaderVolumes mounted(root);
        CreationSync sync(scene.page, mounted, scene.dialogs, scene.progress, *scene.files);
        QVERIFY(!sync.run(scene.totalSize()));

        QCOMPARE(scene.dialogs.messages().size(), 1);
        QVERIFY(scene.dialogs.messages().first().startsWith("Объем книг вместе с превью\r\n"));
        QVERIFY(scene.dialogs.messages().first().contains("Объем превью: 10 Mb\r\nДоступно места: 0 Mb"));
        QVERIFY(!scene.progress.visible);
        QVERIFY(scene.snapshot() == before);
        QCOMPARE(scene.page.books.rows(), books);
    }
};

QTEST_GUILESS_MAIN(TestCreationSyncMount)
#include "test_creation_sync_mount.moc"
