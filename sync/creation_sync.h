#pragma once

#include "covers/book_formats.h"

#include <QString>
#include <QStringList>
#include <QVector>

class Dialogs;
class FileOperations;
class Progress;
class ReaderSync;
class VolumeList;
struct LibraryPage;
struct PlacementPlan;
struct SyncJournal;

// The synchronisation of the creation page (`synchronizeCreationPage` without the widgets): the reader's
// whole library is replaced by the page's books that are in a collection and by its collections.
// Nothing on the reader is touched before the user has agreed, the reader's database is known to
// be usable and the books are known to fit. The reader's copy of a book that did not change stays
// as it is, with its record; the others are copied, those of the reader's own folders too, whose
// old place is cleared only once the new library is committed. The steps are those of ReaderSync.
class CreationSync
{
public:
    // `formats` says which covers beyond FB2 books' own the thumbnails made take.
    CreationSync(LibraryPage &page, const VolumeList &volumes, Dialogs &dialogs, Progress &progress,
                 FileOperations &files, const BookFormats &formats = {});

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
    bool checkSpace(qint64 totalSize, const PlacementPlan &plan);
    void removeBooksWithoutCollection();
    // `path` as stored when it lies in the reader's books folder, otherwise empty.
    QString storedIfInBooksFolder(const QString &path) const;
    SyncJournal journal(const PlacementPlan &plan, ReaderSync &sync) const;
    // The reader's files that books of the page came from and stay: all but those copied to new places.
    QStringList booksOfTheReaderKept(const PlacementPlan &plan, const QVector<int> &writtenRows) const;
    // Puts every book in its place, returning the rows now on the reader; `notWritten` gets a line for each other book.
    QVector<int> placeBooks(PlacementPlan &plan, QStringList &notWritten);
    void rebuild(ReaderSync &sync, const QVector<int> &writtenRows, const PlacementPlan &plan);

    LibraryPage &m_page;
    const VolumeList &m_volumes;
    Dialogs &m_dialogs;
    Progress &m_progress;
    FileOperations &m_files;
    BookFormats m_formats;
    QString m_deviceRoot;
};
