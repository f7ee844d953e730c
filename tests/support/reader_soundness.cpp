#include "support/reader_soundness.h"

#include "covers/cover_thumbnail.h"
#include "reader/reader_layout.h"
#include "support/fixture_reader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
QString recordKey(const QString &filePath, qint64 fileSize)
{
    return filePath + QLatin1Char('|') + QString::number(fileSize);
}

QByteArray digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}
} // namespace

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result();
}

QHash<QString, QByteArray> folderDigests(const QString &folder)
{
    QHash<QString, QByteArray> digests;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        digests.insert(QDir(folder).relativeFilePath(path), fileDigest(path));
    }
    return digests;
}

void ReaderSoundness::acceptReader(const QString &root)
{
    const QString database = ReaderLayout::databasePath(root);
    for (const QVariantList &record : sqliteRows(database, "select file_path, file_size, thumbnail from books")) {
        const QByteArray book = fileDigest(root + record.at(0).toString());
        if (book.isEmpty())
            continue;
        m_books[recordKey(record.at(0).toString(), record.at(1).toLongLong())].insert(book);
        const QByteArray thumbnail = fileDigest(root + record.at(2).toString());
        if (!thumbnail.isEmpty())
            m_thumbnails[book].insert(thumbnail);
    }
}

void ReaderSoundness::acceptBooks(const QVector<BookRow> &books)
{
    for (const BookRow &book : books) {
        const QByteArray content = fileDigest(book.full_path);
        m_books[recordKey(ReaderLayout::storedBookPath(book.relative_path), QFileInfo(book.full_path).size())].insert(
            content);
        const Thumbnail cover = coverThumbnail(book.full_path);
        if (cover.source != ThumbnailSource::None)
            m_thumbnails[content].insert(digestOf(cover.bytes));
    }
}

QStringList ReaderSoundness::faults(const QString &root) const
{
    const QString database = ReaderLayout::databasePath(root);
    QStringList found;
    if (sqliteRows(database, "pragma integrity_check") != QList<QVariantList>{{"ok"}})
        found << "books.db fails its integrity check";
    for (const QVariantList &record :
         sqliteRows(database, "select _id, file_path, file_size, thumbnail from books order by _id")) {
        const QString name =
            QStringLiteral("record %1 (%2)").arg(record.at(0).toLongLong()).arg(record.at(1).toString());
        const QByteArray book = fileDigest(root + record.at(1).toString());
        if (book.isEmpty()) {
            found << name + " names no file";
            continue;
        }
        if (!m_books.value(recordKey(record.at(1).toString(), record.at(2).toLongLong())).contains(book))
            found << name + " names a file with other bytes";
        const QByteArray thumbnail = fileDigest(root + record.at(3).toString());
        if (!thumbnail.isEmpty() && !m_thumbnails.value(book).contains(thumbnail))
            found << name + " shows another cover";
    }
    const QList<QVariantList> strayMemberships =
        sqliteRows(database, "select _id from collections where content_id not in (select _id from books) "
                             "or collection_id not in (select _id from collection)");
    if (!strayMemberships.isEmpty())
        found << QStringLiteral("%1 memberships name no book or collection").arg(strayMemberships.size());
    return found;
}

QStringList leftovers(const QString &root)
{
    QStringList found;
    QDirIterator entries(root,
                         {"tessaly-sync.journal", "*.tessaly-new", ".tessaly-copy-*", "books.db-journal",
                          "books.db-wal", "books.db-shm"},
                         QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (entries.hasNext())
        found << entries.next();
    QSet<QString> ids;
    for (const QVariantList &record : sqliteRows(ReaderLayout::databasePath(root), "select _id from books"))
        ids.insert(record.at(0).toString());
    const QString thumbnails = ReaderLayout::thumbnailsFolderPath(root);
    for (const QString &folder : QDir(thumbnails).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (!ids.contains(folder))
            found << thumbnails + folder;
    // A thumbnail folder made whole beside the others and never moved in.
    if (QFileInfo::exists(ReaderLayout::stagedThumbnailsFolderPath(root)))
        found << ReaderLayout::stagedThumbnailsFolderPath(root);
    return found;
}
