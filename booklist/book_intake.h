#pragma once

#include <QString>
#include <QStringList>

class BookTable;
class Clock;
class Progress;

// One intake of books into the file list: open the progress window, add paths (book
// files or folders), finish (widths, headers, the two passes, duplicate removal).
class BookIntake
{
public:
    BookIntake(BookTable &books, Progress &progress, const Clock &clock);

    // Opens the progress window for intake.
    void open();
    // A book file (by extension) becomes one row; anything else is scanned as a folder.
    void addPath(const QString &path);
    // Finishes the intake; returns the files that could not be read by the passes.
    QStringList finish();

private:
    BookTable &m_books;
    Progress &m_progress;
    const Clock &m_clock;
    QString m_scanRoot;
};

// The message naming books that could not be read, or empty when there are none.
QString unreadableBooksMessage(const QStringList &files);
