#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The reader's thumbnails folder as one read of it lists it, each entry told by the listing alone.
// On the reader's FAT volume every lookup of a name scans that folder, which holds one folder per
// book: one listing stands in for tens of thousands of lookups. Thumbnails are only ever put there
// whole (see ReaderLayout::StagedThumbnailsFolder), so a record's folder stands for its thumbnail.
class ThumbnailFolders
{
public:
    // Lists the thumbnails folder below `deviceRoot`; a missing one lists nothing.
    static ThumbnailFolders read(const QString &deviceRoot);

    // Whether record `id` has its folder there.
    bool holds(qint64 id) const { return m_ids.contains(id); }
    // The records that have their folders there.
    const QSet<qint64> &ids() const { return m_ids; }
    // The names of every other entry: files, links, folders not named by a record id.
    const QStringList &others() const { return m_others; }

private:
    QSet<qint64> m_ids;
    QStringList m_others;
};
