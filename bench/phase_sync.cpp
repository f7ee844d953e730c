#include "bench/bench.h"
#include "bench/null_progress.h"
#include "bench/synthetic_books.h"
#include "booklist/book_intake.h"
#include "collections/library_page.h"
#include "collections/statistics.h"
#include "core/clock.h"
#include "core/dialogs.h"
#include "device/cover_thumbnail.h"
#include "device/creation_sync.h"
#include "device/file_operations.h"
#include "device/folder_clearing.h"
#include "device/volume_list.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
constexpr int Repeats = 3;
constexpr int FolderSize = 100;

// Every question answered Yes; the last message kept, to tell how the run ended.
class YesDialogs : public Dialogs
{
public:
    QString lastMessage;
    bool confirm(const QString &, const QString &) override { return true; }
    QString inputBox(const QString &, const QString &, const QString &defaultText) override { return defaultText; }
    void message(const QString &text) override { lastMessage = text; }
    QString openFile(const QString &) override { return {}; }
    QString browseForFolder(const QString &) override { return {}; }
};

class ReaderVolumes : public VolumeList
{
public:
    explicit ReaderVolumes(QString reader) : m_reader(std::move(reader)) {}
    QStringList roots() const override { return {QStringLiteral("/"), m_reader}; }

private:
    QString m_reader;
};

// A volume for the reader: a tmpfs of its own when root may mount one, else /dev/shm.
class ReaderVolume
{
public:
    ReaderVolume() : m_mountPoint(QStringLiteral("/tmp/tessaly-bench-sync-reader-XXXXXX"))
    {
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            m_mounted = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                                    QStringLiteral("-o"), QStringLiteral("size=3g"),
                                                                    QStringLiteral("tmpfs"), m_mountPoint.path()}) == 0;
#endif
        if (!m_mounted)
            m_shared = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/tessaly-bench-sync-XXXXXX"));
    }
    ~ReaderVolume()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_mountPoint.path()});
    }
    QString root() const
    {
        return (m_mounted ? m_mountPoint.path() : m_shared->path()) + QLatin1Char('/');
    }
    const char *kind() const
    {
        return m_mounted ? "a tmpfs of its own" : "/dev/shm";
    }

private:
    QTemporaryDir m_mountPoint;
    bool m_mounted = false;
    std::unique_ptr<QTemporaryDir> m_shared;
};

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

// Half FB2 books with covers, the rest PDF, EPUB and TXT of the sizes libraries hold: about
// 0.5 MB a book. Returns the bytes written.
qint64 writeBooks(const QString &folder, int n)
{
    QRandomGenerator random(2024);
    const QByteArray cover = placeholderCover();
    qint64 bytes = 0;
    for (int i = 0; i < n; ++i) {
        const QString base = QStringLiteral("%1/Полка %2/Книга %3").arg(folder).arg(i / FolderSize).arg(i);
        QByteArray book;
        QString path;
        if (i % 2 == 0) {
            book = fb2WithCover(i, 200000 + int(random.bounded(300000)), cover);
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
        bytes += book.size();
    }
    return bytes;
}

void makeReader(const QString &root)
{
    QDir().mkpath(root + QStringLiteral("Sony_Reader/database/cache/books"));
    QDir().mkpath(root + QStringLiteral("Sony_Reader/media/books"));
    QFile schema(QStringLiteral(TESSALY_SOURCE_DIR "/../shared/fixtures/reader-firmware-schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        std::fprintf(stderr, "sync: cannot read the reader's schema\n");
    sqlite3 *database = nullptr;
    sqlite3_open((root + QStringLiteral("Sony_Reader/database/books.db")).toUtf8().constData(), &database);
    sqlite3_exec(database, schema.readAll().constData(), nullptr, nullptr, nullptr);
    sqlite3_close(database);
}

void emptyReaderFolders(const QString &root)
{
    FileOperations files;
    clearFolderTree(root + QStringLiteral("Sony_Reader/media/books"), files);
    clearFolderTree(root + QStringLiteral("Sony_Reader/database/cache/books"), files);
}

// A synchronisation of n books beside cp -r of the same book files to the same place.
const BenchPhase syncPhase("sync", {2000}, [](int n) {
    QTemporaryDir sources(QStringLiteral("/tmp/tessaly-bench-sync-XXXXXX"));
    const QString books = sources.filePath(QStringLiteral("Книги"));
    const qint64 bytes = writeBooks(books, n);
    const ReaderVolume volume;
    const QString root = volume.root();
    makeReader(root);

    // The page as an intake and one collection per shelf leave it.
    LibraryPage page(LibraryPage::Kind::Creation);
    NullProgress progress;
    const SystemClock clock;
    BookIntake intake(page.books, progress, clock);
    intake.open();
    intake.addPath(books);
    intake.finish();
    page.books.updateRows([](BookRow &book) {
        book.collection = QFileInfo(book.full_path).dir().dirName();
        return true;
    });
    QVector<CollectionRow> collections;
    for (int shelf = 0; shelf * FolderSize < n; ++shelf)
        collections.append({QStringLiteral("Полка %1").arg(shelf), QString::number(FolderSize), {}});
    page.collections.appendRows(collections);
    const qint64 totalSize = updateStatistics(page).total_size;
    const QVector<BookRow> rows = page.books.rows();
    std::fprintf(stderr, "sync: %d books, %.2f GB, reader on %s\n", n, double(bytes) / 1e9, volume.kind());

    const ReaderVolumes volumes(root);
    const QString target = root + QStringLiteral("Sony_Reader/media/books/");
    double baseline = 1e9;
    double tessaly = 1e9;
    for (int run = 0; run < Repeats; ++run) {
        emptyReaderFolders(root);
        baseline = std::min(baseline, secondsFor([&] {
                                QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), books, target});
                            }));
        emptyReaderFolders(root);
        page.books.replaceRows(rows);
        YesDialogs dialogs;
        FileOperations files;
        CreationSync sync(page, volumes, dialogs, progress, files);
        bool succeeded = false;
        tessaly = std::min(tessaly, secondsFor([&] { succeeded = sync.run(totalSize); }));
        if (!succeeded)
            std::fprintf(stderr, "sync: the run did not succeed: %s\n", qPrintable(dialogs.lastMessage));
    }
    emptyReaderFolders(root);
    reportPhase("sync", n, tessaly, baseline);
});
} // namespace
