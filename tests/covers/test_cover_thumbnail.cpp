#include "core/file_operations.h"
#include "core/tessaly_error.h"
#include "covers/base64_decoder.h"
#include "covers/cover_thumbnail.h"
#include "covers/fb2_cover.h"
#include "covers/jpeg_codec.h"
#include "covers/png_recoder.h"
#include "test_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(CoverKind)
Q_DECLARE_METATYPE(ThumbnailSource)

namespace {
// The real file operations, as the synchronisation writes through them.
FileOperations readerFiles;

const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);

QString samplePath(const QString &relative)
{
    return QStringLiteral(TESSALY_SAMPLES_DIR "/") + relative;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The picture stored under `id` in an FB2 text, decoded by Qt's own base64 decoder so that the
// expectation does not come from the code under test.
QByteArray storedPicture(const QByteArray &fb2, const QByteArray &id)
{
    const qsizetype attribute = fb2.indexOf("id=\"" + id + '"');
    const qsizetype open = fb2.indexOf('>', attribute);
    const qsizetype close = fb2.indexOf('<', open);
    return QByteArray::fromBase64(fb2.mid(open + 1, close - open - 1));
}

QByteArray samplePicture(const QString &book, const QByteArray &id)
{
    return storedPicture(readFile(samplePath(book)), id);
}

// Base64 broken into lines as FB2 editors write it.
QByteArray wrappedBase64(const QByteArray &bytes, int width, const QByteArray &lineBreak)
{
    const QByteArray text = bytes.toBase64();
    QByteArray wrapped;
    for (qsizetype at = 0; at < text.size(); at += width)
        wrapped += lineBreak + text.mid(at, width);
    return wrapped + lineBreak;
}

QByteArray fb2Book(const QByteArray &coverpage, const QByteArray &binaryId, const QByteArray &base64)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
           "xmlns:l=\"http://www.w3.org/1999/xlink\">\r\n<description><title-info>"
           "<author><first-name>Лев</first-name><last-name>Толстой</last-name></author>"
           "<book-title>Книга</book-title>" +
           coverpage +
           "</title-info></description>\r\n<body><section><p>Текст</p></section></body>\r\n"
           "<binary id=\"" +
           binaryId + "\" content-type=\"image/jpeg\">" + base64 + "</binary>\r\n</FictionBook>\r\n";
}

QByteArray coverpageOf(const QByteArray &id)
{
    return "<coverpage><image l:href=\"#" + id + "\"/></coverpage>";
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    return QByteArray(1, char(value >> 24)) + char(value >> 16) + char(value >> 8) + char(value);
}

QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    return bigEndian(quint32(data.size())) + type + data + bigEndian(crc32(type + data));
}

// Width and height as the IHDR chunk of a PNG file states them.
QSize pngHeaderSize(const QByteArray &png)
{
    const auto number = [&png](int at) {
        return int(quint8(png[at]) << 24 | quint8(png[at + 1]) << 16 | quint8(png[at + 2]) << 8 | quint8(png[at + 3]));
    };
    return png.size() < 24 ? QSize() : QSize(number(16), number(20));
}

struct BookInFolder
{
    QString book;
    QString folder;
};

// A book file and an empty thumbnail folder beside it.
BookInFolder prepareBook(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString folder = dir.filePath(QStringLiteral("thumbnail"));
    QDir().mkpath(folder);
    const QString book = dir.filePath(name);
    QFile file(book);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return {book, folder};
}
} // namespace

