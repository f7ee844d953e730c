#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class BooksKeptAside;
class Dialogs;
class FileOperations;
class Progress;
class ReaderSync;
class VolumeList;
struct LibraryPage;
struct PlacementPlan;

// The synchronisation of the creation page (`synchronizeCreationPage` without the widgets): the reader's
// whole library is replaced by the page's books that are in a collection and by its collections.
// Nothing on the reader is touched before the user has agreed, the reader's database is known to
// be usable and the books are known to fit. The reader's copy of a book that did not change stays
// as it is; the others are copied. The steps and their order are those of ReaderSync.
class CreationSync
{
public:
    CreationSync(LibraryPage &page, const VolumeList &volumes, Dialogs &dialogs, Progress &progress,
                 FileOperations &files);

    // Runs it with the page's `total_size` as the last statistics left it. True only when every
    // book is on the reader and its library is rebuilt: the window may close then. Otherwise
    // the user has been told why (or answered No), the progress window is hidden and the page
    // holds every book that is not on the reader.
    bool run(qint64 totalSize);

    // The reader the last run found, or empty.
    const QString &deviceRoot() const { return m_deviceRoot; }

private:
    // The number of books in a collection once the user has agreed to go on; 0 when the run stops.
    int askToGoOn();
    // False when the books do not fit: the user has been told.
    bool checkSpace(qint64 totalSize, int count, const PlacementPlan &plan, const ReaderSync &sync);
    void removeBooksWithoutCollection();
    // Deletes what the reader's books folder holds besides the books that stay there.
    void clearBooksFolder(const PlacementPlan &plan, ReaderSync &sync);
    // Puts every book in its place, returning the rows now on the reader; `notWritten` gets a line for each other book.
    QVector<int> placeBooks(const PlacementPlan &plan, BooksKeptAside &aside, QStringList &notWritten);
    void rebuild(ReaderSync &sync, const QVector<int> &writtenRows, const PlacementPlan &plan);

    LibraryPage &m_page;
    const VolumeList &m_volumes;
    Dialogs &m_dialogs;
    Progress &m_progress;
    FileOperations &m_files;
    QString m_deviceRoot;
};
