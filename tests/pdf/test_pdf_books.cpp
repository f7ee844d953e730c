#include "covers/book_formats.h"
#include "covers/cover_fitting.h"
#include "covers/cover_thumbnail.h"
#include "covers/jpeg_codec.h"
#include "pdf/poppler_pdf_reader.h"
#include "support/intake_rows.h"
#include "support/sync_scene.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPdfBooks : public QObject
{
    Q_OBJECT
private slots:
    void titlesAndFirstPages_data()
    {
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("title"); // empty: unreadable
        QTest::newRow("Cyrillic") << samplePath("pdf/project-history.ru.pdf") << "Краткая история Debian";
        QTest::newRow("English") << samplePath("pdf/project-history.en.pdf") << "A Brief History of Debian";
        QTest::newRow("damaged") << m_dir.filePath("damaged.pdf") << "";
    }
    void titlesAndFirstPages()
    {
        QFETCH(QString, book);
        QFETCH(QString, title);
        QFile damaged(m_dir.filePath("damaged.pdf"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer << /Root 1 0 R >>\n%%EOF\n");
        damaged.close();

        const PopplerPdfReader pdf;
        BookFormats formats;
        formats.epubAndPdf = true;
        formats.pdf = &pdf;
        const QVector<BookRow> rows = intakeRows(book, formats);
        const BookRow &row = rows.at(0);
        // A PDF that cannot be read is named after its file and gets the placeholder, as before.
        QCOMPARE(row.title, title.isEmpty() ? row.file_name : title);

        const Thumbnail thumbnail = coverThumbnail(book, formats);
        QCOMPARE(thumbnail.source, title.isEmpty() ? ThumbnailSource::Placeholder : ThumbnailSource::Cover);
        const std::optional<JpegHeader> header = readJpegHeader(thumbnail.bytes);
        QVERIFY(header);
        QVERIFY(thumbnail.bytes.size() <= ThumbnailAllowanceBytes);
        if (!title.isEmpty()) {
            // The page fills the reader's screen at one side at least.
            QVERIFY(header->width <= ReaderScreenWidth && header->height <= ReaderScreenHeight);
            QVERIFY(header->width == ReaderScreenWidth || header->height == ReaderScreenHeight);
        }
        formats.epubAndPdf = false;
        QCOMPARE(coverThumbnail(book, formats).source, ThumbnailSource::Placeholder);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestPdfBooks)
#include "test_pdf_books.moc"