class TestCoverThumbnail : public QObject
{
    Q_OBJECT
private slots:
    void base64SkipsEverythingOutsideTheAlphabet_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("one group") << QByteArray("TWFu") << QByteArray("Man");
        QTest::newRow("one filler") << QByteArray("TWE=") << QByteArray("Ma");
        QTest::newRow("two fillers") << QByteArray("TQ==") << QByteArray("M");
        QTest::newRow("no fillers") << QByteArray("TWFuTWE") << QByteArray("ManMa");
        QTest::newRow("lone trailing character") << QByteArray("TWFuT") << QByteArray("Man");
        QTest::newRow("line breaks") << QByteArray("TW\r\nFu\nTQ\r==") << QByteArray("ManM");
        QTest::newRow("spaces and tabs") << QByteArray(" \tT W\tF u\t ") << QByteArray("Man");
        QTest::newRow("other bytes") << QByteArray("\xd0T\xffW-F_u*") << QByteArray("Man");
        QTest::newRow("plus and slash") << QByteArray("+/+/") << QByteArray("\xfb\xff\xbf");
    }
    void base64SkipsEverythingOutsideTheAlphabet()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(decodeBase64SkippingOthers(text), bytes);
    }

    void base64WrappedEvery76CharactersGivesTheExactBytes()
    {
        QByteArray bytes;
        for (int round = 0; round < 40; ++round)
            for (int value = 0; value < 256; ++value)
                bytes += char(value ^ round);
        bytes += "tail";
        QCOMPARE(decodeBase64SkippingOthers(wrappedBase64(bytes, 76, "\r\n")), bytes);
        QCOMPARE(decodeBase64SkippingOthers(wrappedBase64(bytes, 64, "\n      ")), bytes);
    }

    void coverKindFromTheIdsExtension_data()
    {
        QTest::addColumn<QByteArray>("imageId");
        QTest::addColumn<CoverKind>("kind");
        QTest::newRow("jpg") << QByteArray("cover.jpg") << CoverKind::Jpeg;
        QTest::newRow("JPEG") << QByteArray("COVER.JPEG") << CoverKind::Jpeg;
        QTest::newRow("Jpg") << QByteArray("c.Jpg") << CoverKind::Jpeg;
        QTest::newRow("png") << QByteArray("fish1.png") << CoverKind::Png;
        QTest::newRow("PnG") << QByteArray("fish1.PnG") << CoverKind::Png;
        QTest::newRow("no extension") << QByteArray("cover") << CoverKind::Other;
        QTest::newRow("jpg without dot") << QByteArray("coverjpg") << CoverKind::Other;
        QTest::newRow("gif") << QByteArray("cover.gif") << CoverKind::Other;
        QTest::newRow("jpg inside") << QByteArray("cover.jpg.txt") << CoverKind::Other;
        QTest::newRow("empty") << QByteArray() << CoverKind::Other;
    }
    void coverKindFromTheIdsExtension()
    {
        QFETCH(QByteArray, imageId);
        QFETCH(CoverKind, kind);
        QCOMPARE(coverKindOf(imageId), kind);
    }

    void findsTheCoverInTheText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("imageId");
        QTest::addColumn<QByteArray>("base64Data");
        const QByteArray binary = "<binary id=\"cover.jpg\" content-type=\"image/jpeg\">QUJD\r\nREVG</binary>";
        QTest::newRow("xlink href") << "<coverpage><image xlink:href=\"#cover.jpg\"/></coverpage>" + binary
                                    << QByteArray("cover.jpg") << QByteArray("QUJD\r\nREVG");
        QTest::newRow("l href, split lines") << "<coverpage>\r\n  <image\r\n l:href=\"#cover.jpg\" />" + binary
                                             << QByteArray("cover.jpg") << QByteArray("QUJD\r\nREVG");
        QTest::newRow("capital marker") << "<COVERPAGE><image l:href=\"#cover.jpg\"/></COVERPAGE>" + binary
                                        << QByteArray() << QByteArray();
        QTest::newRow("no coverpage") << binary << QByteArray() << QByteArray();
        QTest::newRow("no coverpage, empty id attribute")
            << QByteArray("<section id=\"\"><p>text</p></section>") << QByteArray() << QByteArray();
        QTest::newRow("dangling id") << QByteArray("<coverpage><image l:href=\"#cover.jpg\"/></coverpage>")
                                     << QByteArray("cover.jpg") << QByteArray();
        QTest::newRow("slash before the link")
            << "<coverpage></image l:href=\"#cover.jpg\">" + binary << QByteArray() << QByteArray();
        QTest::newRow("no slash after the marker")
            << QByteArray("<coverpage><image href=\"#c.png\"><binary id=\"c.png\">QUJD<") << QByteArray("c.png")
            << QByteArray("QUJD");
        QTest::newRow("no slash, unterminated link")
            << QByteArray("<coverpage><image href=\"#c.png") << QByteArray() << QByteArray();
        QTest::newRow("no slash, nothing after the marker")
            << QByteArray("<coverpage>") << QByteArray() << QByteArray();
        QTest::newRow("data element never closed")
            << QByteArray("<coverpage><image l:href=\"#cover.jpg\"/><binary id=\"cover.jpg\">QUJD")
            << QByteArray("cover.jpg") << QByteArray();
        QTest::newRow("first element with the id wins")
            << "<coverpage><image l:href=\"#cover.jpg\"/></coverpage><binary id=\"cover.jpg\">Rmlyc3Q=</binary>" +
                   binary
            << QByteArray("cover.jpg") << QByteArray("Rmlyc3Q=");
        QTest::newRow("other binaries first") << "<coverpage><image l:href=\"#cover.jpg\"/></coverpage>"
                                                 "<binary id=\"cover.jpg.old\">T2xk</binary>" +
                                                     binary
                                              << QByteArray("cover.jpg") << QByteArray("QUJD\r\nREVG");
    }
    void findsTheCoverInTheText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, imageId);
        QFETCH(QByteArray, base64Data);
        const Fb2Cover cover = findFb2Cover(text);
        QCOMPARE(cover.imageId, imageId);
        QCOMPARE(cover.base64Data, base64Data);
        QCOMPARE(cover.kind, coverKindOf(imageId));
    }

    void readsJpegHeaders()
    {
        const std::optional<JpegHeader> cover =
            readJpegHeader(samplePicture(QStringLiteral("fb2/image.fb2"), "cover.jpg"));
        QVERIFY(cover);
        QCOMPARE(cover->width, 200);
        QCOMPARE(cover->height, 277);
        QCOMPARE(cover->components, 3);

        const std::optional<JpegHeader> placeholder = readJpegHeader(placeholderCover());
        QVERIFY(placeholder);
        QCOMPARE(placeholder->width, 416);
        QCOMPARE(placeholder->height, 531);
    }

    void damagedJpegHeadersAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray jpeg = samplePicture(QStringLiteral("fb2/image.fb2"), "cover.jpg");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("asdf\n");
        QTest::newRow("start marker only") << jpeg.left(2);
        QTest::newRow("cut inside the header") << jpeg.left(120);
        QTest::newRow("start marker then noise") << jpeg.left(2) + QByteArray(500, '\x5a');
        QTest::newRow("png") << samplePicture(QStringLiteral("fb2/test2.1.fb2"), "fish1.png");
    }
    void damagedJpegHeadersAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!readJpegHeader(bytes));
    }

    void pngIsEncodedAgainWithTheSamePixels()
    {
        const QByteArray original = samplePicture(QStringLiteral("fb2/test2.1.fb2"), "fish1.png");
        QCOMPARE(original.size(), 9935);
        const std::optional<RgbPixels> pixels = decodePng(original);
        QVERIFY(pixels);
        QCOMPARE(QSize(pixels->width, pixels->height), QSize(250, 360));
        QCOMPARE(pixels->samples.size(), qsizetype(250) * 360 * (pixels->hasAlpha ? 4 : 3));

        const std::optional<QByteArray> recoded = recodePng(original);
        QVERIFY(recoded);
        QVERIFY(recoded->startsWith(PngSignature));
        QCOMPARE(pngHeaderSize(*recoded), QSize(250, 360));
        const std::optional<RgbPixels> again = decodePng(*recoded);
        QVERIFY(again);
        QCOMPARE(again->hasAlpha, pixels->hasAlpha);
        QCOMPARE(again->samples, pixels->samples);
    }

    void damagedPngsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray png = samplePicture(QStringLiteral("fb2/test2.1.fb2"), "fish1.png");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("asdf\n");
        QTest::newRow("signature only") << PngSignature;
        QTest::newRow("signature then noise") << PngSignature + QByteArray(300, '\x11');
        QTest::newRow("cut in the image data") << png.left(png.size() / 2);
        QByteArray badChecksum = png;
        badChecksum[29] = char(badChecksum[29] ^ 0x55); // inside the IHDR checksum
        QTest::newRow("header checksum broken") << badChecksum;
        QTest::newRow("jpeg") << samplePicture(QStringLiteral("fb2/image.fb2"), "cover.jpg");
        // A well-formed header announcing 60000 x 60000 RGBA pixels: refused before any allocation.
        const QByteArray header = bigEndian(60000) + bigEndian(60000) + QByteArray("\x08\x06\x00\x00\x00", 5);
        QTest::newRow("absurd size") << PngSignature + pngChunk("IHDR", header) + pngChunk("IDAT", "x") +
                                            pngChunk("IEND", {});
    }
    void damagedPngsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!decodePng(bytes));
        QVERIFY(!recodePng(bytes));
    }

    // Covers damaged at random places: each is either read or refused, never a crash.
    void randomlyDamagedPicturesNeverCrash()
    {
        QRandomGenerator random(20240611);
        const QList<QByteArray> pictures{samplePicture(QStringLiteral("fb2/image.fb2"), "cover.jpg"),
                                         samplePicture(QStringLiteral("fb2/test2.1.fb2"), "fish1.png")};
        int refused = 0;
        for (int round = 0; round < 300; ++round) {
            QByteArray damaged = pictures[round % 2];
            for (int hit = 0; hit < 1 + round % 8; ++hit)
                damaged[random.bounded(qsizetype(200))] = char(random.bounded(256));
            if (round % 3 == 0)
                damaged.truncate(random.bounded(damaged.size()));
            const bool read = round % 2 == 0 ? readJpegHeader(damaged).has_value() : recodePng(damaged).has_value();
            refused += read ? 0 : 1;
        }
        QVERIFY(refused > 0);
    }

    void placeholderIsTheBuiltInJpeg()
    {
        const QByteArray placeholder = placeholderCover();
        QVERIFY(placeholder.startsWith("\xff\xd8\xff"));
        QVERIFY(placeholder.endsWith("\xff\xd9"));
        QCOMPARE(placeholder, readFile(QStringLiteral(":/placeholder_cover.jpg")));
    }

    void sampleJpegCoversAreWrittenByteForByte_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<int>("size");
        QTest::newRow("example: base64 in 617 lines") << QStringLiteral("fb2/example.fb2") << 35140;
        QTest::newRow("image: windows-1251, one long line") << QStringLiteral("fb2/image.fb2") << 40811;
        QTest::newRow("_Test: content-type image/jpg") << QStringLiteral("fb2/_Test.fb2") << 23320;
        QTest::newRow("_Test_1: broken images elsewhere") << QStringLiteral("fb2/_Test_1.fb2") << 54280;
    }
    void sampleJpegCoversAreWrittenByteForByte()
    {
        QFETCH(QString, book);
        QFETCH(int, size);
        QTemporaryDir dir;
        QCOMPARE(writeCoverThumbnail(samplePath(book), dir.path(), readerFiles), ThumbnailSource::Cover);
        const QByteArray written = readFile(dir.filePath(ThumbnailFileName));
        QCOMPARE(written.size(), size);
        QCOMPARE(written, samplePicture(book, "cover.jpg"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{ThumbnailFileName});
    }

    void samplePngCoverIsWrittenAsPngUnderTheJpgName()
    {
        QTemporaryDir dir;
        const QString book = samplePath(QStringLiteral("fb2/test2.1.fb2"));
        QCOMPARE(writeCoverThumbnail(book, dir.path(), readerFiles), ThumbnailSource::Cover);
        const QByteArray written = readFile(dir.filePath(QStringLiteral("main_thumbnail.jpg")));
        QVERIFY(written.startsWith(PngSignature));
        const std::optional<RgbPixels> pixels = decodePng(written);
        const std::optional<RgbPixels> original =
            decodePng(samplePicture(QStringLiteral("fb2/test2.1.fb2"), "fish1.png"));
        QVERIFY(pixels && original);
        QCOMPARE(QSize(pixels->width, pixels->height), QSize(250, 360));
        QCOMPARE(pixels->samples, original->samples);
    }

    void samplesWithoutUsableCoverGetThePlaceholder_data()
    {
        QTest::addColumn<QString>("book");
        QTest::newRow("complex: cover.jpg holding 'asdf'") << QStringLiteral("fb2/complex.fb2");
        QTest::newRow("minimal: dangling cover id") << QStringLiteral("fb2/minimal.fb2");
        QTest::newRow("fblib-test: dangling cover id") << QStringLiteral("fb2/fblib-test.fb2");
        QTest::newRow("karenina: no description") << QStringLiteral("fb2/karenina.fb2");
        QTest::newRow("writer: no cover") << QStringLiteral("fb2/writer.fb2");
        QTest::newRow("images-embedded: pictures but no cover") << QStringLiteral("fb2/images-embedded.fb2");
        QTest::newRow("badfile: not XML") << QStringLiteral("fb2/badfile.fb2");
        QTest::newRow("zipped FB2") << QStringLiteral("fb2/test2.1.fb2.zip");
        QTest::newRow("pdf") << QStringLiteral("pdf/project-history.en.pdf");
        QTest::newRow("epub with a cover") << QStringLiteral("epub/wasteland.epub");
        QTest::newRow("txt") << QStringLiteral("txt/Зимнее утро.txt");
    }
    void samplesWithoutUsableCoverGetThePlaceholder()
    {
        QFETCH(QString, book);
        QTemporaryDir dir;
        QCOMPARE(writeCoverThumbnail(samplePath(book), dir.path(), readerFiles), ThumbnailSource::Placeholder);
        QCOMPARE(readFile(dir.filePath(ThumbnailFileName)), placeholderCover());
    }

    void craftedBooks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<ThumbnailSource>("source");
        QTest::addColumn<QByteArray>("expected"); // the file's bytes; empty: no file at all

        const QByteArray jpeg = samplePicture(QStringLiteral("fb2/image.fb2"), "cover.jpg");
        const QByteArray wrapped = wrappedBase64(jpeg, 76, "\r\n");
        const QByteArray placeholder = placeholderCover();
        QTest::newRow("jpeg, lines of 76 characters")
            << "book.fb2" << fb2Book(coverpageOf("cover.jpg"), "cover.jpg", wrapped) << ThumbnailSource::Cover << jpeg;
        QTest::newRow("jpeg, indented lines")
            << "book.fb2" << fb2Book(coverpageOf("c.JPEG"), "c.JPEG", wrappedBase64(jpeg, 60, "\n\t\t"))
            << ThumbnailSource::Cover << jpeg;
        QTest::newRow("upper-case extension")
            << "BOOK.FB2" << fb2Book(coverpageOf("cover.jpg"), "cover.jpg", wrapped) << ThumbnailSource::Cover << jpeg;
        QTest::newRow("no extension in the id")
            << "book.fb2" << fb2Book(coverpageOf("cover"), "cover", wrapped) << ThumbnailSource::None << QByteArray();
        QTest::newRow("gif id") << "book.fb2" << fb2Book(coverpageOf("cover.gif"), "cover.gif", wrapped)
                                << ThumbnailSource::None << QByteArray();
        QTest::newRow("missing id") << "book.fb2" << fb2Book(coverpageOf("cover.jpg"), "other.jpg", wrapped)
                                    << ThumbnailSource::Placeholder << placeholder;
        QTest::newRow("capital COVERPAGE")
            << "book.fb2" << fb2Book("<COVERPAGE><image l:href=\"#cover.jpg\"/></COVERPAGE>", "cover.jpg", wrapped)
            << ThumbnailSource::Placeholder << placeholder;
        QTest::newRow("empty FB2") << "book.fb2" << QByteArray() << ThumbnailSource::Placeholder << placeholder;
        QTest::newRow("empty cover data") << "book.fb2" << fb2Book(coverpageOf("cover.jpg"), "cover.jpg", "")
                                          << ThumbnailSource::Placeholder << placeholder;
        QTest::newRow("damaged jpeg header")
            << "book.fb2" << fb2Book(coverpageOf("cover.jpg"), "cover.jpg", wrappedBase64(jpeg.left(150), 76, "\r\n"))
            << ThumbnailSource::Placeholder << placeholder;
        QTest::newRow("jpeg that is not one")
            << "book.fb2" << fb2Book(coverpageOf("cover.jpg"), "cover.jpg", QByteArray("not a picture").toBase64())
            << ThumbnailSource::Placeholder << placeholder;
        QTest::newRow("data of non-alphabet characters only")
            << "book.fb2" << fb2Book(coverpageOf("cover.jpg"), "cover.jpg", "\r\n ==== \r\n")
            << ThumbnailSource::Placeholder << placeholder;
        const QByteArray png = samplePicture(QStringLiteral("fb2/test2.1.fb2"), "fish1.png");
        QTest::newRow("invalid png") << "book.fb2"
                                     << fb2Book(coverpageOf("cover.png"), "cover.png",
                                                (PngSignature + "garbage").toBase64())
                                     << ThumbnailSource::Placeholder << placeholder;
        QTest::newRow("cut-off png") << "book.fb2"
                                     << fb2Book(coverpageOf("cover.png"), "cover.png", png.left(4000).toBase64())
                                     << ThumbnailSource::Placeholder << placeholder;
        QTest::newRow("same text named .txt") << "book.txt" << fb2Book(coverpageOf("cover.jpg"), "cover.jpg", wrapped)
                                              << ThumbnailSource::Placeholder << placeholder;
        QTest::newRow("no slash and no link") << "book.fb2" << QByteArray("<FictionBook><coverpage><image>")
                                              << ThumbnailSource::Placeholder << placeholder;
    }
    void craftedBooks()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(ThumbnailSource, source);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const BookInFolder book = prepareBook(dir, name, content);
        QCOMPARE(writeCoverThumbnail(book.book, book.folder, readerFiles), source);
        const QString thumbnail = QDir(book.folder).filePath(ThumbnailFileName);
        if (expected.isEmpty()) {
            QVERIFY(QDir(book.folder).isEmpty());
        } else {
            QCOMPARE(readFile(thumbnail), expected);
        }
    }

    void pngCoverIsWrittenAsPngUnderTheJpgName()
    {
        QTemporaryDir dir;
        const QByteArray png = samplePicture(QStringLiteral("fb2/test2.1.fb2"), "fish1.png");
        const BookInFolder book =
            prepareBook(dir, QStringLiteral("fish.fb2"),
                        fb2Book(coverpageOf("cover.png"), "cover.png", wrappedBase64(png, 76, "\r\n")));
        QCOMPARE(writeCoverThumbnail(book.book, book.folder, readerFiles), ThumbnailSource::Cover);
        QCOMPARE(QDir(book.folder).entryList(QDir::Files), QStringList{QStringLiteral("main_thumbnail.jpg")});
        const QByteArray written = readFile(QDir(book.folder).filePath(ThumbnailFileName));
        QVERIFY(written.startsWith(PngSignature));
        const std::optional<RgbPixels> pixels = decodePng(written);
        QVERIFY(pixels);
        QCOMPARE(pixels->samples, decodePng(png)->samples);
    }

    void unreadableBookGetsThePlaceholder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("thumbnail"));
        QVERIFY(QDir().mkpath(folder));
        // Gone since it was listed, and a folder in a book's place: neither can be read now.
        QCOMPARE(writeCoverThumbnail(dir.filePath(QStringLiteral("gone.fb2")), folder, readerFiles),
                 ThumbnailSource::Placeholder);
        QCOMPARE(readFile(QDir(folder).filePath(ThumbnailFileName)), placeholderCover());
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("folder.fb2"))));
        QFile::remove(QDir(folder).filePath(ThumbnailFileName));
        QCOMPARE(writeCoverThumbnail(dir.filePath(QStringLiteral("folder.fb2")), folder, readerFiles),
                 ThumbnailSource::Placeholder);
        QCOMPARE(readFile(QDir(folder).filePath(ThumbnailFileName)), placeholderCover());
    }

    void readOnlyBookStillGivesItsCover()
    {
        QTemporaryDir dir;
        const QByteArray jpeg = samplePicture(QStringLiteral("fb2/image.fb2"), "cover.jpg");
        const BookInFolder book = prepareBook(dir, QStringLiteral("book.fb2"),
                                              fb2Book(coverpageOf("cover.jpg"), "cover.jpg", jpeg.toBase64()));
        QVERIFY(QFile::setPermissions(book.book, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        QCOMPARE(writeCoverThumbnail(book.book, book.folder, readerFiles), ThumbnailSource::Cover);
        QCOMPARE(readFile(QDir(book.folder).filePath(ThumbnailFileName)), jpeg);
    }

    void anEarlierThumbnailIsReplacedWhole()
    {
        QTemporaryDir dir;
        const BookInFolder book = prepareBook(dir, QStringLiteral("book.pdf"), "%PDF-1.4");
        writeFile(QDir(book.folder).filePath(ThumbnailFileName), QByteArray(200000, 'x'));
        QCOMPARE(writeCoverThumbnail(book.book, book.folder, readerFiles), ThumbnailSource::Placeholder);
        QCOMPARE(readFile(QDir(book.folder).filePath(ThumbnailFileName)), placeholderCover());
    }

    void aThumbnailThatCannotBeWrittenIsAnError()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("no/such/folder"));
        QVERIFY_THROWS_EXCEPTION(
            TessalyError, writeCoverThumbnail(samplePath(QStringLiteral("fb2/example.fb2")), missing, readerFiles));
        QVERIFY(!QFileInfo::exists(missing));
    }

    // A whole library in a row, as a synchronisation writes it: damaged books never stop it.
    void everySampleInARow()
    {
        QTemporaryDir dir;
        int index = 0;
        for (const QString &kind :
             {QStringLiteral("fb2"), QStringLiteral("epub"), QStringLiteral("pdf"), QStringLiteral("txt")}) {
            const QDir samples(samplePath(kind));
            for (const QString &name : samples.entryList(QDir::Files, QDir::Name)) {
                const QString folder = dir.filePath(QString::number(++index) + QStringLiteral("/thumbnail"));
                QVERIFY(QDir().mkpath(folder));
                const ThumbnailSource source = writeCoverThumbnail(samples.filePath(name), folder, readerFiles);
                const QByteArray written = readFile(QDir(folder).filePath(ThumbnailFileName));
                QVERIFY2(source != ThumbnailSource::None, qPrintable(name));
                QVERIFY2(readJpegHeader(written) || decodePng(written), qPrintable(name));
            }
        }
        QVERIFY(index >= 25);
    }
};

QTEST_GUILESS_MAIN(TestCoverThumbnail)
#include "test_cover_thumbnail.moc"
