#include "editor/reader_paths.h"

#include <QDir>
#include <QTest>

namespace {
const QString deviceRoot = QDir::toNativeSeparators("/media/user/READER/");

QString onDevice(const QString &path)
{
    return deviceRoot + QDir::toNativeSeparators(path);
}
} // namespace

class TestReaderPaths : public QObject
{
    Q_OBJECT
private slots:
    void placeOfAStoredPath_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("relativePath");

        QTest::newRow("folder below the books folder")
            << "Sony_Reader/media/books/Fantasy/Series/a.fb2" << onDevice("Sony_Reader/media/books/Fantasy")
            << QDir::toNativeSeparators("Fantasy/Series/a.fb2");
        QTest::newRow("directly in the books folder")
            << "Sony_Reader/media/books/a.fb2" << onDevice("Sony_Reader/media/books/") << "a.fb2";
        QTest::newRow("Cyrillic folders") << "Sony_Reader/media/books/Фантастика/Стругацкие/Пикник.fb2"
                                          << onDevice("Sony_Reader/media/books/Фантастика")
                                          << QDir::toNativeSeparators("Фантастика/Стругацкие/Пикник.fb2");
        QTest::newRow("books folder spelt in other letter case")
            << "sony_reader/Media/BOOKS/F/a.fb2" << onDevice("Sony_Reader/media/books/F")
            << QDir::toNativeSeparators("F/a.fb2");
        QTest::newRow("empty folder name, as the rule cuts it")
            << "Sony_Reader/media/books//a.fb2" << onDevice("Sony_Reader/media/books/")
            << QDir::toNativeSeparators("/a.fb2");
        // Elsewhere on the reader the path is taken below the device root, not cut by position.
        QTest::newRow("another folder of the reader") << "Sony_Reader/media/other/x.pdf" << onDevice("Sony_Reader")
                                                      << QDir::toNativeSeparators("Sony_Reader/media/other/x.pdf");
        QTest::newRow("a folder of the device root")
            << "download/x.pdf" << onDevice("download") << QDir::toNativeSeparators("download/x.pdf");
        QTest::newRow("the device root itself") << "x.pdf" << deviceRoot << "x.pdf";
        QTest::newRow("written with a leading separator")
            << "/books/x.pdf" << onDevice("books") << QDir::toNativeSeparators("books/x.pdf");
        QTest::newRow("the books folder without its separator") << "Sony_Reader/media/books" << onDevice("Sony_Reader")
                                                                << QDir::toNativeSeparators("Sony_Reader/media/books");
        QTest::newRow("no path (NULL)") << "" << deviceRoot << "";
    }

    void placeOfAStoredPath()
    {
        QFETCH(QString, stored);
        QFETCH(QString, root);
        QFETCH(QString, relativePath);
        ReaderBookPlaces places(deviceRoot);
        const ReaderBookPlace place = places.place(stored);
        QCOMPARE(place.full_path, deviceRoot + stored); // exactly as stored after the root
        QCOMPARE(place.root, root);
        QCOMPARE(place.relative_path, relativePath);
    }

    void booksOfOneFolderShareTheirRoot()
    {
        ReaderBookPlaces places(deviceRoot);
        const ReaderBookPlace first = places.place("Sony_Reader/media/books/Fantasy/a.fb2");
        const ReaderBookPlace elsewhere = places.place("Fantasy/b.fb2");
        const ReaderBookPlace second = places.place("Sony_Reader/media/books/Fantasy/Sub/c.fb2");
        QCOMPARE(second.root, first.root);
        QCOMPARE(second.root.constData(), first.root.constData());
        QCOMPARE(elsewhere.root, onDevice("Fantasy")); // the same folder name below another base
    }
};

QTEST_GUILESS_MAIN(TestReaderPaths)
#include "test_reader_paths.moc"
