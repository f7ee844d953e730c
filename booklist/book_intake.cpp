#include "booklist/book_intake.h"

#include "booklist/book_file_kinds.h"
#include "booklist/book_passes.h"
#include "booklist/book_table.h"
#include "booklist/book_table_layout.h"
#include "booklist/duplicate_books.h"
#include "booklist/folder_scan.h"
#include "booklist/new_book_rows.h"
#include "core/progress.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {
constexpr int IntakeSteps = 30;

// Rows appended while it lives reach the views in one insertion.
class BulkAppend
{
public:
    explicit BulkAppend(BookTable &books) : m_books(books) { m_books.beginBulk(); }
    ~BulkAppend() { m_books.endBulk(); }
    BulkAppend(const BulkAppend &) = delete;
    BulkAppend &operator=(const BulkAppend &) = delete;

private:
    BookTable &m_books;
};

// Appends the files of `more` not yet in `files`.
void addOnce(QStringList &files, QSet<QString> &listed, const QStringList &more)
{
    for (const QString &file : more)
        if (!listed.contains(file)) {
            listed.insert(file);
            files << file;
        }
}
} // namespace

BookIntake::BookIntake(BookTable &books, Progress &progress, const Clock &clock)
    : m_books(books), m_progress(progress), m_clock(clock)
{}

void BookIntake::open()
{
    ProgressSteps::open(m_progress, IntakeSteps, QStringLiteral("Идет загрузка файлов..."));
}

void BookIntake::addPath(const QString &path)
{
    const QString native = QDir::toNativeSeparators(path);
    if (native.isEmpty())
        return;
    const QFileInfo info(native);
    if (info.isDir()) {
        // The folder added is the scan root: its name becomes the top folder of the books' paths.
        const BulkAppend bulk(m_books);
        m_undecodable += scanFolder(native, native, m_books, m_progress);
    } else if (info.isFile() && hasBookExtension(native)) {
        m_books.append(singleBookRow(native));
    }
}

QStringList BookIntake::finish()
{
    setBookTableWidths(m_books);
    if (m_books.rowCount() > 0) {
        m_books.setHeaderTexts(bookTableHeaderTexts());
        m_books.setHeaderAlignment(CollectionColumn, Qt::AlignHCenter);
    }

    ProgressSteps::phase(m_progress, 15, QStringLiteral("Получаю размер файлов..."), Progress::Repaint::Window);
    QStringList unreadable;
    QSet<QString> listed;
    addOnce(unreadable, listed, runSizePass(m_books, m_progress, m_clock));

    ProgressSteps::phase(m_progress, 25, QStringLiteral("Получаю данные о книгах..."), Progress::Repaint::Window);
    addOnce(unreadable, listed, runMetadataPass(m_books, m_progress));

    ProgressSteps::phase(m_progress, IntakeSteps, QString(), Progress::Repaint::Window);
    ProgressSteps::close(m_progress, IntakeSteps);

    removeDuplicateBooks(m_books);
    return unreadable;
}

namespace {
// The first twenty files, one a line, and how many more there are.
QString fileLines(const QStringList &files)
{
    constexpr qsizetype Shown = 20;
    QString text = files.first(std::min(files.size(), Shown)).join(u'\n');
    if (files.size() > Shown)
        text += QStringLiteral("\n… и еще %1").arg(files.size() - Shown);
    return text;
}
} // namespace

QString unreadableBooksMessage(const QStringList &files)
{
    if (files.isEmpty())
        return {};
    return QStringLiteral("Не удалось прочитать файлы книг (%1 шт.): они удалены, перемещены или недоступны. "
                          "Их размер и данные о книге не обновлены.\n")
               .arg(files.size()) +
           fileLines(files);
}

QString undecodableBooksMessage(const QStringList &files)
{
    if (files.isEmpty())
        return {};
    return QStringLiteral("Не удалось добавить файлы книг (%1 шт.): их имена или имена их папок записаны не в "
                          "кодировке UTF-8. Переименуйте их и добавьте снова.\n")
               .arg(files.size()) +
           fileLines(files);
}
