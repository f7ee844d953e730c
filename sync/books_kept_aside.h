#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class FileOperations;

// Book files that move within the reader: chosen from the reader's own folders for another place
// there. The clearing before the copies would delete them, so they are first renamed into a folder
// of their own on the reader (no copy, no extra space) beside a list of where each came from and
// where it goes, and then renamed to their new places. A run that stops half-way leaves that list
// behind, and the next run puts each book back where the user's file list expects it.
class BooksKeptAside
{
public:
    BooksKeptAside(const QString &deviceRoot, FileOperations &files);
    // Unless the keeping has ended, every book returns to its place.
    ~BooksKeptAside();
    BooksKeptAside(const BooksKeptAside &) = delete;
    BooksKeptAside &operator=(const BooksKeptAside &) = delete;

    struct Move
    {
        QString file;        // the book's file on the reader, links resolved
        QString destination; // its new place on the reader; empty: it has none and stays aside
    };
    // Sets the files aside. Answers those that could not be: they stay where they are.
    QStringList moveAside(const QVector<Move> &moves);
    // Puts the book set aside from `file` at its destination. False when it cannot: it stays aside.
    bool place(const QString &file);

    // Ends the keeping once the new library is committed: a book still aside returns to its
    // place when that is free. False when something stays in folder().
    bool finish();
    // Ends the keeping after a failure: every book, aside or placed, returns to its place.
    // False when something stays in folder().
    bool returnAll();
    const QString &folder() const { return m_folder; }

    // Puts back what runs that stopped half-way left aside on the reader: a book still aside, or
    // one already at its new place that no record names (`isListed` answers for a stored
    // file_path), returns to its place when that is free; a book that a record names at its new
    // place stays there. Answers the folders where something stays because its place is taken.
    static QStringList recover(const QString &deviceRoot, FileOperations &files,
                               const std::function<bool(const QByteArray &storedPath)> &isListed);

private:
    struct Entry
    {
        QString aside;
        QString original;
        QString destination;
        bool placed = false;
    };
    bool end(bool returnPlaced);

    QString m_deviceRoot;
    FileOperations &m_files;
    QString m_folder;
    QHash<QString, Entry> m_entries; // by the book's file
    bool m_ended = false;
};
