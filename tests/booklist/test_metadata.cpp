#include "booklist/book_file_kinds.h"
#include "booklist/book_passes.h"
#include "booklist/book_table.h"
#include "booklist/declared_encoding.h"
#include "booklist/fb2_metadata.h"
#include "booklist/text_decoding.h"
#include "support/recording_progress.h"
#include "test_paths.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {
QByteArray windows1251(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

QByteArray encoded(const QString &text, const char *encoding)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

QByteArray fb2Head(const QByteArray &description)
{
    return "<?xml version=\"1.0\"?>\r\n<FictionBook><description><title-info>" + description +
           "</title-info></description><body/></FictionBook>";
}
} // namespace

class TestMetadata : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // One metadata pass over files written with `contents`; rows start with `before`.
    QVector<BookRow> passOver(const QList<QPair<QString, QByteArray>> &files, const BookRow &before = {})
    {
        BookTable books;
        for (const auto &[name, bytes] : files) {
            QFile file(m_dir.filePath(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(bytes);
            BookRow row = before;
            row.full_path = file.fileName();
            row.file_name = name;
            books.appendRow(row);
        }
        RecordingProgress progress;
        const QStringList unreadable = runMetadataPass(books, progress);
        if (!unreadable.isEmpty())
            qWarning() << "unreadable" << unreadable;
        return books.rows();
    }

private slots:
    void samples_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("title"); // "-" where the book has no title in its head
        QTest::newRow("UTF-8") << "example.fb2"
                               << "Лев Толстой"
                               << "Война и мир";
        QTest::newRow("Windows-1251") << "image.fb2"
                                      << "Лев Толстой"
                                      << "Анна Каренина";
        QTest::newRow("Windows-1251 with middle name") << "test2.1.fb2"
                                                       << "Дмитрий Грибов"
                                                       << "Тестовый ознакомительный документ FictionBook 2.1";
        QTest::newRow("no description") << "karenina.fb2"
                                        << ""
                                        << "-";
        QTest::newRow("last name only") << "MiniHelp.desktop.ru.fb2"
                                        << "FBReader"
                                        << "О программе FBReader";
        QTest::newRow("byte order mark, Chinese title") << "MiniHelp.desktop.zh.fb2"
                                                        << "FBReader"
                                                        << "关于 FBReader";
        QTest::newRow("utf8 label") << "MiniHelp.desktop.uk.fb2"
                                    << "FBReader"
                                    << "Про програму FBReader";
        QTest::newRow("valid UTF-8 kept as it reads") << "sopds-test.fb2"
                                                      << "Àëåêñàíäð Áóøêîâ"
                                                      << "Òðèíêîìàëè";
        QTest::newRow("not XML") << "badfile.fb2"
                                 << ""
                                 << "-";
        // Attributes on the name tags hide them: the first bare names found come from document-info.
        QTest::newRow("attributes on the tags") << "complex.fb2"
                                                << "Александр Орлов"
                                                << "-";
        QTest::newRow("minimal") << "minimal.fb2"
                                 << "Уинстон Черчилль"
                                 << "Вторая мировая война";
        QTest::newRow("2 MB, two authors") << "_Test_1.fb2"
                                           << "Jane Dou"
                                           << "Test book";
        QTest::newRow("three authors") << "_Test.fb2"
                                       << "Иван Иванов"
                                       << "Тестовая книга";
        QTest::newRow("nickname second author") << "writer.fb2"
                                                << "John MacFarlane"
                                                << "Pandoc Test Suite";
        QTest::newRow("no author, no title") << "images-embedded.fb2"
                                             << ""
                                             << "-";
        QTest::newRow("tab indented") << "meta.fb2"
                                      << "First Last"
                                      << "Book title";
        QTest::newRow("Latin-1") << "yandex-tts-test.fb2"
                                 << "Arthur Doyle"
                                 << "A Study in Scarlet";
        QTest::newRow("KOI8-R declared") << "MiniHelp.desktop.ru.koi8-r.fb2"
                                         << "FBReader"
                                         << "О программе FBReader";
        QTest::newRow("comments in title-info") << "fblib-test.fb2"
                                                << "Лев Толстой"
                                                << "Война и мир";
    }
    void samples()
    {
        QFETCH(QString, file);
        QFETCH(QString, title);
        BookTable books;
        books.appendRow(BookRow{.full_path = QStringLiteral(TESSALY_SAMPLES_DIR "/fb2/") + file,
                                .author = "old author",
                                .title = "old title",
                                .file_name = file});
        RecordingProgress progress;
        QVERIFY(runMetadataPass(books, progress).isEmpty());
        QTEST(books.cellText(0, AuthorColumn), "author");
        QCOMPARE(books.cellText(0, TitleColumn), title == "-" ? QString("old title") : title);
        QCOMPARE(books.cellText(0, MimeTypeColumn), QString("application/fb2"));
    }

    void otherKindsAreNamedAfterTheirFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("mime");
        QTest::newRow("PDF") << "Report.PDF"
                             << "application/pdf";
        QTest::newRow("EPUB") << "b.Epub"
                              << "application/epub+zip";
        QTest::newRow("TXT") << "Зимнее утро.txt"
                             << "text/plain";
        QTest::newRow("FB2 upper case") << "A.FB2"
                                        << "application/fb2";
    }
    void otherKindsAreNamedAfterTheirFile()
    {
        QFETCH(QString, file);
        const QVector<BookRow> books = passOver({{file, "<book-title>Inside</book-title>"}}, BookRow{.author = "Kept"});
        const bool fb2 = file.endsWith("FB2");
        QCOMPARE(books[0].title, fb2 ? QString("Inside") : file);
        QCOMPARE(books[0].author, fb2 ? QString() : QString("Kept"));
        QTEST(books[0].mime_type, "mime");
    }

    // A declared encoding is read when the bytes are valid for it; otherwise, and without a
    // declaration, valid UTF-8 and then Windows-1251.
    void declaredEncodings_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("title");
        const QString description = "<FictionBook><description><title-info><author><first-name>Иван</first-name>"
                                    "<last-name>Петров</last-name></author><book-title>Повесть о Ёжике</book-title>";
        const auto declared = [&](const char *declaration, const char *encoding) {
            return QByteArray(declaration) + encoded(description, encoding);
        };
        const QString ivan = "Иван Петров";
        const QString story = "Повесть о Ёжике";
        for (const char *encoding : {"koi8-r", "KOI8-R", "windows-1251", "cp866", "iso-8859-5"}) {
            QTest::addRow("%s", encoding)
                << declared(qPrintable(QString("<?xml version=\"1.0\" encoding=\"%1\"?>\n").arg(encoding)), encoding)
                << ivan << story;
        }
        QTest::newRow("single quotes, blanks around =")
            << declared("<?xml version='1.0' encoding = 'koi8-r' ?>", "koi8-r") << ivan << story;
        QTest::newRow("after a byte order mark and blanks")
            << declared("\xEF\xBB\xBF \r\n<?xml version=\"1.0\" encoding=\"cp866\"?>", "cp866") << ivan << story;
        QTest::newRow("utf-16 with byte order mark")
            << QByteArray("\xFF\xFE") + encoded("<?xml version=\"1.0\" encoding=\"utf-16\"?>" + description, "UTF-16LE")
            << ivan << story;
        QTest::newRow("utf-16 big-endian without byte order mark")
            << encoded("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + description, "UTF-16BE") << ivan << story;
        QTest::newRow("utf-16 named, single bytes written")
            << declared("<?xml version=\"1.0\" encoding=\"utf-16\"?>", "windows-1251") << ivan << story;
        QTest::newRow("utf-8 named, Windows-1251 written")
            << declared("<?xml version=\"1.0\" encoding=\"utf-8\"?>", "windows-1251") << ivan << story;
        QTest::newRow("unknown encoding")
            << declared("<?xml version=\"1.0\" encoding=\"x-nonsense\"?>", "windows-1251") << ivan << story;
        QTest::newRow("bytes not valid for the named encoding")
            << declared("<?xml version=\"1.0\" encoding=\"us-ascii\"?>", "windows-1251") << ivan << story;
        QTest::newRow("no declaration, Windows-1251") << declared("", "windows-1251") << ivan << story;
        // Windows-1251 text that happens to be valid UTF-8 ("Рђ" is D0 90, UTF-8 for "А"):
        // the declaration decides.
        QTest::newRow("declared Windows-1251 that reads as UTF-8")
            << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1251\"?><book-title>") +
                   encoded("РђРЅРЅР°", "windows-1251") + "</book-title>"
            << ""
            << "РђРЅРЅР°";
        QTest::newRow("the same without a declaration")
            << QByteArray("<book-title>") + encoded("РђРЅРЅР°", "windows-1251") + "</book-title>"
            << ""
            << "Анна";
    }

    void declaredEncodings()
    {
        QFETCH(QByteArray, head);
        const Fb2Metadata metadata = Fb2MetadataReader().read(head);
        QTEST(metadata.author, "author");
        QTEST(metadata.title.value_or(QString()), "title");
    }

    void declaredXmlEncoding_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("encoding");
        QTest::newRow("double quotes") << QByteArray("<?xml version=\"1.0\" encoding=\"koi8-r\"?><a/>")
                                       << QByteArray("koi8-r");
        QTest::newRow("none") << QByteArray("<?xml version=\"1.0\"?><a encoding=\"cp866\"/>") << QByteArray();
        QTest::newRow("no declaration") << QByteArray("<FictionBook encoding=\"cp866\">") << QByteArray();
        QTest::newRow("unclosed value") << QByteArray("<?xml encoding=\"koi8") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }

    void declaredXmlEncoding()
    {
        QFETCH(QByteArray, head);
        QTEST(::declaredXmlEncoding(head), "encoding");
    }

    void bothEncodingsGiveTheSameAuthor()
    {
        const QString description =
            "<author><first-name>Иван</first-name><middle-name>И</middle-name><last-name>Петров</last-name></author>"
            "<book-title>Повесть</book-title>";
        const QVector<BookRow> books =
            passOver({{"utf8.fb2", fb2Head(description.toUtf8())}, {"cp1251.fb2", fb2Head(windows1251(description))}});
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(books[row].author, QString("Иван Петров"));
            QCOMPARE(books[row].title, QString("Повесть"));
        }
    }

    void authorRules_data()
    {
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("author");
        QTest::newRow("last name only") << QByteArray("<author><last-name>Петров</last-name></author>") << "Петров";
        QTest::newRow("first name only, untrimmed")
            << QByteArray("<author><first-name> Иван\t</first-name></author>") << " Иван\t";
        QTest::newRow("blanks and control characters trimmed at the ends")
            << QByteArray("<author><first-name>\r\n Иван</first-name><last-name>Петров \x01</last-name></author>")
            << "Иван Петров";
        QTest::newRow("inner blanks kept")
            << QByteArray("<author><first-name>Иван </first-name><last-name> Петров</last-name></author>")
            << "Иван   Петров";
        QTest::newRow("names from the first author that has them")
            << QByteArray("<author><nickname>N</nickname></author><author><first-name>A</first-name>"
                          "<last-name>B</last-name></author>")
            << "A B";
        QTest::newRow("no author element") << QByteArray("<first-name>A</first-name>") << "";
        QTest::newRow("empty names") << QByteArray("<author><first-name></first-name><last-name/></author>") << "";
    }
    void authorRules()
    {
        QFETCH(QByteArray, description);
        const Fb2Metadata metadata = Fb2MetadataReader().read(fb2Head(description));
        QTEST(metadata.author, "author");
        QVERIFY(!metadata.title);
    }

    // The series of the title-info: the first sequence, nested or repeated ones after it; the
    // document's and the publisher's sections do not count.
    void seriesOfSamples_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("number");
        QTest::newRow("UTF-8") << "example.fb2"
                               << "Детство, Отрочество, Юность"
                               << "2";
        QTest::newRow("closed by its own tag") << "_Test.fb2"
                                               << "Тесты"
                                               << "1";
        QTest::newRow("nested and repeated, publisher's ones too") << "complex.fb2"
                                                                   << "Книга, чё"
                                                                   << "1";
        QTest::newRow("Windows-1251, none") << "image.fb2" << QString() << QString();
    }
    void seriesOfSamples()
    {
        QFETCH(QString, file);
        BookTable books;
        books.appendRow(BookRow{
            .full_path = QStringLiteral(TESSALY_SAMPLES_DIR "/fb2/") + file, .series = "old", .series_number = "9"});
        RecordingProgress progress;
        QVERIFY(runMetadataPass(books, progress).isEmpty());
        QTEST(books.row(0).series, "series");
        QTEST(books.row(0).series_number, "number");
    }

    void seriesRules_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("number");
        QTest::newRow("number first, single quotes, blanks around =")
            << fb2Head("<sequence number = '3'\tname='Дюна'/>") << "Дюна"
            << "3";
        QTest::newRow("no number") << fb2Head("<sequence name=\"Дюна\"/>") << "Дюна"
                                   << "";
        QTest::newRow("number not an integer, kept as written")
            << fb2Head("<sequence name=\"Дюна\" number=\" 2.5 \"/>") << "Дюна"
            << "2.5";
        QTest::newRow("entities and blanks around")
            << fb2Head("<sequence name=\" Цикл &quot;Мир&quot; &amp; др. \"/>") << "Цикл \"Мир\" & др."
            << "";
        QTest::newRow("Windows-1251") << fb2Head(windows1251("<sequence name=\"Дюна\" number=\"1\"/>")) << "Дюна"
                                      << "1";
        QTest::newRow("no name") << fb2Head("<sequence number=\"1\"/><sequences name=\"x\"/>") << ""
                                 << "";
        QTest::newRow("only the publisher's")
            << QByteArray("<description><title-info><book-title>T</book-title></title-info><publish-info>"
                          "<sequence name=\"Серия издательства\" number=\"5\"/></publish-info>")
            << ""
            << "";
        QTest::newRow("tag cut off by the head's end")
            << QByteArray("<title-info>" + QByteArray(Fb2HeadSize - 30, ' ') + "<sequence name=\"Дюна\"") << ""
            << "";
        QTest::newRow("after the first 10000 bytes")
            << QByteArray("<title-info>" + QByteArray(Fb2HeadSize, ' ') + "<sequence name=\"Дюна\"/>") << ""
            << "";
    }
    void seriesRules()
    {
        QFETCH(QByteArray, head);
        const Fb2Metadata metadata = Fb2MetadataReader().read(head);
        QTEST(metadata.series, "series");
        QTEST(metadata.seriesNumber, "number");
    }

    void onlyTheFirst10000BytesAreSearched()
    {
        const QByteArray start = "<book-title>";
        QByteArray late = QByteArray(Fb2HeadSize - 5, ' ') + start + "Late</book-title>";
        QByteArray straddling = QByteArray(Fb2HeadSize - start.size() - 6, ' ') + start + "Cut</book-title>";
        QByteArray fits = QByteArray(Fb2HeadSize - start.size() - 17, ' ') + start + "Fits</book-title>";
        QCOMPARE(fits.size(), Fb2HeadSize);
        const QVector<BookRow> books =
            passOver({{"late.fb2", late}, {"straddling.fb2", straddling}, {"fits.fb2", fits}});
        QCOMPARE(books[0].title, QString());
        QCOMPARE(books[1].title, QString());
        QCOMPARE(books[2].title, QString("Fits"));
    }

    void zeroByteBook()
    {
        const QVector<BookRow> books = passOver({{"zero.fb2", QByteArray()}}, BookRow{.author = "A", .title = "Kept"});
        QCOMPARE(books[0].author, QString());
        QCOMPARE(books[0].title, QString("Kept"));
        QCOMPARE(books[0].mime_type, QString("application/fb2"));
    }

    void unreadableBooksAreSkipped()
    {
        QVERIFY(QDir(m_dir.path()).mkdir("folder.fb2"));
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath("pipe.fb2")).constData(), 0600) == 0);
        BookTable books;
        const BookRow before{.author = "A", .title = "T"};
        for (const char *name : {"folder.fb2", "pipe.fb2", "vanished.fb2"}) {
            BookRow row = before;
            row.full_path = m_dir.filePath(name);
            books.appendRow(row);
        }
        RecordingProgress progress;
        QCOMPARE(
            runMetadataPass(books, progress),
            QStringList({m_dir.filePath("folder.fb2"), m_dir.filePath("pipe.fb2"), m_dir.filePath("vanished.fb2")}));
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(books.cellText(row, AuthorColumn), QString("A"));
            QCOMPARE(books.cellText(row, TitleColumn), QString("T"));
            QCOMPARE(books.cellText(row, MimeTypeColumn), QString());
        }
    }

    void lastNameOnlySurvivesFurtherPasses()
    {
        BookTable books;
        books.appendRows(passOver({{"last.fb2", fb2Head("<author><last-name>Петров</last-name></author>")}}));
        RecordingProgress progress;
        for (int pass = 0; pass < 3; ++pass)
            runMetadataPass(books, progress);
        QCOMPARE(books.cellText(0, AuthorColumn), QString("Петров"));
    }

    void pathologicalHeadEndsAsNoMatch()
    {
        QByteArray head = "<author>";
        while (head.size() < Fb2HeadSize)
            head += "<first-name><first-name></first-name>";
        const Fb2Metadata metadata = Fb2MetadataReader().read(head);
        QCOMPARE(metadata.author, QString());
    }

    void decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ASCII") << QByteArray("Plain") << "Plain";
        QTest::newRow("two-byte UTF-8") << QString("Война").toUtf8() << "Война";
        QTest::newRow("three-byte UTF-8") << QString("关于 €").toUtf8() << "关于 €";
        QTest::newRow("four-byte UTF-8") << QString("Книга 𝔸 😀").toUtf8() << "Книга 𝔸 😀";
        QTest::newRow("Windows-1251") << windows1251("Анна Каренина «№1»") << "Анна Каренина «№1»";
        QTest::newRow("overlong UTF-8 is not UTF-8") << QByteArray("\xC0\xAF") << "АЇ";
        QTest::newRow("UTF-8 cut short") << QByteArray("\xD0\x98\xD0") << QString::fromUtf16(u"\u0420\u0098\u0420");
        QTest::newRow("encoded surrogate is not UTF-8")
            << QByteArray("\xED\xA0\x80") << QString::fromUtf16(u"\u043D\u00A0\u0402");
        QTest::newRow("empty") << QByteArray() << "";
    }
    void decoding()
    {
        QFETCH(QByteArray, bytes);
        QTEST(decodeBookText(bytes), "text");
    }

    void systemCodecAgreesWithQt()
    {
        QByteArray everyByte;
        for (int byte = 0; byte < 256; ++byte)
            everyByte.append(char(byte));
        const QString system = decodeWindows1251WithSystemCodec(everyByte);
        QCOMPARE(system.size(), 256);
        QCOMPARE(system, decodeWindows1251(everyByte));
        QCOMPARE(system.at(0xC8), QChar(u'И'));
        QVERIFY(!system.contains(QChar::ReplacementCharacter));
    }

    void mimeTypes()
    {
        QCOMPARE(mimeTypeOf(bookKindOf(u"/a/b.fb2")), QString("application/fb2"));
        QCOMPARE(mimeTypeOf(bookKindOf(u"/a/b.TxT")), QString("text/plain"));
        QCOMPARE(mimeTypeOf(bookKindOf(u"/a/b.pdf")), QString("application/pdf"));
        QCOMPARE(mimeTypeOf(bookKindOf(u"/a/b.EPUB")), QString("application/epub+zip"));
        QCOMPARE(bookKindOf(u"/a/b.fb2.zip"), BookKind::None);
        QCOMPARE(bookKindOf(u"/a/b.epub2"), BookKind::None);
        QCOMPARE(bookKindOf(u"/a.fb2/b"), BookKind::None);
        QCOMPARE(bookKindOf(u"/a/fb2"), BookKind::None);
    }
};

QTEST_GUILESS_MAIN(TestMetadata)
#include "test_metadata.moc"
