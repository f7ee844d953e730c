#include "covers/cover_fitting.h"
#include "covers/cover_thumbnail.h"
#include "covers/fb2_cover.h"
#include "covers/jpeg_codec.h"
#include "covers/png_recoder.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray fb2WithCover(const QByteArray &id, const QByteArray &picture, const QByteArray &padding = {})
{
    QByteArray base64;
    const QByteArray encoded = picture.toBase64();
    for (qsizetype at = 0; at < encoded.size(); at += 76)
        base64 += encoded.mid(at, 76) + "\r\n";
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<FictionBook xmlns:l=\"http://www.w3.org/1999/xlink\">"
           "<description><title-info><book-title>Книга</book-title><coverpage><image l:href=\"#" +
           id + "\"/></coverpage></title-info></description><body><p>" + padding + "</p></body><binary id=\"" + id +
           "\">" + base64 + "</binary></FictionBook>\r\n";
}

// Noise: the hardest picture to compress.
RgbPixels noise(int width, int height, bool alpha)
{
    RgbPixels pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.hasAlpha = alpha;
    pixels.samples = QByteArray(qsizetype(width) * height * pixels.channels(), Qt::Uninitialized);
    QRandomGenerator random(7);
    for (char &sample : pixels.samples)
        sample = char(random.bounded(256));
    return pixels;
}

QString writeBook(const QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath("книга.fb2");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}

// AddressSanitizer keeps freed memory resident for a while to catch late uses, so under it the
// process's resident size no longer tells how much the code held at once.
#if defined(__SANITIZE_ADDRESS__)
#define TESSALY_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSALY_ADDRESS_SANITIZER
#endif
#endif

// The most memory the process has held since the last call, in KiB; -1 where the system cannot tell.
qint64 peakMemorySinceLastAsked()
{
#if defined(Q_OS_LINUX) && !defined(TESSALY_ADDRESS_SANITIZER)
    QFile status("/proc/self/status");
    qint64 peak = -1;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                peak = line.mid(6).trimmed().split(' ').first().toLongLong();
    QFile reset("/proc/self/clear_refs");
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        return -1;
    return peak;
#else
    return -1;
#endif
}
} // namespace

class TestCoverLimits : public QObject
{
    Q_OBJECT
private slots:
    // A cover larger than the reader's screen or the 200 KB the space check allows is made again as
    // a JPEG that fits both; the picture keeps its proportions.
    void anOversizedCoverIsScaledToFit_data()
    {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("picture");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("a large JPEG") << QByteArray("cover.jpg") << *encodeJpeg(noise(2400, 3200, false), 95) << 758
                                      << 1010;
        QTest::newRow("a light JPEG larger than the screen")
            << QByteArray("cover.jpg")
            << *encodeJpeg(RgbPixels{2000, 2400, false, QByteArray(2000 * 2400 * 3, '\x60')}, 90) << 758 << 909;
        QTest::newRow("a JPEG of the screen's size, too heavy")
            << QByteArray("cover.jpg") << *encodeJpeg(noise(700, 900, false), 100) << 700 << 900;
        QTest::newRow("a large PNG with transparency")
            << QByteArray("cover.png") << *encodePng(noise(1500, 1000, true)) << 758 << 505;
        QTest::newRow("a PNG of the screen's size, too heavy")
            << QByteArray("cover.png") << *encodePng(noise(600, 800, false)) << 600 << 800;
    }

    void anOversizedCoverIsScaledToFit()
    {
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, picture);
        QFETCH(int, width);
        QFETCH(int, height);
        QTemporaryDir dir;

        const Thumbnail thumbnail = coverThumbnail(writeBook(dir, fb2WithCover(id, picture)));

