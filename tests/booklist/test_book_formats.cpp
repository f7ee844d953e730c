#include "booklist/book_intake.h"
#include "core/file_facts.h"
#include "core/file_transfer.h"
#include "core/zip_archive.h"
#include "core/zipped_fb2.h"
#include "covers/book_formats.h"
#include "covers/cover_thumbnail.h"
#include "support/intake_rows.h"
#include "support/sync_scene.h"
#include "support/zip_writing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray &sampleFb2()
{
    static const QByteArray bytes = fileBytes(samplePath("fb2/test2.1.fb2"));
    return bytes;
}

BookFormats formatsOn(bool zippedFb2, bool epubAndPdf)
{
    BookFormats formats;
    formats.zippedFb2 = zippedFb2;
    formats.epubAndPdf = epubAndPdf;
    return formats;
}

// A copy of the sample EPUB in `dir` with `metadata` added to its package document's metadata.
QString epubWithMetadata(const QTemporaryDir &dir, const QString &sample, const QByteArray &metadata)
{
    const std::optional<ZipArchive> archive = ZipArchive::open(samplePath(sample));
    QList<ZipMember> members;
    for (qint64 index = 0; index < archive->entryCount(); ++index) {
        const QByteArray name = archive->entry(index)->name;
        QByteArray bytes = archive->read(index, 1 << 20).value();
        if (name.endsWith(".opf"))
            bytes.replace("</metadata>", metadata + "</metadata>");
        members << ZipMember{name, bytes};
    }
    const QString book = dir.filePath(QFileInfo(sample).fileName());
    return writeZip(book, members) ? book : QString();
}

} // namespace

class TestBookFormats : public QObject
{
    Q_OBJECT
private slots:
    void archivesHoldingOneFb2BookAreFit_data()
    {
        QTest::addColumn<QList<ZipMember>>("members");
        QTest::addColumn<quint32>("declaredSize"); // 0: as written
        QTest::addColumn<QString>("problem");      // empty: fit
        QTest::newRow("one book") << QList<ZipMember>{{"book.fb2", sampleFb2()}} << 0u << "";
        QTest::newRow("in a folder") << QList<ZipMember>{{"Books/", {}}, {"Books/book.FB2", sampleFb2()}} << 0u << "";
        QTest::newRow("no FB2") << QList<ZipMember>{{"book.txt", "text"}} << 0u << "в архиве нет книги FB2";
        QTest::newRow("several files") << QList<ZipMember>{{"a.fb2", sampleFb2()}, {"cover.jpg", "jpeg"}} << 0u
                                       << "в архиве несколько файлов, а должна быть одна книга FB2";
        QTest::newRow("climbs out") << QList<ZipMember>{{"../book.fb2", sampleFb2()}} << 0u
                                    << "путь файла в архиве выходит за его пределы";
        QTest::newRow("from the root") << QList<ZipMember>{{"/etc/book.fb2", sampleFb2()}} << 0u
                                       << "путь файла в архиве выходит за его пределы";
        QTest::newRow("inflates past the bound") << QList<ZipMember>{{"book.fb2", sampleFb2()}} << 300000000u
                                                 << "книга в архиве распаковывается больше чем в 256 МБ";
        QTest::newRow("encrypted") << QList<ZipMember>{{"book.fb2", sampleFb2(), true}} << 0u
                                   << "книга в архиве зашифрована";
    }
    void archivesHoldingOneFb2BookAreFit()
    {
        QFETCH(QList<ZipMember>, members);
        QFETCH(quint32, declaredSize);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath("book.fb2.zip");
        if (!writeZip(path, members))
            QSKIP("libzip cannot write this archive here");
        if (declaredSize)
            declareEntrySize(path, declaredSize);
        const ZippedFb2 book = checkZippedFb2(path);
        QCOMPARE(book.problem, problem);
        QCOMPARE(book.entry >= 0, problem.isEmpty());
        if (problem.isEmpty())
            QCOMPARE(zippedFb2Text(path), std::optional<QByteArray>(sampleFb2()));
        QCOMPARE(checkZippedFb2(samplePath("fb2/badfile.zip")).problem, QString("файл поврежден или это не ZIP-архив"));
    }

