#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class BooksKeptAside;
class Dialogs;
class Progress;
class VolumeList;
struct LibraryPage;

// The synchronisation of the creation page (`synchronizeCreationPage` without the widgets): the reader's
// whole library is replaced by the page's books that are in a collection and by its collections.
// Nothing on the reader is touched before the user has agreed and the books are known to fit;
// a book file the user chose from the reader's own books folder is kept safe meanwhile.
class CreationSync
{
public:
    CreationSync(LibraryPage &page, const VolumeList &volumes, Dialogs &dialogs, Progress &progress);

    // Runs it with the page's `total_size` as the last statistics left it. True only when every
    // book is on the reader and its library is rebuilt: the window may close then. Otherwise
    // the user has been told why (or answered No), the progress window is hidden and the page
    // holds every book that is not on the reader.
    bool run(qint64 totalSize);

    // The reader the last run found, or empty.
    const QString &deviceRoot() const { return m_deviceRoot; }

private:
    // False when the books do not fit: the user has been told.
    bool checkSpace(qint64 totalSize, int count, const BooksKeptAside &kept);
    void removeBooksWithoutCollection();
    void clearReaderFolders();
    // Copies the books, returning the rows copied; `notCopied` gets a line for each other book.
    QVector<int> copyBooks(const BooksKeptAside &kept, QStringList &notCopied);
    void rebuild(const QVector<int> &copiedRows, const BooksKeptAside &kept);

    LibraryPage &m_page;
    const VolumeList &m_volumes;
    Dialogs &m_dialogs;
    Progress &m_progress;
    QString m_deviceRoot;
};

// The message that replaces the success message when books did not reach the reader; each of
// `books` is one line. Long lists are cut short.
QString booksNotCopiedMessage(const QStringList &books);
