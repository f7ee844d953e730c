#include "support/sync_scene.h"

#include "booklist/book_intake.h"
#include "collections/statistics.h"
#include "reader/reader_layout.h"
#include "support/fixed_clock.h"
#include "sync/creation_sync.h"
#include "test_paths.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

QString samplePath(const QString &sample)
{
    return QStringLiteral(TESSALY_SAMPLES_DIR "/") + sample;
}

SyncScene::SyncScene(const QString &readerRoot, FixtureReader::Contents contents)
{
    if (readerRoot.isEmpty()) {
        m_ownReader = std::make_unique<FixtureReader>(contents);
        m_readerRoot = m_ownReader->root();
    } else {
        FixtureReader::build(readerRoot, contents);
        m_readerRoot = readerRoot;
    }
    volumes.setRoots({QDir::toNativeSeparators(firstVolume.path() + QLatin1Char('/')), m_readerRoot});
}

QList<SceneBook> SyncScene::usualBooks()
{
    return {
        {QStringLiteral("fb2/example.fb2"), QStringLiteral("Классика/Война и мир.fb2"), QStringLiteral("Классика")},
        {QStringLiteral("pdf/project-history.en.pdf"), QStringLiteral("Документы/history.pdf"),
         QStringLiteral("Документы")},
        {QStringLiteral("fb2/test2.1.fb2"), QStringLiteral("Классика/Рыбы/test2.1.fb2"), QStringLiteral("Классика")},
        {QStringLiteral("txt/Зимнее утро.txt"), QStringLiteral("Документы/Зимнее утро.txt"),
         QStringLiteral("Документы")},
        {QStringLiteral("fb2/meta.fb2"), QStringLiteral("Разное/meta.fb2"), QString()},
        {QStringLiteral("epub/wasteland.epub"), QStringLiteral("wasteland.epub"), QStringLiteral("Поэзия")},
    };
}

void SyncScene::addBooks(const QList<SceneBook> &books, const QStringList &extraCollections)
{
    QHash<QString, QString> collectionOf;
    QStringList collections;
    for (const SceneBook &book : books) {
        const QString target = sourceFolder() + QLatin1Char('/') + book.placedAt;
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFile::copy(samplePath(book.sample), target))
            throw std::runtime_error("cannot place " + target.toStdString());
        collectionOf.insert(QDir::toNativeSeparators(target), book.collection);
        if (!book.collection.isEmpty() && !collections.contains(book.collection))
            collections << book.collection;
    }
    collections << extraCollections;

    const FixedClock clock(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    RecordingProgress intakeProgress;
    BookIntake intake(page.books, intakeProgress, clock, formats);
    intake.open();
    intake.addPath(QDir::toNativeSeparators(sourceFolder()));
    intake.finish();

    QHash<QString, int> counts;
    page.books.updateRows([&](BookRow &row) {
        row.collection = collectionOf.value(row.full_path);
        ++counts[row.collection];
        return true;
    });
    QVector<CollectionRow> rows;
    for (const QString &name : std::as_const(collections))
        rows.append({name, QString::number(counts.value(name)), {}});
    page.collections.appendRows(rows);
}

void SyncScene::addPath(const QString &path, const QString &collection)
{
    const FixedClock clock(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    RecordingProgress intakeProgress;
    const int before = page.books.rowCount();
    BookIntake intake(page.books, intakeProgress, clock, formats);
    intake.open();
    intake.addPath(path);
    intake.finish();
    int added = 0;
    for (int row = before; row < page.books.rowCount(); ++row) {
        page.books.updateRow(row, [&](BookRow &book) { book.collection = collection; });
        ++added;
    }
    const int existing = page.collections.indexOfName(collection);
    if (existing >= 0)
        page.collections.adjustBookCount(existing, added);
    else
        page.collections.appendRow({collection, QString::number(added), {}});
}

qint64 SyncScene::totalSize()
{
    return updateStatistics(page).total_size;
}

bool SyncScene::run()
{
    return run(totalSize());
}

bool SyncScene::run(qint64 totalSize)
{
    CreationSync sync(page, volumes, dialogs, progress, *files, formats);
    return sync.run(totalSize);
}

QString SyncScene::databasePath() const
{
    return ReaderLayout::databasePath(m_readerRoot);
}

QString SyncScene::booksFolder() const
{
    return ReaderLayout::booksFolderPath(m_readerRoot);
}

QString SyncScene::thumbnailsFolder() const
{
    return ReaderLayout::thumbnailsFolderPath(m_readerRoot);
}

QMap<QString, QByteArray> SyncScene::readerFiles() const
{
    QMap<QString, QByteArray> files;
    const QDir root(m_readerRoot);
    QDirIterator entries(m_readerRoot, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QString relative = root.relativeFilePath(path);
        if (entries.fileInfo().isDir()) {
            files.insert(relative + QLatin1Char('/'), {});
            continue;
        }
        QFile file(path);
        files.insert(relative, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)"));
    }
    return files;
}

SyncScene::Snapshot SyncScene::snapshot() const
{
    return {readerFiles(), sqliteSnapshot(databasePath())};
}
