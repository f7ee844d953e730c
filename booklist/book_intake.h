#pragma once

#include "covers/book_formats.h"

#include <QString>
#include <QStringList>

class BookTable;
class Clock;
class Progress;

// One intake of books into the file list: open the progress window, add paths (book
// files or folders), finish (widths, headers, the two passes, duplicate removal). The
// caller refreshes the statistics afterwards and shows unreadableBooksMessage() when
// finish() names files, undecodableBooksMessage() for undecodableFiles() and
// unfitArchivesMessage() for unfitArchives().
class BookIntake
{
public:
    BookIntake(BookTable &books, Progress &progress, const Clock &clock, const BookFormats &formats = {});

    // Opens the progress window for intake.
    void open();
    // A folder is scanned (even one named like a book), a book file becomes one row; a path
    // that is neither adds nothing. With zipped FB2 books switched on a ZIP archive is a book file.
    void addPath(const QString &path);
    // Finishes the intake; returns the files that could not be read by the passes, each once.
    QStringList finish();
    // The book files the folder scans found but could not add, their names not being text.
    const QStringList &undecodableFiles() const { return m_undecodable; }
    // The archives added that hold no single FB2 book fit to unpack, each with the reason; they
    // are not in the list.
    const QStringList &unfitArchives() const { return m_unfitArchives; }

private:
    void removeUnfitArchives();

    BookTable &m_books;
    Progress &m_progress;
    const Clock &m_clock;
    BookFormats m_formats;
    int m_firstNewRow;
    QStringList m_undecodable;
    QStringList m_unfitArchives;
};

// The message naming books that could not be read, or empty when there are none.
QString unreadableBooksMessage(const QStringList &files);
// The message naming books left out because their names are not text, or empty when none.
QString undecodableBooksMessage(const QStringList &files);
// The message naming archives left out, or empty when none.
QString unfitArchivesMessage(const QStringList &archives);
