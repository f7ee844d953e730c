#include "booklist/declared_encoding.h"
#include "booklist/fb2_metadata.h"
#include "covers/base64_decoder.h"
#include "covers/fb2_cover.h"
#include "support/fixture_reader.h"
#include "test_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

// Writes every fuzz target's seed corpus into OUTPUT/<target>/ from the shared sample books, the
// program's own pictures and the fixture reader's database. Nothing of it is kept in the sources.
namespace {
// Small seeds keep the fuzzers fast; the longest inputs they try are set in scripts/fuzz.
constexpr qsizetype TextSeedSize = 4096;
constexpr qsizetype CoverSeedLimit = 128 * 1024;
constexpr qsizetype PictureSeedLimit = 64 * 1024;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void writeSeed(const QDir &output, const QString &target, const QString &name, const QByteArray &bytes)
{
    output.mkpath(target);
    QFile file(output.filePath(target + u'/' + name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + file.fileName().toStdString());
}

// The description with its cover reference, then the cover's own picture element: what the
// cover search reads, without the book's text and other pictures.
QByteArray coverSeedOf(const QByteArray &book)
{
    const QByteArray imageId = findFb2Cover(book).imageId;
    const QByteArray descriptionEnd("</description>");
    const QByteArray binaryEnd("</binary>");
    const qsizetype description = book.indexOf(descriptionEnd);
    const qsizetype attribute = imageId.isEmpty() ? -1 : book.indexOf("id=\"" + imageId + '"');
    const qsizetype element = attribute < 0 ? -1 : book.lastIndexOf('<', attribute);
    const qsizetype elementEnd = element < 0 ? -1 : book.indexOf(binaryEnd, attribute);
    if (description < 0 || elementEnd < 0)
        return {};
    return book.left(description + descriptionEnd.size()) + '\n' +
           book.mid(element, elementEnd + binaryEnd.size() - element);
}

// Every picture stored in a book, decoded.
QList<QByteArray> picturesOf(const QByteArray &book)
{
    QList<QByteArray> pictures;
    for (qsizetype at = book.indexOf("<binary"); at >= 0; at = book.indexOf("<binary", at + 1)) {
        const qsizetype open = book.indexOf('>', at);
        const qsizetype close = open < 0 ? -1 : book.indexOf('<', open);
        if (close < 0)
            break;
        pictures << decodeBase64SkippingOthers(QByteArrayView(book).sliced(open + 1, close - open - 1));
    }
    return pictures;
}

void writePicture(const QDir &output, const QString &name, const QByteArray &picture)
{
    if (picture.size() > PictureSeedLimit)
        return;
    if (picture.startsWith("\xFF\xD8"))
        writeSeed(output, QStringLiteral("jpeg_cover"), name + QStringLiteral(".jpg"), picture);
    else if (picture.startsWith("\x89PNG"))
        writeSeed(output, QStringLiteral("png_cover"), name + QStringLiteral(".png"), picture);
}

void writeBookSeeds(const QDir &output)
{
    const QDir books(QStringLiteral(TESSALY_SAMPLES_DIR "/fb2"));
    for (const QFileInfo &book : books.entryInfoList({QStringLiteral("*.fb2")}, QDir::Files, QDir::Name)) {
        const QByteArray text = contentOf(book.filePath());
        writeSeed(output, QStringLiteral("fb2_metadata"), book.fileName(), text.left(Fb2HeadSize));
        writeSeed(output, QStringLiteral("text_decoding"), book.fileName(),
                  declaredXmlEncoding(text) + '\n' + text.left(TextSeedSize));
        if (const QByteArray cover = coverSeedOf(text); !cover.isEmpty() && cover.size() <= CoverSeedLimit)
            writeSeed(output, QStringLiteral("fb2_cover"), book.fileName(), cover);
        const QList<QByteArray> pictures = picturesOf(text);
        for (qsizetype index = 0; index < pictures.size(); ++index)
            writePicture(output, book.completeBaseName() + u'-' + QString::number(index), pictures.at(index));
    }
    for (const QFileInfo &archive : books.entryInfoList({QStringLiteral("*.zip")}, QDir::Files, QDir::Name))
        writeSeed(output, QStringLiteral("zipped_fb2"), archive.fileName(), contentOf(archive.filePath()));
    const QDir epubs(QStringLiteral(TESSALY_SAMPLES_DIR "/epub"));
    for (const QFileInfo &book : epubs.entryInfoList({QStringLiteral("*.epub")}, QDir::Files, QDir::Name))
        writeSeed(output, QStringLiteral("epub_package"), book.fileName(), contentOf(book.filePath()));
    const QDir texts(QStringLiteral(TESSALY_SAMPLES_DIR "/txt"));
    for (const QFileInfo &text : texts.entryInfoList(QDir::Files, QDir::Name))
        writeSeed(output, QStringLiteral("text_decoding"), text.fileName(),
                  contentOf(text.filePath()).left(TextSeedSize));
}

void writeAssetSeeds(const QDir &output)
{
    const QDir assets(QStringLiteral(TESSALY_ASSETS_DIR));
    for (const QFileInfo &picture : assets.entryInfoList(QDir::Files, QDir::Name))
        writePicture(output, picture.completeBaseName(), contentOf(picture.filePath()));
}

void writeDatabaseSeeds(const QDir &output)
{
    const FixtureReader library(FixtureReader::Contents::Library);
    writeSeed(output, QStringLiteral("reader_database"), QStringLiteral("library.db"),
              contentOf(library.databasePath()));
    // The same library in the smallest pages SQLite allows: a fifth of the bytes for the fuzzer to vary.
    sqliteExecute(library.databasePath(), QStringLiteral("PRAGMA page_size = 512; VACUUM"));
    writeSeed(output, QStringLiteral("reader_database"), QStringLiteral("library-small-pages.db"),
              contentOf(library.databasePath()));
    const FixtureReader empty(FixtureReader::Contents::Empty);
    sqliteExecute(empty.databasePath(), QStringLiteral("PRAGMA page_size = 512; VACUUM"));
    writeSeed(output, QStringLiteral("reader_database"), QStringLiteral("empty-small-pages.db"),
              contentOf(empty.databasePath()));
}
} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    try {
        output.mkpath(QStringLiteral("."));
        writeBookSeeds(output);
        writeAssetSeeds(output);
        writeDatabaseSeeds(output);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
