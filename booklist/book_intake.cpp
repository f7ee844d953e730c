#include "booklist/book_intake.h"

BookIntake::BookIntake(BookTable &books, Progress &progress, const Clock &clock)
    : m_books(books), m_progress(progress), m_clock(clock)
{}

void BookIntake::open()
{}

void BookIntake::addPath(const QString &)
{}

QStringList BookIntake::finish()
{
    return {};
}

QString unreadableBooksMessage(const QStringList &)
{
    return {};
}
