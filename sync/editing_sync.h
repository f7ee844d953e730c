#pragma once

#include <QString>

class Dialogs;
class FileOperations;
class Progress;
class VolumeList;
struct LibraryPage;

// The synchronisation of the editing page (`eSynchronizebutton` without the widgets): the
// reader's books.db and thumbnails are written again from the page's rows, its book files are
// left as they are. Every book loaded stays in the library, with its notes and bookmarks; the
// page decides titles and collections, and what it does not show keeps its loaded values. The
// steps and their order are those of ReaderSync.
class EditingSync
{
public:
    EditingSync(LibraryPage &page, const VolumeList &volumes, Dialogs &dialogs, Progress &progress,
                FileOperations &files);

    // True only when the reader's library is written: the window may close then. Otherwise the
    // user has been told why, the progress window is hidden, the reader holds its previous
    // library and the page's rows are as they were.
    bool run();

    // The reader the run found, or empty.
    const QString &deviceRoot() const { return m_deviceRoot; }

private:
    void write();

    LibraryPage &m_page;
    const VolumeList &m_volumes;
    Dialogs &m_dialogs;
    Progress &m_progress;
    FileOperations &m_files;
    QString m_deviceRoot;
};

// The refusal when the reader attached is not the library the page loaded (another reader, or
// books changed on it since).
QString readerChangedMessage();
