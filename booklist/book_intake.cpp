#include "booklist/book_intake.h"

#include "booklist/book_file_kinds.h"
#include "booklist/book_passes.h"
#include "booklist/book_table.h"
#include "booklist/book_table_layout.h"
#include "booklist/duplicate_books.h"
#include "booklist/folder_scan.h"
#include "booklist/new_book_rows.h"
#include "core/progress.h"
#include "core/zipped_fb2.h"

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

BookIntake::BookIntake(BookTable &books, Progress &progress, const Clock &clock, const BookFormats &formats)
    : m_books(books), m_progress(progress), m_clock(clock), m_formats(formats), m_firstNewRow(books.rowCount())
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
        m_undecodable += scanFolder(native, native, m_books, m_progress, m_formats.zippedFb2);
    } else if (info.isFile() && (hasBookExtension(native) || (m_formats.zippedFb2 && isZippedBookName(native)))) {
        m_books.append(singleBookRow(native));
    }
}

void BookIntake::removeUnfitArchives()
{
    QVector<bool> unfit(m_books.rowCount(), false);
    bool any = false;
    for (int i = m_firstNewRow; i < m_books.rowCount(); ++i) {
        const QString &path = m_books.row(i).full_path;
        if (!isZippedBookName(path))
            continue;
        const ZippedFb2 book = checkZippedFb2(path);
        if (book.problem.isEmpty())
            continue;
        m_unfitArchives << path + QStringLiteral(": ") + book.problem;
        unfit[i] = any = true;
    }
    if (any)
        m_books.removeFlaggedRows(unfit);
}

QStringList BookIntake::finish()
{
    removeUnfitArchives();
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
    addOnce(unreadable, listed, runMetadataPass(m_books, m_progress, m_formats));

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

QString unfitArchivesMessage(const QStringList &archives)
{
    if (archives.isEmpty())
        return {};
    return QStringLiteral("Не удалось добавить архивы книг (%1 шт.): в каждом должна быть одна книга FB2. "
                          "Остальные книги добавлены.\n")
               .arg(archives.size()) +
           fileLines(archives);
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
