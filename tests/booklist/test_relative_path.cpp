#include "booklist/new_book_rows.h"
#include "booklist/relative_path.h"

#include <QTest>

class TestRelativePath : public QObject
{
    Q_OBJECT
private slots:
    void relativeBookPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("expected");
        QTest::newRow("scanned folder") << "/home/u/Books/Fiction/Sub/a.fb2"
                                        << "/home/u/Books/Fiction"
                                        << "Fiction/Sub/a.fb2";
        QTest::newRow("scanned folder chosen with a trailing separator") << "/home/u/Books/Fiction/Sub/a.fb2"
                                                                         << "/home/u/Books/Fiction/"
                                                                         << "Fiction/Sub/a.fb2";
        QTest::newRow("single file, its folder as base") << "/home/u/Books/Fiction/a.fb2"
                                                         << "/home/u/Books/Fiction/"
                                                         << "Fiction/a.fb2";
        QTest::newRow("top-level folder") << "/Books/a.fb2"
                                          << "/Books"
                                          << "Books/a.fb2";
        QTest::newRow("file-system root scanned") << "/Sub/a.fb2"
                                                  << "/"
                                                  << "Sub/a.fb2";
        QTest::newRow("file in the file-system root") << "/a.fb2"
                                                      << "/"
                                                      << "a.fb2";
        QTest::newRow("drive root scanned keeps the letter without colon") << "D:/Sub/a.fb2"
                                                                           << "D:/"
                                                                           << "D/Sub/a.fb2";
        QTest::newRow("file in a drive root") << "D:/a.fb2"
                                              << "D:/"
                                              << "D/a.fb2";
        QTest::newRow("colon inside a name") << "/home/u/Books/Том 1: Начало.fb2"
                                             << "/home/u/Books"
                                             << "Books/Том 1_ Начало.fb2";
        QTest::newRow("colon in a folder name") << "/home/u/C:/x.fb2"
                                                << "/home/u/C:"
                                                << "C_/x.fb2";
        QTest::newRow("every character FAT refuses")
            << QStringLiteral("/l/B*k?/a\"b<c>d|e\\f\x01g\x7F.fb2") << "/l/B*k?"
            << "B_k_/a_b_c_d_e_f_g_.fb2";
        QTest::newRow("other characters kept") << "/l/Книги (2024)/#1 & co, [x] 'y'.fb2"
                                               << "/l/Книги (2024)"
                                               << "Книги (2024)/#1 & co, [x] 'y'.fb2";
        QTest::newRow("doubled separator") << "/home/u/Books//a.fb2"
                                           << "/home/u/Books"
                                           << "Books/a.fb2";
        QTest::newRow("parent case differs, whole path kept") << "/HOME/u/a.fb2"
                                                              << "/home/u"
                                                              << "HOME/u/a.fb2";
    }
    void relativeBookPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, base);
        QFETCH(QString, expected);
        QCOMPARE(::relativeBookPath(path, base), expected);
    }

    void nameWithoutExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("simple") << "a.fb2"
                                << "a";
        QTest::newRow("cut at the first occurrence of the extension") << "x.fb2.old.fb2"
                                                                      << "x";
        QTest::newRow("only the last extension counts") << "book.tar.epub"
                                                        << "book.tar";
        QTest::newRow("case kept") << "Report.PDF"
                                   << "Report";
        QTest::newRow("no extension") << "README"
                                      << "README";
        QTest::newRow("dots before the extension") << "Я вас любил....txt"
                                                   << "Я вас любил...";
        QTest::newRow("hidden file") << ".hidden.fb2"
                                     << ".hidden";
        QTest::newRow("only an extension") << ".fb2"
                                           << "";
        QTest::newRow("trailing dot") << "a.b."
                                      << "a";
    }
    void nameWithoutExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(::nameWithoutExtension(name), expected);
    }

    void singleBookRow_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("displayName");
        QTest::newRow("in a folder") << "/home/u/Books/Fiction/a.fb2"
                                     << "/home/u/Books/Fiction"
                                     << "Fiction/a.fb2"
                                     << "a.fb2"
                                     << "a";
        // The root folder has no name of its own: "/" names it, and the book lies at the top.
        QTest::newRow("in the file-system root") << "/a.fb2"
                                                 << "/"
                                                 << "a.fb2"
                                                 << "a.fb2"
                                                 << "a";
        QTest::newRow("unsafe name") << "/b/Q: A?.txt"
                                     << "/b"
                                     << "b/Q_ A_.txt"
                                     << "Q: A?.txt"
                                     << "Q: A?";
    }
    void singleBookRow()
    {
        QFETCH(QString, path);
        const BookRow row = ::singleBookRow(path);
        QCOMPARE(row.full_path, path);
        QTEST(row.root, "root");
        QTEST(row.relative_path, "relativePath");
        QTEST(row.file_name, "fileName");
        QTEST(row.display_name, "displayName");
        QVERIFY(row.collection.isEmpty() && row.title.isEmpty() && row.file_size.isEmpty());
    }

    void scannedBookRowKeepsTheScanRoot()
    {
        const BookRow row = scannedBookRow("/home/u/Books/Fiction/Sub/", "b.Epub", "/home/u/Books/Fiction");
        QCOMPARE(row.full_path, QString("/home/u/Books/Fiction/Sub/b.Epub"));
        QCOMPARE(row.root, QString("/home/u/Books/Fiction"));
        QCOMPARE(row.relative_path, QString("Fiction/Sub/b.Epub"));
        QCOMPARE(row.display_name, QString("b"));
        QCOMPARE(row.file_name, QString("b.Epub"));
    }
};

QTEST_GUILESS_MAIN(TestRelativePath)
#include "test_relative_path.moc"