        QCOMPARE(thumbnail.source, ThumbnailSource::Cover);
        QVERIFY(thumbnail.bytes.size() <= ThumbnailAllowanceBytes);
        const std::optional<JpegHeader> header = readJpegHeader(thumbnail.bytes);
        QVERIFY(header);
        QCOMPARE(header->width, width);
        QCOMPARE(header->height, height);
    }

    // Covers within the allowance are written as before: a JPEG as it is, a PNG encoded again.
    void aCoverWithinTheAllowanceIsNotScaled()
    {
        QTemporaryDir dir;
        const QByteArray jpeg = *encodeJpeg(noise(300, 400, false), 80);
        QVERIFY(jpeg.size() <= ThumbnailAllowanceBytes);
        QCOMPARE(coverThumbnail(writeBook(dir, fb2WithCover("cover.jpg", jpeg))).bytes, jpeg);
        const RgbPixels small = noise(100, 120, true);
        const Thumbnail png = coverThumbnail(writeBook(dir, fb2WithCover("cover.png", *encodePng(small))));
        QCOMPARE(decodePng(png.bytes)->samples, small.samples);
    }

    // A cover of a few bytes that declares a picture or a chunk of gigabytes gets the placeholder
    // at once, without the memory it asks for.
    void aBombGetsThePlaceholder_data()
    {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<QByteArray>("picture");
        QByteArray text("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x64\0\0\0\x64\x08\x02\0\0\0\0\0\0\0", 33);
        text += QByteArray("\x7f\xff\xff\xff", 4) + "tEXt" + QByteArray(8, '\0');
        QTest::newRow("a PNG with a text of two gigabytes") << QByteArray("cover.png") << text;
        // A JPEG header for 60000 x 60000 pixels, too heavy to be written as it is.
        QByteArray huge = *encodeJpeg(noise(64, 64, false), 90);
        const qsizetype frame = huge.indexOf("\xff\xc0");
        QVERIFY(frame > 0);
        huge[frame + 5] = '\xea';
        huge[frame + 6] = '\x60';
        huge[frame + 7] = '\xea';
        huge[frame + 8] = '\x60';
        QTest::newRow("a light JPEG of 60000 pixels a side") << QByteArray("cover.jpg") << huge;
        huge += QByteArray(ThumbnailAllowanceBytes, '\0');
        QTest::newRow("a JPEG of 60000 pixels a side") << QByteArray("cover.jpg") << huge;
    }

    void aBombGetsThePlaceholder()
    {
        QFETCH(QByteArray, id);
        QFETCH(QByteArray, picture);
        QTemporaryDir dir;
        const QString book = writeBook(dir, fb2WithCover(id, picture));
        peakMemorySinceLastAsked();

        const Thumbnail thumbnail = coverThumbnail(book);

        QCOMPARE(thumbnail.source, ThumbnailSource::Placeholder);
        QCOMPARE(thumbnail.bytes, placeholderCover());
        const qint64 peak = peakMemorySinceLastAsked();
        if (peak >= 0)
            QVERIFY2(peak < 200 * 1024, qPrintable(QString("%1 KiB").arg(peak)));
    }

    // The cover of a book of a gigabyte is found with a few megabytes of memory.
    void aHugeBookIsNotReadIntoMemory()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("огромная.fb2");
        const QByteArray cover = *encodeJpeg(noise(200, 300, false), 80);
        const QByteArray text = fb2WithCover("cover.jpg", cover);
        const qsizetype body = text.indexOf("</p>");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.left(body));
        // A gigabyte of nothing in the body, without writing it: the file system keeps a hole.
        QVERIFY(file.seek(qint64(1) << 30));
        file.write(text.mid(body));
        file.close();
        peakMemorySinceLastAsked();

        const Thumbnail thumbnail = coverThumbnail(path);

        QCOMPARE(thumbnail.bytes, cover);
        const qint64 peak = peakMemorySinceLastAsked();
        if (peak >= 0)
            QVERIFY2(peak < 200 * 1024, qPrintable(QString("%1 KiB").arg(peak)));
    }

    // The book is read a block at a time: a mark that falls across two blocks is still found.
    void marksAcrossTheBlocksOfTheBook_data()
    {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<int>("bytesBeforeTheBlockEnds");
        for (const char *mark : {"<coverpage>", "id=\"cover.jpg\"", "QUJDREVGR0hJSg=="})
            for (const int before : {1, 5, 10, 11, 12, 20})
                QTest::newRow(qPrintable(QString("%1 starting %2 before a block's end").arg(mark).arg(before)))
                    << QByteArray(mark) << before;
    }

    void marksAcrossTheBlocksOfTheBook()
    {
        QFETCH(QByteArray, mark);
        QFETCH(int, bytesBeforeTheBlockEnds);
        constexpr int Block = 1 << 20;
        // The padding sits before the mark only when the mark follows the body.
        const QByteArray plain = fb2WithCover("cover.jpg", "ABCDEFGHIJ");
        const bool afterTheBody = plain.indexOf(mark) > plain.indexOf("</p>");
        QByteArray text;
        if (afterTheBody) {
            const int padding = Block - bytesBeforeTheBlockEnds - int(plain.indexOf(mark));
            text = fb2WithCover("cover.jpg", "ABCDEFGHIJ", QByteArray(padding, 'x'));
        } else {
            text = QByteArray(Block - bytesBeforeTheBlockEnds - int(plain.indexOf(mark)), ' ') + plain;
        }
        QCOMPARE(text.indexOf(mark), Block - bytesBeforeTheBlockEnds);

        const Fb2Cover cover = findFb2Cover(text);

        QCOMPARE(cover.imageId, QByteArray("cover.jpg"));
        QCOMPARE(QByteArray::fromBase64(cover.base64Data), QByteArray("ABCDEFGHIJ"));
    }
};

QTEST_GUILESS_MAIN(TestCoverLimits)
#include "test_cover_limits.moc"
