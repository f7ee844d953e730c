#include "support/library_scenario.h"

#include "booklist/book_intake.h"
#include "reader/reader_layout.h"
#include "support/fixed_clock.h"
#include "support/recording_progress.h"
#include "support/sync_scene.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <stdexcept>

LibraryScenario::LibraryScenario()
{
    for (const SceneBook &book : SyncScene::usualBooks())
        place(book.sample, book.placedAt);
}

void LibraryScenario::place(const QString &sample, const QString &placedAt)
{
    const QString target = sourceFolder() + QLatin1Char('/') + placedAt;
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    if (!QFile::copy(samplePath(sample), target))
        throw std::runtime_error("cannot place " + target.toStdString());
}

void LibraryScenario::change(const QString &placedAt)
{
    QFile book(sourceFolder() + QLatin1Char('/') + placedAt);
    if (!book.open(QIODevice::Append) || book.write("\r\n<!-- исправлено -->\r\n") <= 0)
        throw std::runtime_error("cannot change " + placedAt.toStdString());
    book.close();
    book.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
}

void LibraryScenario::fillPage(LibraryPage &page, const QString &root) const
{
    const FixedClock clock(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    RecordingProgress progress;
    BookIntake intake(page.books, progress, clock);
    intake.open();
    intake.addPath(QDir::toNativeSeparators(sourceFolder()));
    const QString readerBooks = ReaderLayout::booksFolderPath(root);
    for (const QString &path : fromReader)
        intake.addPath(readerBooks + QDir::toNativeSeparators(path));
    intake.finish();

    QStringList order;
    QHash<QString, int> counts;
    page.books.updateRows([&](BookRow &book) {
        const QString path = QDir::fromNativeSeparators(book.full_path);
        const QString key = path.startsWith(QDir::fromNativeSeparators(readerBooks))
                                ? path.mid(QDir::fromNativeSeparators(readerBooks).size())
                                : QDir(sourceFolder()).relativeFilePath(path);
        book.collection = collections.value(key);
        if (!book.collection.isEmpty() && !counts.contains(book.collection))
            order << book.collection;
        ++counts[book.collection];
        return true;
    });
    QVector<CollectionRow> rows;
    for (const QString &name : std::as_const(order))
        rows.append({name, QString::number(counts.value(name)), {}});
    page.collections.appendRows(rows);
}

QString inMemoryFolderTemplate()
{
    const QString shared = QStringLiteral("/dev/shm");
    return (QFileInfo(shared).isDir() && QFileInfo(shared).isWritable() ? shared : QDir::tempPath()) +
           QStringLiteral("/tessaly-test-XXXXXX");
}

void copyReader(const QString &from, const QString &to)
{
    if (QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), from + QStringLiteral("/."), to}) != 0)
        throw std::runtime_error("cannot copy the reader " + from.toStdString());
}
