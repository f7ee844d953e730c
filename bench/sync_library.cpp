#include "bench/sync_library.h"

#include "bench/null_progress.h"
#include "bench/synthetic_books.h"
#include "booklist/book_intake.h"
#include "collections/library_page.h"
#include "core/clock.h"
#include "covers/cover_thumbnail.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <sqlite3.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
constexpr int ShelfSize = 100;
constexpr int NewBooks = 100;

QByteArray filler(QRandomGenerator &random, int size, const QByteArray &head)
{
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    bytes.replace(0, head.size(), head);
    return bytes;
}

QByteArray text(int size)
{
    const QByteArray line =
        QStringLiteral("Мороз и солнце; день чудесный! Ещё ты дремлешь, друг прелестный.\r\n").toUtf8();
    QByteArray bytes;
    bytes.reserve(size + line.size());
    while (bytes.size() < size)
        bytes += line;
    bytes.truncate(size);
    return bytes;
}

QByteArray fb2WithCover(int seed, int size, const QByteArray &cover)
{
    QByteArray book = syntheticFb2(seed, seed % 4 == 0, size);
    book += "</section></body>\r\n<binary id=\"cover.jpg\" content-type=\"image/jpeg\">";
    const QByteArray base64 = cover.toBase64();
    for (qsizetype at = 0; at < base64.size(); at += 76)
        book += "\r\n" + base64.mid(at, 76);
    return book + "</binary>\r\n</FictionBook>\r\n";
}

// Writes book i below `folder`; returns its size.
qint64 writeBook(QRandomGenerator &random, const QString &folder, int i)
{
    const QString base = QStringLiteral("%1/Полка %2/Книга %3").arg(folder).arg(i / ShelfSize).arg(i);
    QByteArray book;
    QString path;
    if (i % 2 == 0) {
        book = fb2WithCover(i, 200000 + int(random.bounded(300000)), placeholderCover());
        path = base + QStringLiteral(".fb2");
    } else if (i % 6 == 1) {
        book = filler(random, 600000 + int(random.bounded(1200000)), "%PDF-1.4\n");
        path = base + QStringLiteral(".pdf");
    } else if (i % 6 == 3) {
        book = filler(random, 300000 + int(random.bounded(600000)), QByteArray("PK\x03\x04", 4));
        path = base + QStringLiteral(".epub");
    } else {
        book = text(50000 + int(random.bounded(200000)));
        path = base + QStringLiteral(".txt");
    }
    writeBenchFile(path, book);
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(12, 0)), QFileDevice::FileModificationTime);
    return book.size();
}

void addFolder(LibraryPage &page, const QString &folder)
{
    NullProgress progress;
    const SystemClock clock;
    BookIntake intake(page.books, progress, clock);
    intake.open();
    intake.addPath(folder);
    intake.finish();
}
} // namespace

SyncLibrary::SyncLibrary(int n) : m_count(n)
{
    QRandomGenerator random(2024);
    for (int i = 0; i < n; ++i)
        m_bytes += writeBook(random, books(), i);
    for (int i = 0; i < NewBooks; ++i)
        writeBook(random, newBooks(), n + i);
}

void SyncLibrary::fillPage(LibraryPage &page, bool changed) const
{
    addFolder(page, books());
    if (changed)
        addFolder(page, newBooks());
    const QString added = QDir::toNativeSeparators(newBooks());
    page.books.updateRows([&](BookRow &book) {
        book.collection = QFileInfo(book.full_path).dir().dirName();
        if (book.full_path.startsWith(added))
            book.collection = QStringLiteral("Полка 0");
        else if (changed && book.collection == QStringLiteral("Полка 1"))
            book.collection = QStringLiteral("Полка 2");
        return true;
    });
    QVector<CollectionRow> collections;
    for (int shelf = 0; shelf * ShelfSize < m_count; ++shelf)
        collections.append({QStringLiteral("Полка %1").arg(shelf), QString(), {}});
    page.collections.appendRows(collections);
}

ReaderVolume::ReaderVolume() : m_mountPoint(QStringLiteral("/tmp/tessaly-bench-sync-reader-XXXXXX"))
{
#ifdef Q_OS_UNIX
    if (geteuid() == 0)
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                       QStringLiteral("size=3g"), QStringLiteral("tmpfs"), m_mountPoint.path()}) == 0;
#endif
    if (!m_mounted)
        m_shared = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tessaly-bench-sync-XXXXXX"));
}

ReaderVolume::~ReaderVolume()
{
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {m_mountPoint.path()});
}

QString ReaderVolume::root() const
{
    return (m_mounted ? m_mountPoint.path() : m_shared->path()) + QLatin1Char('/');
}

bool ReaderVolume::makeReader() const
{
    const QString reader = root();
    QDir().mkpath(reader + QStringLiteral("Sony_Reader/database/cache/books"));
    QDir().mkpath(reader + QStringLiteral("Sony_Reader/media/books"));
    QFile schema(QStringLiteral(TESSALY_SHARED_DIR "/fixtures/reader-firmware-schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        return false;
    sqlite3 *database = nullptr;
    sqlite3_open((reader + QStringLiteral("Sony_Reader/database/books.db")).toUtf8().constData(), &database);
    const bool made = sqlite3_exec(database, schema.readAll().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(database);
    return made;
}
