#include "bench/bench.h"
#include "bench/null_progress.h"
#include "bench/plain_head.h"
#include "bench/synthetic_books.h"
#include "booklist/book_passes.h"
#include "booklist/book_table.h"
#include "booklist/fb2_metadata.h"
#include "covers/book_formats.h"
#include "covers/cover_thumbnail.h"
#include "pdf/poppler_pdf_reader.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include <zip.h>

namespace {
const QString EpubSample = QStringLiteral(TESSALY_SHARED_DIR "/samples/epub/wasteland.epub");
const QString PdfSample = QStringLiteral(TESSALY_SHARED_DIR "/samples/pdf/project-history.en.pdf");
const char *const EpubPackageEntry = "EPUB/wasteland.opf";

enum class Kind { Fb2, ZippedFb2, Epub, Pdf };

// A tenth EPUB, a third of the rest zipped FB2; the thumbnails' mix has a PDF in twenty too.
Kind kindOf(int i, bool withPdf)
{
    if (i % 10 == 0)
        return Kind::Epub;
    if (withPdf && i % 20 == 5)
        return Kind::Pdf;
    return i % 3 == 1 ? Kind::ZippedFb2 : Kind::Fb2;
}

void writeZippedBook(const QString &path, const QByteArray &book)
{
    writeBenchFile(path, {});
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    zip_source_t *source = zip_source_buffer(archive, book.constData(), zip_uint64_t(book.size()), 0);
    zip_file_add(archive, "book.fb2", source, 0);
    zip_close(archive);
}

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// FB2 books of 12,000 bytes (`cover`, when given, appended as their JPEG cover), plain or zipped,
// copies of an EPUB and of a PDF, a thousand to a folder.
QVector<BookRow> makeBooks(const QTemporaryDir &dir, int n, bool withPdf, const QByteArray &cover)
{
    const QByteArray epub = fileContent(EpubSample);
    const QByteArray pdf = fileContent(PdfSample);
    QVector<BookRow> rows;
    rows.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QString base = dir.filePath(QStringLiteral("%1/book %2").arg(i / 1000).arg(i));
        QByteArray fb2 = syntheticFb2(i, i % 2 == 1, 12000);
        if (!cover.isEmpty())
            fb2 += "</section></body>\r\n<binary id=\"cover.jpg\" content-type=\"image/jpeg\">" + cover.toBase64() +
                   "</binary>\r\n</FictionBook>\r\n";
        QString path;
        switch (kindOf(i, withPdf)) {
        case Kind::Fb2:
            writeBenchFile(path = base + QStringLiteral(".fb2"), fb2);
            break;
        case Kind::ZippedFb2:
            writeZippedBook(path = base + QStringLiteral(".fb2.zip"), fb2);
            break;
        case Kind::Epub:
            writeBenchFile(path = base + QStringLiteral(".epub"), epub);
            break;
        case Kind::Pdf:
            writeBenchFile(path = base + QStringLiteral(".pdf"), pdf);
            break;
        }
        rows.append(BookRow{.full_path = path, .file_name = path.mid(path.lastIndexOf(u'/') + 1)});
    }
    return rows;
}

qint64 readEntry(zip_t *archive, const char *name, qint64 limit)
{
    zip_file_t *file = zip_fopen(archive, name, 0);
    if (!file)
        return 0;
    QByteArray buffer(limit, Qt::Uninitialized);
    qint64 got = 0;
    zip_int64_t chunk = 0;
    while (got < limit && (chunk = zip_fread(file, buffer.data() + got, zip_uint64_t(limit - got))) > 0)
        got += chunk;
    zip_fclose(file);
    return got;
}

// What any program must do at least: read the head of each FB2 book, inflating a zipped one's,
// and the package document of each EPUB.
qint64 readHeads(const QVector<BookRow> &rows)
{
    qint64 bytes = 0;
    char buffer[Fb2HeadSize];
    for (const BookRow &row : rows) {
        const QByteArray path = QFile::encodeName(row.full_path);
        if (row.full_path.endsWith(QLatin1StringView(".fb2"))) {
            bytes += readHeadPlainly(row.full_path, buffer, Fb2HeadSize);
            continue;
        }
        int error = 0;
        zip_t *archive = zip_open(path.constData(), ZIP_RDONLY, &error);
        if (!archive)
            continue;
        if (row.full_path.endsWith(QLatin1StringView(".zip")))
            bytes += readEntry(archive, "book.fb2", Fb2HeadSize);
        else
            bytes +=
                readEntry(archive, "META-INF/container.xml", 1 << 16) + readEntry(archive, EpubPackageEntry, 1 << 20);
        zip_discard(archive);
    }
    return bytes;
}

double thumbnailSeconds(const QVector<BookRow> &rows, const BookFormats &formats)
{
    int covers = 0;
    const double seconds = secondsFor([&] {
        for (const BookRow &row : rows)
            covers += coverThumbnail(row.full_path, formats).source == ThumbnailSource::Cover;
    });
    if (covers != rows.size())
        failPhase("formats", QStringLiteral("%1 of %2 thumbnails are covers, %3 the first")
                                 .arg(covers)
                                 .arg(rows.size())
                                 .arg(rows.first().full_path));
    return seconds;
}

const BenchPhase formatsPhase("formats", {100000}, [](int n) {
    QTemporaryDir dir(QStringLiteral("/tmp/tessaly-bench-formats-XXXXXX"));
    const PopplerPdfReader pdf;
    BookFormats formats;
    formats.zippedFb2 = true;
    formats.epubAndPdf = true;
    formats.pdf = &pdf;

    const QVector<BookRow> rows = makeBooks(dir, n, false, {});
    volatile qint64 sink = readHeads(rows); // every measurement starts from a warm cache
    double baseline = 1e9;
    for (int run = 0; run < 3; ++run)
        baseline = std::min(baseline, secondsFor([&] { sink = sink + readHeads(rows); }));
    NullProgress progress;
    double tessaly = 1e9;
    for (int run = 0; run < 3; ++run) {
        BookTable books;
        books.appendRows(rows);
        tessaly = std::min(tessaly, secondsFor([&] {
                               if (!runMetadataPass(books, progress, formats).isEmpty())
                                   failPhase("formats", QStringLiteral("books could not be read"));
                           }));
        for (int i : {0, 1, 2})
            if (books.cellText(i, AuthorColumn).isEmpty())
                failPhase("formats", QStringLiteral("no author read from %1").arg(rows.at(i).full_path));
    }

    // Thumbnails of a mixed library beside those of as many plain FB2 books.
    constexpr int ThumbnailBooks = 2000;
    const QByteArray cover = placeholderCover();
    QTemporaryDir mixedDir(QStringLiteral("/tmp/tessaly-bench-formats-XXXXXX"));
    const QVector<BookRow> mixed = makeBooks(mixedDir, ThumbnailBooks, true, cover);
    QVector<BookRow> plain;
    for (int i = 0; i < ThumbnailBooks; ++i) {
        plain.append({.full_path = mixedDir.filePath(QStringLiteral("plain/%1/book %2.fb2").arg(i / 1000).arg(i))});
        writeBenchFile(plain.last().full_path, fileContent(mixed.at(2).full_path));
    }
    const double mixedSeconds = thumbnailSeconds(mixed, formats);
    const double plainSeconds = thumbnailSeconds(plain, formats);
    reportPhase("formats", n, tessaly, baseline);
    std::printf("formats thumbnails n=%d mixed=%.2fs fb2-only=%.2fs\n", ThumbnailBooks, mixedSeconds, plainSeconds);
});
} // namespace