    void zippedBooksAreAddedAsTheFb2BookInside()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath("Lib");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(samplePath("fb2/test2.1.fb2.zip"), folder + "/test2.1.fb2.zip"));
        QVERIFY(QFile::copy(samplePath("fb2/badfile.zip"), folder + "/bad.zip"));
        QVERIFY(QFile::copy(samplePath("fb2/minimal.fb2"), folder + "/minimal.fb2"));

        // Switched off, archives are not books, as before.
        QStringList unfit;
        QVector<BookRow> rows = intakeRows(folder, BookFormats(), &unfit);
        QCOMPARE(rows.size(), 1);
        QVERIFY(unfit.isEmpty());

        rows = intakeRows(folder, formatsOn(true, false), &unfit);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(unfit,
                 QStringList{QDir::toNativeSeparators(folder + "/bad.zip") + ": файл поврежден или это не ZIP-архив"});
        QVERIFY(unfitArchivesMessage(unfit).contains("bad.zip"));
        const BookRow &zipped = rows.at(0).full_path.endsWith(".zip") ? rows.at(0) : rows.at(1);
        QCOMPARE(zipped.file_name, QString("test2.1.fb2"));
        QCOMPARE(zipped.display_name, QString("test2.1"));
        QCOMPARE(zipped.relative_path, QDir::toNativeSeparators("Lib/test2.1.fb2"));
        QCOMPARE(zipped.mime_type, QString("application/fb2"));
        QCOMPARE(zipped.author, QString("Дмитрий Грибов"));
        QCOMPARE(zipped.title, QString("Тестовый ознакомительный документ FictionBook 2.1"));
        QCOMPARE(zipped.file_size.bytes(), qint64(sampleFb2().size()));
        QCOMPARE(unpackedBookName(u"Повесть.ZIP"), QString("Повесть.fb2"));
    }

    void zippedBookReachesTheReaderUnpacked()
    {
        SyncScene scene;
        scene.formats.zippedFb2 = true;
        scene.addBooks({{"fb2/test2.1.fb2.zip", "Рыбы/test2.1.fb2.zip", "Рыбы"}});
        QCOMPARE(scene.totalSize(), qint64(sampleFb2().size()));
        QVERIFY(scene.run());
        const QString book = scene.booksFolder() + "Книги/Рыбы/test2.1.fb2";
        QCOMPARE(fileBytes(book), sampleFb2());
        QVERIFY(!QFile::exists(scene.booksFolder() + "Книги/Рыбы/test2.1.fb2.zip"));
        // Its cover is the FB2 book's PNG, as for the plain book; its record takes the first id the reader never gave.
        QCOMPARE(scene.readerFiles().value("Sony_Reader/database/cache/books/6/thumbnail/main_thumbnail.jpg"),
                 coverThumbnail(samplePath("fb2/test2.1.fb2")).bytes);

        // Synchronised again, the unpacked copy is taken for the same book and stays untouched.
        const std::optional<FileFacts> before = fileFacts(book);
        QVERIFY(scene.run());
        QCOMPARE(fileFacts(book)->identity, before->identity);
    }

    void archiveThatBreaksItsPromisesLeavesNoBook()
    {
        QTemporaryDir dir;
        const QString archive = dir.filePath("book.fb2.zip");
        QVERIFY(writeZip(archive, {{"book.fb2", sampleFb2()}}));
        declareEntrySize(archive, 100); // inflates far past what it declares
        QVERIFY(!unpackFileOver(archive, dir.filePath("out/book.fb2")));
        QVERIFY(!copyFileOver(archive, dir.filePath("out/book.fb2")));
        QCOMPARE(QDir(dir.filePath("out")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void epubTitlesAndAuthors_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("author");
        QTest::newRow("EPUB 2") << "epub/epub2_cover.epub"
                                << "Pandoc EPUB Test"
                                << "François Martin";
        QTest::newRow("EPUB 3") << "epub/wasteland.epub"
                                << "The Waste Land"
                                << "T.S. Eliot";
        QTest::newRow("Cyrillic, no author") << "epub/project-history.ru.epub"
                                             << "Краткая история Debian"
                                             << "";
        QTest::newRow("no author") << "epub/test.epub"
                                   << "Hello World"
                                   << "";
    }
    void epubTitlesAndAuthors()
    {
        QFETCH(QString, sample);
        QFETCH(QString, title);
        QFETCH(QString, author);
        const QVector<BookRow> on = intakeRows(samplePath(sample), formatsOn(false, true));
        QCOMPARE(on.at(0).title, title);
        QCOMPARE(on.at(0).author, author);
        const QVector<BookRow> off = intakeRows(samplePath(sample), BookFormats());
        QCOMPARE(off.at(0).title, off.at(0).file_name);
        QCOMPARE(off.at(0).author, QString());
    }

    // A series the book belongs to as EPUB 3 says it, else as e-book managers write it.
    void epubSeries_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QByteArray>("metadata");
        QTest::addColumn<QString>("series");
        QTest::addColumn<QString>("number");
        const QByteArray manager = "<meta name='calibre:series' content=' Дюна '/>"
                                   "<meta name='calibre:series_index' content='2.5'/>";
        QTest::newRow("EPUB 3") << "epub/wasteland.epub"
                                << "<meta property='belongs-to-collection' id='c1'>Поэмы</meta>"
                                   "<meta refines='#c1' property='collection-type'>series</meta>"
                                   "<meta refines='#c1' property='group-position'>3</meta>" +
                                       manager
                                << "Поэмы"
                                << "3";
        QTest::newRow("a set is no series")
            << "epub/wasteland.epub"
            << "<meta property='belongs-to-collection' id='c1'>Собрание</meta>"
               "<meta refines='#c1' property='collection-type'>set</meta>" +
                   manager
            << "Дюна"
            << "2.5";
        QTest::newRow("EPUB 2, a manager's series") << "epub/epub2_cover.epub" << manager << "Дюна"
                                                    << "2.5";
        QTest::newRow("none") << "epub/epub2_cover.epub" << QByteArray() << "" << "";
    }
    void epubSeries()
    {
        QFETCH(QString, sample);
        QFETCH(QByteArray, metadata);
        QTemporaryDir dir;
        const QString book = epubWithMetadata(dir, sample, metadata);
        const QVector<BookRow> on = intakeRows(book, formatsOn(false, true));
        QTEST(on.at(0).series, "series");
        QTEST(on.at(0).series_number, "number");
        QCOMPARE(intakeRows(book, BookFormats()).at(0).series, QString());
    }

    void epubCovers_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<bool>("hasCover");
        QTest::newRow("meta name=cover") << "epub/epub2_cover.epub" << true;
        QTest::newRow("properties=cover-image") << "epub/wasteland.epub" << true;
        QTest::newRow("no cover") << "epub/test.epub" << false;
    }
    void epubCovers()
    {
        QFETCH(QString, sample);
        QFETCH(bool, hasCover);
        const Thumbnail on = coverThumbnail(samplePath(sample), formatsOn(false, true));
        QCOMPARE(on.source, hasCover ? ThumbnailSource::Cover : ThumbnailSource::Placeholder);
        QVERIFY(on.bytes.startsWith("\xFF\xD8\xFF"));
        QCOMPARE(coverThumbnail(samplePath(sample)).source, ThumbnailSource::Placeholder);
    }

    void epubCoverFromTheGuideAlone()
    {
        // The EPUB 2 sample without its cover meta: only the guide's cover page leads to the picture.
        QTemporaryDir dir;
        const QString original = samplePath("epub/epub2_cover.epub");
        QList<ZipMember> members;
        for (const QByteArray name : {"mimetype", "META-INF/container.xml", "OEBPS/content.opf", "OEBPS/cover.xhtml",
                                      "OEBPS/image/cover.jpg"}) {
            const std::optional<ZipArchive> archive = ZipArchive::open(original);
            QByteArray bytes = archive->read(*archive->find(name), 1 << 20).value();
            if (name.endsWith(".opf"))
                bytes.replace("<meta name=\"cover\" content=\"cover-img\" />", "");
            members << ZipMember{name, bytes};
        }
        const QString book = dir.filePath("guide.epub");
        QVERIFY(writeZip(book, members));
        const Thumbnail thumbnail = coverThumbnail(book, formatsOn(false, true));
        QCOMPARE(thumbnail.source, ThumbnailSource::Cover);
        QCOMPARE(thumbnail.bytes, coverThumbnail(original, formatsOn(false, true)).bytes);
    }
};

QTEST_GUILESS_MAIN(TestBookFormats)
#include "test_book_formats.moc"
