#include "bench/bench.h"
#include "bench/synthetic_books.h"
#include "covers/cover_thumbnail.h"
#include "core/file_operations.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int BookSize = 300 * 1024;

QByteArray pngCover()
{
    QImage image(400, 600, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

// A book whose cover sits at the end, where FB2 editors put their binaries, in lines of 76.
QByteArray bookWithCover(int seed, const QByteArray &id, const QByteArray &picture)
{
    QByteArray book = syntheticFb2(seed, seed % 2 == 1, BookSize).replace("#cover.jpg", "#" + id);
    book += "</section></body>\r\n<binary id=\"" + id + "\" content-type=\"image/jpeg\">";
    const QByteArray base64 = picture.toBase64();
    for (qsizetype at = 0; at < base64.size(); at += 76)
        book += "\r\n" + base64.mid(at, 76);
    return book + "</binary>\r\n</FictionBook>\r\n";
}

// The yardstick of a synchronisation: copying the same books with cp -r into a fresh folder.
double copySeconds(const QString &books, const QString &target)
{
    return secondsFor([&] { QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), books, target}); });
}

// A quarter of the covers are PNG, which are decoded and encoded again; the rest are JPEG.
const BenchPhase thumbnailsPhase("thumbnails", {1000}, [](int n) {
    QTemporaryDir dir(QStringLiteral("/tmp/tessaly-bench-thumbnails-XXXXXX"));
    const QByteArray jpeg = placeholderCover();
    const QByteArray png = pngCover();
    QStringList books;
    QStringList folders;
    for (int i = 0; i < n; ++i) {
        const bool isPng = i % 4 == 0;
        books << dir.filePath(QStringLiteral("books/%1/book %2.fb2").arg(i / 100).arg(i));
        writeBenchFile(books.last(), bookWithCover(i, isPng ? "cover.png" : "cover.jpg", isPng ? png : jpeg));
        folders << dir.filePath(QStringLiteral("cache/%1/thumbnail").arg(i + 1));
        QDir().mkpath(folders.last());
    }
    double baseline = 1e9;
    for (int run = 0; run < 3; ++run)
        baseline = std::min(baseline, copySeconds(dir.filePath(QStringLiteral("books")),
                                                  dir.filePath(QStringLiteral("copy %1").arg(run))));

    double tessaly = 1e9;
    FileOperations files;
    for (int run = 0; run < 3; ++run) {
        int covers = 0;
        tessaly = std::min(tessaly, secondsFor([&] {
                               for (int i = 0; i < n; ++i)
                                   covers += writeCoverThumbnail(books[i], folders[i], files) == ThumbnailSource::Cover;
                           }));
        if (covers != n)
            std::fprintf(stderr, "thumbnails: %d of %d covers written\n", covers, n);
    }
    reportPhase("thumbnails", n, tessaly, baseline);
});
} // namespace
