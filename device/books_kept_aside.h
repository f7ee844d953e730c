#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// Book files chosen from inside the reader's own folders, which the clearing before a
// synchronisation would delete before they are copied. They are renamed aside into a folder
// of their own on the reader (no copy, no extra space), copied from there, and returned to
// their places unless their copy reached the reader.
class BooksKeptAside
{
public:
    // Picks those of `files` that lie inside one of `folders`: a file there or a link there,
    // whatever it points at, since the clearing removes both.
    BooksKeptAside(const QStringList &files, const QStringList &folders);
    // Unless the keeping has ended, whatever is aside goes back to its place.
    ~BooksKeptAside();
    BooksKeptAside(const BooksKeptAside &) = delete;
    BooksKeptAside &operator=(const BooksKeptAside &) = delete;

    bool isEmpty() const { return m_files.isEmpty(); }
    const QStringList &files() const { return m_files; }
    // What the clearing would have counted as freed of these files: they stay on the reader.
    qint64 bytesStaying() const;

    // Moves them into a new folder below `keepRoot`, a folder on the same volume. When one
    // cannot move, those already moved go back and the answer is false; failedFile() names it.
    bool moveAside(const QString &keepRoot);
    const QString &failedFile() const { return m_failedFile; }

    // Where `file` is to be read from now: its place aside, or the file itself.
    QString currentPath(const QString &file) const { return m_aside.value(file, file); }

    // Ends the keeping after a run that wrote the reader's library: the files in `copied` are
    // on the reader now and their originals aside go; every other file returns to its place
    // unless a copy of another book stands there now. False when something stays in folder().
    bool finish(const QSet<QString> &copied);
    // Ends the keeping after a run that failed: every file returns to its place, replacing a
    // copy made meanwhile. False when something stays in folder().
    bool returnAll();
    const QString &folder() const { return m_folder; }

private:
    enum class Return { OverCopies, BesideCopies };
    bool end(const QSet<QString> &copied, Return others);

    QStringList m_files;
    QHash<QString, QString> m_aside; // file -> its place aside, while it is there
    QString m_folder;
    QString m_failedFile;
    bool m_ended = false;
};
