#include "covers/png_recoder.h"
#include "test_paths.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString pictures()
{
    return QStringLiteral(TESSALY_TEST_DATA_DIR "/png");
}

// ImageMagick's 16-bit RGBA samples rounded to 8 bits, the nearest of the 256 levels.
QByteArray referenceRgba(const QString &path)
{
    const QByteArray wide = fileBytes(path);
    QByteArray rgba(wide.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < rgba.size(); ++i) {
        const quint32 value = quint32(uchar(wide.at(2 * i))) << 8 | uchar(wide.at(2 * i + 1));
        rgba[i] = char((value * 255 + 32767) / 65535);
    }
    return rgba;
}

// The decoded samples as RGBA, an opaque alpha added where the picture has none.
QByteArray asRgba(const RgbPixels &pixels)
{
    if (pixels.hasAlpha)
        return pixels.samples;
    QByteArray rgba;
    rgba.reserve(pixels.samples.size() / 3 * 4);
    for (qsizetype i = 0; i < pixels.samples.size(); i += 3)
        rgba += pixels.samples.mid(i, 3) + '\xff';
    return rgba;
}

// A PNG: the signature, then chunks given as type and data, each with its length and check sum.
QByteArray png(const QList<std::pair<QByteArray, QByteArray>> &chunks)
{
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    for (const auto &[type, data] : chunks) {
        const quint32 length = quint32(data.size());
        bytes += char(length >> 24);
        bytes += char(length >> 16);
        bytes += char(length >> 8);
        bytes += char(length);
        bytes += type + data + QByteArray(4, '\0');
    }
    return bytes;
}
} // namespace

class TestPngDecoding : public QObject
{
    Q_OBJECT
private slots:
    // Every kind of PNG, plain and interlaced, decodes to the pixels ImageMagick decodes from it.
    void everyKindGivesTheRightPixels_data()
    {
        QTest::addColumn<QString>("picture");
        const QStringList files = QDir(pictures()).entryList({"*.png"}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 40);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << file;
    }

    void everyKindGivesTheRightPixels()
    {
        QFETCH(QString, picture);
        const QByteArray reference = referenceRgba(pictures() + '/' + QFileInfo(picture).completeBaseName() + ".rgba");
        QCOMPARE(reference.size(), 17 * 13 * 4);

        const std::optional<RgbPixels> pixels = decodePng(fileBytes(pictures() + '/' + picture));

        QVERIFY(pixels);
        QCOMPARE(pixels->width, 17);
        QCOMPARE(pixels->height, 13);
        QVERIFY(pixels->isValid());
        const QByteArray rgba = asRgba(*pixels);
        for (qsizetype i = 0; i < rgba.size(); i += 4)
            QVERIFY2(rgba.mid(i, 4) == reference.mid(i, 4),
                     qPrintable(QString("pixel %1,%2: %3, not %4")
                                    .arg(i / 4 % 17)
                                    .arg(i / 4 / 17)
                                    .arg(QString(rgba.mid(i, 4).toHex()), QString(reference.mid(i, 4).toHex()))));
        // Encoded again, the same pixels come back.
        const std::optional<QByteArray> recoded = recodePng(fileBytes(pictures() + '/' + picture));
        QVERIFY(recoded);
        QCOMPARE(asRgba(*decodePng(*recoded)), rgba);
    }

    // A few bytes that declare more than any cover needs are refused at once, without taking the
    // memory they ask for: a chunk of two gigabytes, sides of a million pixels.
    void picturesAskingForTooMuchAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray header("\0\0\0\x64\0\0\0\x64\x08\x02\0\0\0", 13);
        QByteArray hugeText = png({{"IHDR", header}});
        hugeText += QByteArray("\x7f\xff\xff\xff", 4) + "tEXt" + QByteArray(8, '\0');
        QTest::newRow("a text chunk of two gigabytes") << hugeText;
        QByteArray hugeData = png({{"IHDR", header}});
        hugeData += QByteArray("\x7f\xff\xff\xff", 4) + "IDAT" + QByteArray(8, '\0');
        QTest::newRow("a data chunk of two gigabytes") << hugeData;
        QTest::newRow("a million pixels a side")
            << png({{"IHDR", QByteArray("\0\x0f\x42\x40\0\x0f\x42\x40\x10\x06\0\0\0", 13)}, {"IEND", {}}});
    }

    void picturesAskingForTooMuchAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(bytes.size() < 100);
        QVERIFY(!decodePng(bytes));
    }
};

QTEST_GUILESS_MAIN(TestPngDecoding)
#include "test_png_decoding.moc"
