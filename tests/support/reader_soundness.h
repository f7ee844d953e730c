#pragma once

#include "booklist/book_row.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// What a reader may hold after any synchronisation, finished or not: books.db passes SQLite's
// integrity check, each book record names a file with the bytes of a book accepted for that record,
// its thumbnail is absent or a cover accepted for that book, and each membership joins a listed
// book to a listed collection.
class ReaderSoundness
{
public:
    // Accepts the reader's library as it is now: each record's book and thumbnail.
    void acceptReader(const QString &root);
    // Accepts `books` as a synchronisation would write them: the bytes of each source under its
    // place on the reader, and the cover made from it.
    void acceptBooks(const QVector<BookRow> &books);

    // Empty when the reader at `root` is sound.
    QStringList faults(const QString &root) const;

private:
    // Records are told apart by their file_path and file_size columns.
    QHash<QString, QSet<QByteArray>> m_books;
    // By the book's content: the thumbnails it may show.
    QHash<QByteArray, QSet<QByteArray>> m_thumbnails;
};

// A digest of a file's bytes; empty when it cannot be read.
QByteArray fileDigest(const QString &path);

// The digest of every file below `folder`, by its path relative to the folder.
QHash<QString, QByteArray> folderDigests(const QString &folder);

// What a run leaves on the reader at `root` besides the library: its journal, files under names
// of their own, books.db's journals, thumbnail folders of no book and one never moved in.
QStringList leftovers(const QString &root);
