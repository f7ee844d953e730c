#pragma once

#include "covers/book_formats.h"

#include <QString>

class Dialogs;
class FileOperations;
class Progress;
class VolumeList;
struct LibraryPage;

// The synchronisation of the editing page (`eSynchronizebutton` without the widgets): the
// reader's books.db and thumbnails are written again from the page's rows, its book files are
// left as they are. Every book loaded keeps its record, with its thumbnail, notes, bookmarks,
// reading position and history; the page decides titles and collections, and what it does not
// show keeps its stored values. The steps are those of ReaderSync.
class EditingSync
{
public:
    // `formats` says which covers beyond FB2 books' own the thumbnails made take.
    EditingSync(LibraryPage &page, const VolumeList &volumes, Dialogs &dialogs, Progress &progress,
                FileOperations &files, const BookFormats &formats = {});

    // True only when the reader's library is written: the window may close then. Otherwise the
    // user has been told why, the progress window is hidden, the reader holds its previous
    // library and the page's rows are as they were, or the library is committed and the user is
    // told that the next synchronisation puts the rest in place.
    bool run();

    // The reader the run found, or empty.
    const QString &deviceRoot() const { return m_deviceRoot; }

private:
    // True when what the library names is in place.
    bool write();

    LibraryPage &m_page;
    const VolumeList &m_volumes;
    Dialogs &m_dialogs;
    Progress &m_progress;
    FileOperations &m_files;
    BookFormats m_formats;
    QString m_deviceRoot;
};

// The refusal when the reader attached is not the library the page loaded (another reader, or
// books changed on it since).
QString readerChangedMessage();
