#include "collections/automatic_collections.h"
#include "collections/shown_books.h"
#include "collections/statistics.h"
#include "covers/book_formats.h"
#include "support/page_columns.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "test_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QTest>

namespace {
BookRow book(const QString &root, const QString &path, const QString &collection = {})
{
    return BookRow{.full_path = path,
                   .collection = collection,
                   .file_size = QStringLiteral("1000"),
                   .title = path.section(u'/', -1),
                   .root = root};
}

void addBooks(LibraryPage &page, const QVector<BookRow> &books)
{
    page.books.appendRows(books);
}

// The collection list as (name, count) pairs.
QList<QPair<QString, QString>> listed(const LibraryPage &page)
{
    QList<QPair<QString, QString>> rows;
    for (const CollectionRow &collection : page.collections.rows())
        rows.append({collection.name, collection.book_count});
    return rows;
}

QStringList collectionsOfBooks(const LibraryPage &page)
{
    return fieldTexts(page.books, &BookRow::collection);
}

QStringList shownPaths(const LibraryPage &page)
{
    return fieldTexts(page.shownBooks, &ShownBookRow::full_path);
}

// The books of the worked example: a folder added whole and a file added by itself.
QVector<BookRow> workedExample()
{
    return {book("/home/u/Books", "/home/u/Books/Intro.pdf"), book("/home/u/Books", "/home/u/Books/Fantasy/Quest.fb2"),
            book("/home/u/Books", "/home/u/Books/Fantasy/Dragons/Tale.epub"),
            book("/home/u/Books", "/home/u/Books/Fantasy/Dragons/Tale 2.epub"),
            book("/mnt/Library/Poems", "/mnt/Library/Poems/Verses.txt")};
}
// The brief the build hands the file list is the one worked out from its rows afresh.
void verifyHandedSummary(const LibraryPage &page)
{
    const BookCollectionSummary &handed = page.books.collectionSummary();
    const BookCollectionSummary fresh = BookCollectionSummary::of(page.books.rows());
    QCOMPARE(handed.booksInCollections(), fresh.booksInCollections());
    QCOMPARE(handed.bytesInCollections(), fresh.bytesInCollections());
    for (const BookRow &row : page.books.rows())
        QCOMPARE(handed.rowsOf(row.collection), fresh.rowsOf(row.collection));
}

void addLocales()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("russian") << "ru_RU";
    QTest::newRow("english") << "en_US";
    QTest::newRow("plain C") << "C";
}

// The locale of the test row for the collator, the usual one again afterwards.
struct DefaultLocale
{
    DefaultLocale()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
    }
    ~DefaultLocale() { QLocale::setDefault(QLocale::system()); }
};
} // namespace

class TestAutomaticCollections : public QObject
{
    Q_OBJECT
private slots:
    void folderCollectionName_data()
    {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<bool>("slash");
        QTest::addColumn<QString>("expected");
        const QString back = "\\";
        const QString forward = "/";
        // The worked examples, with Windows paths.
        QTest::newRow("book directly in the added folder") << "C:\\Books"
                                                           << "C:\\Books\\Intro.pdf" << back << false << "Books";
        QTest::newRow("sub-folder") << "C:\\Books"
                                    << "C:\\Books\\Fantasy\\Quest.fb2" << back << false << "Books_Fantasy";
        QTest::newRow("nested sub-folders")
            << "C:\\Books"
            << "C:\\Books\\Fantasy\\Dragons\\Tale.epub" << back << false << "Books_Fantasy_Dragons";
        QTest::newRow("file added by itself") << "D:\\Library\\Poems"
                                              << "D:\\Library\\Poems\\Verses.txt" << back << false << "Poems";
        // The same rules with the native separator of Unix.
        QTest::newRow("unix sub-folder") << "/home/u/Books"
                                         << "/home/u/Books/Fantasy/Quest.fb2" << forward << false << "Books_Fantasy";
        QTest::newRow("cyrillic names") << "/home/u/Книги"
                                        << "/home/u/Книги/Фантастика/Лем/Солярис.fb2" << forward << false
                                        << "Книги_Фантастика_Лем";
        QTest::newRow("colons removed, other characters kept")
            << "/home/u/Том: 1"
            << "/home/u/Том: 1/Часть: 2 (и 3)/a.fb2" << forward << false << "Том 1_Часть 2 (и 3)";
        QTest::newRow("a backslash is a plain character on unix")
            << "/home/u/Books"
            << "/home/u/Books/a\\b/c.fb2" << forward << false << "Books_a\\b";
        QTest::newRow("root chosen with a trailing separator")
            << "/home/u/Books/"
            << "/home/u/Books/Sub/a.fb2" << forward << false << "Books_Sub";
        QTest::newRow("doubled separators count once")
            << "/home/u/Books"
            << "/home/u/Books/Sub//Deep/a.fb2" << forward << false << "Books_Sub_Deep";
        QTest::newRow("doubled separator before the file") << "C:\\Books"
                                                           << "C:\\Books\\\\a.pdf" << back << false << "Books";
        // Roots that are not where the path lies: the book counts as directly in the folder.
        QTest::newRow("root not found in the path") << "/elsewhere/Books"
                                                    << "/home/u/Books/Sub/a.fb2" << forward << false << "Books";
        QTest::newRow("root a name prefix, not a folder of the path")
            << "/home/u/Books"
            << "/home/u/Books2/Sub/a.fb2" << forward << false << "Books";
        QTest::newRow("root found later in the path") << "/Books"
                                                      << "/mnt/x/Books/Sub/a.fb2" << forward << false << "Books_Sub";
        // Whole volumes: a drive takes its letter, the file-system root its sub-folders.
        QTest::newRow("drive root, book at the top") << "D:\\"
                                                     << "D:\\a.fb2" << back << false << "D";
        QTest::newRow("drive root, sub-folders") << "D:\\"
                                                 << "D:\\Sub\\Deep\\a.fb2" << back << false << "D_Sub_Deep";
        QTest::newRow("file added by itself from a drive root") << "D:"
                                                                << "D:\\a.fb2" << back << false << "D";
        QTest::newRow("file-system root, sub-folder") << "/"
                                                      << "/Sub/Deep/a.fb2" << forward << false << "Sub_Deep";
        QTest::newRow("file-system root, book at the top") << "/"
                                                           << "/a.fb2" << forward << false << "";
        QTest::newRow("network share") << "\\\\server\\share"
                                       << "\\\\server\\share\\Sub\\a.pdf" << back << false << "share_Sub";
        // The editing page: the reader's stored paths keep their forward slashes.
        QTest::newRow("reader path on windows")
            << "E:\\Sony_Reader\\media\\books\\Fantasy"
            << "E:\\Sony_Reader/media/books/Fantasy/Series/a.fb2" << back << true << "Fantasy_Series";
        QTest::newRow("reader path, slashes not taken as separators")
            << "E:\\Sony_Reader\\media\\books\\Fantasy"
            << "E:\\Sony_Reader/media/books/Fantasy/Series/a.fb2" << back << false << "Fantasy";
        QTest::newRow("reader book directly in the books folder")
            << "E:\\Sony_Reader\\media\\books\\"
            << "E:\\Sony_Reader/media/books/a.fb2" << back << true << "books";
        QTest::newRow("reader path on unix")
            << "/media/u/READER/Sony_Reader/media/books/Fantasy"
            << "/media/u/READER/Sony_Reader/media/books/Fantasy/Series/a.fb2" << forward << true << "Fantasy_Series";
        QTest::newRow("reader root written with slashes")
            << "E:/Sony_Reader/media/books/Fantasy"
            << "E:\\Sony_Reader/media/books/Fantasy/a.fb2" << back << true << "Fantasy";
    }

    void folderCollectionName()
    {
        QFETCH(QString, root);
        QFETCH(QString, path);
        QFETCH(QString, separator);
        QFETCH(bool, slash);
        QTEST(::folderCollectionName(root, path, PathSeparators{separator.front(), slash}), "expected");
    }

    void buildsOneSortedCollectionPerFolder()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        addBooks(page, workedExample());
        ScriptedDialogs dialogs;

        const PageUpdate update = buildFolderCollections(page, dialogs);

        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(listed(page),
                 (QList<QPair<QString, QString>>{
                     {"Books", "1"}, {"Books_Fantasy", "1"}, {"Books_Fantasy_Dragons", "2"}, {"Poems", "1"}}));
        QCOMPARE(collectionsOfBooks(page),
                 (QStringList{"Books", "Books_Fantasy", "Books_Fantasy_Dragons", "Books_Fantasy_Dragons", "Poems"}));
        QVERIFY(update.rerunStatistics);
        QCOMPARE(update.selectCollectionRow, 0);
        QCOMPARE(page.shownBooks.shown_collection_row, 0);
        QCOMPARE(shownPaths(page), QStringList{"/home/u/Books/Intro.pdf"});
        QCOMPARE(page.collections.headerTexts(), (QStringList{"#", "Название коллекции", "Книг в коллекции"}));
        QCOMPARE(page.collections.columnWidth(CollectionNameColumn), 380);
        QCOMPARE(page.books.columnAlignment(CollectionColumn), Qt::AlignHCenter);
        QCOMPARE(page.books.headerAlignment(CollectionColumn), Qt::AlignHCenter);
        QCOMPARE(page.books.headerAlignment(FileSizeColumn), Qt::AlignHCenter);
        QCOMPARE(updateStatistics(page).total_size, 5000);
    }

    // The user's collation, and Qt's plain "C" locale where no language is set.
    void ordersNamesIgnoringLetterCase_data() { addLocales(); }
    void ordersNamesIgnoringLetterCase()
    {
        const DefaultLocale locale;
        LibraryPage page(LibraryPage::Kind::Creation);
        addBooks(page, {book("/l/gamma", "/l/gamma/a.fb2"), book("/l/Beta", "/l/Beta/a.fb2"),
                        book("/l/alpha", "/l/alpha/a.fb2"), book("/l/Alpha2", "/l/Alpha2/a.fb2")});
        ScriptedDialogs dialogs;
        buildFolderCollections(page, dialogs);
        QStringList names;
        for (const CollectionRow &collection : page.collections.rows())
            names << collection.name;
        QCOMPARE(names, (QStringList{"alpha", "Alpha2", "Beta", "gamma"}));
    }

    void foldersOfTheSameNameMakeOneCollection()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        addBooks(page, {book("/a/Books", "/a/Books/x.fb2"), book("/b/Books", "/b/Books/y.pdf"),
                        book("/a/Books", "/a/Books/z.txt")});
        ScriptedDialogs dialogs;
        buildFolderCollections(page, dialogs);
        QCOMPARE(listed(page), (QList<QPair<QString, QString>>{{"Books", "3"}}));
        QCOMPARE(shownPaths(page), (QStringList{"/a/Books/x.fb2", "/b/Books/y.pdf", "/a/Books/z.txt"}));
    }

    // A folder added whole and a book of it added by itself: one folder, two roots, two names.
    void oneFolderUnderTwoRootsGivesEachItsName()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        addBooks(page, {book("/a", "/a/S/1.fb2"), book("/a/S", "/a/S/2.fb2"), book("/a", "/a/S/3.fb2"),
                        book("/a/S", "/a/S/4.fb2")});
        ScriptedDialogs dialogs;
        buildFolderCollections(page, dialogs);
        QCOMPARE(collectionsOfBooks(page), (QStringList{"a_S", "S", "a_S", "S"}));
    }

    void namesDifferingInCaseTakeTheFormMetFirst_data() { addLocales(); }
    void namesDifferingInCaseTakeTheFormMetFirst()
    {
        const DefaultLocale locale;
        LibraryPage page(LibraryPage::Kind::Creation);
        addBooks(page, {book("/a/Книги", "/a/Книги/Sub/1.fb2"), book("/b/книги", "/b/книги/SUB/2.fb2"),
                        book("/b/книги", "/b/книги/3.fb2"), book("/a/Книги", "/a/Книги/4.fb2")});
        ScriptedDialogs dialogs;
        buildFolderCollections(page, dialogs);
        // Every book of either form is listed, counted and carries the kept form.
        QCOMPARE(listed(page), (QList<QPair<QString, QString>>{{"книги", "2"}, {"Книги_Sub", "2"}}));
        QCOMPARE(collectionsOfBooks(page), (QStringList{"Книги_Sub", "Книги_Sub", "книги", "книги"}));
        QCOMPARE(shownPaths(page), (QStringList{"/b/книги/3.fb2", "/a/Книги/4.fb2"}));
        const PageStatistics statistics = updateStatistics(page);
        QCOMPARE(statistics.total_size, 4000);
        verifyHandedSummary(page);
    }

    void anEmptyNameIsNoCollection()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        // The book at the top of "/" has no folder to name its collection after.
        addBooks(page, {book("/", "/top.fb2", "Старая"), book("/", "/Sub/a.fb2"), book("/", "/Sub/b.fb2")});
        page.collections.appendRow({"Старая", "1", {}});
        ScriptedDialogs dialogs;
        buildFolderCollections(page, dialogs);
        QCOMPARE(listed(page), (QList<QPair<QString, QString>>{{"Sub", "2"}}));
        QCOMPARE(collectionsOfBooks(page), (QStringList{"", "Sub", "Sub"}));
        verifyHandedSummary(page);
    }

    void onlyEmptyNamesLeaveNoCollection()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        addBooks(page, {book("/", "/top.fb2", "Старая")});
        page.collections.appendRow({"Старая", "1", {}});
        page.collections.setHeaderTexts({"#", "Название коллекции", "Книг в коллекции"});
        page.shownBooks.showBookRows({0});
        ScriptedDialogs dialogs;
        const PageUpdate update = buildFolderCollections(page, dialogs);
        QCOMPARE(page.collections.rowCount(), 0);
        QVERIFY(!page.collections.hasHeader());
        QCOMPARE(page.shownBooks.rowCount(), 0);
        QCOMPARE(collectionsOfBooks(page), QStringList{""});
        QVERIFY(update.rerunStatistics);
        QCOMPARE(update.selectCollectionRow, -1);
    }

    void replacesHandCollectionsAndGivesTheSameListTwice()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        QVector<BookRow> books = workedExample();
        books[0].collection = "Моя";
        books[4].collection = "Пустая";
        addBooks(page, books);
        page.collections.appendRows({{"Моя", "1", {}}, {"Пустая", "1", {}}, {"Books", "0", {}}});
        ScriptedDialogs dialogs;

        buildFolderCollections(page, dialogs);
        const QVector<CollectionRow> first = page.collections.rows();
        const QVector<BookRow> firstBooks = page.books.rows();
        buildFolderCollections(page, dialogs);

        QCOMPARE(page.collections.rows(), first);
        QCOMPARE(page.books.rows(), firstBooks);
        QCOMPARE(page.collections.indexOfName("Моя"), -1);
        QCOMPARE(page.collections.indexOfName("Пустая"), -1);
        QCOMPARE(page.collections.rowCount(), 4);
    }

    void emptyFileListIsRefusedWithThePagesMessage_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("message");
        QTest::newRow("creation page") << false << "Сначала добавьте книги в программу!";
        QTest::newRow("editing page") << true << "Книги не обнаружены или были удалены из списка!";
    }

    void emptyFileListIsRefusedWithThePagesMessage()
    {
        QFETCH(bool, editing);
        LibraryPage page(editing ? LibraryPage::Kind::Editing : LibraryPage::Kind::Creation);
        page.collections.appendRow({"Своя", "0", "7"});
        ScriptedDialogs dialogs;
        const PageUpdate update = buildFolderCollections(page, dialogs);
        QFETCH(QString, message);
        QCOMPARE(dialogs.messages(), QStringList{message});
        QCOMPARE(page.collections.rowCount(), 1);
        QVERIFY(!update.rerunStatistics);
    }

    void editingPageTakesTheReadersFolders()
    {
        LibraryPage page(LibraryPage::Kind::Editing);
        const QString books = "/media/u/READER/Sony_Reader/media/books/";
        BookRow series = book(books + "Fantasy", books + "Fantasy/Series/a.fb2", "Переименованная");
        series.record_id = "3";
        addBooks(page, {book(books + "Fantasy", books + "Fantasy/b.fb2", "Переименованная"), series});
        page.collections.appendRow({"Переименованная", "2", "1"});
        ScriptedDialogs dialogs;
        buildFolderCollections(page, dialogs);
        // The loaded collection and its id are gone: the reader gets the folder collections.
        QCOMPARE(page.collections.rows(), (QVector<CollectionRow>{{"Fantasy", "1", {}}, {"Fantasy_Series", "1", {}}}));
        QCOMPARE(page.books.row(1).record_id, QString("3"));
        QCOMPARE(page.collections.columnWidth(CollectionRecordIdColumn), 0);
    }

    // The reader's books have their heads read where the reader is now, though it came back under
    // another root since the load; a book whose file cannot be read goes by its folder.
    void editingPageReadsTheSeriesOnTheReader()
    {
        const QTemporaryDir now;
        const QString loadedFrom = "/media/u/OLD/";
        const QString books = "Sony_Reader/media/books/";
        QVERIFY(QDir().mkpath(now.filePath(books + "Толстой")));
        QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/fb2/example.fb2", now.filePath(books + "Толстой/1.fb2")));
        QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/pdf/project-history.en.pdf", now.filePath(books + "Толстой/2.pdf")));
        QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/fb2/example.fb2", now.filePath(books + "Толстой/broken.epub")));
        LibraryPage page(LibraryPage::Kind::Editing);
        page.reader.deviceRoot = loadedFrom;
        const QString folder = loadedFrom + books + "Толстой";
        addBooks(page, {book(folder, folder + "/1.fb2"), book(folder, folder + "/2.pdf"),
                        book(folder, folder + "/gone.fb2"), book(folder, folder + "/broken.epub")});
        RecordingProgress progress;
        QCOMPARE(readSeriesOnReader(page, progress, BookFormats(), now.path() + "/"), QStringList{folder + "/gone.fb2"});
        // With EPUB read, its package document is looked for too.
        BookFormats epub;
        epub.epubAndPdf = true;
        const QStringList unreadable = readSeriesOnReader(page, progress, epub, now.path() + "/");
        QCOMPARE(unreadable, (QStringList{folder + "/gone.fb2", folder + "/broken.epub"}));
        QVERIFY(!progress.visible);
        ScriptedDialogs dialogs;
        buildAutomaticCollections(page, dialogs, CollectionSource::Series);
        QCOMPARE(collectionsOfBooks(page),
                 (QStringList{"Детство, Отрочество, Юность", "Толстой", "Толстой", "Толстой"}));
        QCOMPARE(page.books.row(0).full_path, folder + "/1.fb2");
    }

    // A series lists its books by their numbers in it, as the reader will.
    void aSeriesIsShownInSeriesOrder()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        const auto numbered = [](const QString &path, const QString &number) {
            BookRow row = book("/a", path);
            row.series = "S";
            row.series_number = number;
            return row;
        };
        addBooks(page, {numbered("/a/3.fb2", "3"), numbered("/a/1.fb2", "1"), book("/a", "/a/x.fb2"),
                        numbered("/a/2.fb2", "2")});
        ScriptedDialogs dialogs;
        buildAutomaticCollections(page, dialogs, CollectionSource::Series);
        showCollectionBooks(page, page.collections.indexOfName("S"));
        QCOMPARE(shownPaths(page), (QStringList{"/a/1.fb2", "/a/2.fb2", "/a/3.fb2"}));
    }

    // By series or author, a book saying neither goes where its folder puts it. On the editing
    // page no book's head was read: the series build gives the folders, the author build the
    // authors the reader stores.
    void buildsByWhatTheBooksSay_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<CollectionSource>("source");
        QTest::addColumn<QStringList>("listed"); // "name count", "*" for a list in series order
        QTest::addColumn<QStringList>("ofBooks");
        QTest::newRow("series, case and blanks merged")
            << false << CollectionSource::Series << QStringList{"Дюна 2*", "Книги_Фантастика 1", "Основание 1*"}
            << QStringList{"Дюна", "Дюна", "Книги_Фантастика", "Основание"};
        QTest::newRow("authors") << false << CollectionSource::Authors
                                 << QStringList{"Айзек Азимов 1", "Книги_Фантастика 1", "Фрэнк Герберт 2"}
                                 << QStringList{"Фрэнк Герберт", "Фрэнк Герберт", "Книги_Фантастика", "Айзек Азимов"};
        QTest::newRow("folders as ever") << false << CollectionSource::Folders
                                         << QStringList{"Книги 2", "Книги_Фантастика 2"}
                                         << QStringList{"Книги_Фантастика", "Книги", "Книги_Фантастика", "Книги"};
        QTest::newRow("editing page, series")
            << true << CollectionSource::Series << QStringList{"Fantasy 1", "Fantasy_Series 1"}
            << QStringList{"Fantasy", "Fantasy_Series"};
        QTest::newRow("editing page, authors")
            << true << CollectionSource::Authors << QStringList{"Fantasy_Series 1", "Лем 1"}
            << QStringList{"Лем", "Fantasy_Series"};
    }
    void buildsByWhatTheBooksSay()
    {
        QFETCH(bool, editing);
        QFETCH(CollectionSource, source);
        LibraryPage page(editing ? LibraryPage::Kind::Editing : LibraryPage::Kind::Creation);
        const auto told = [](BookRow row, const QString &series, const QString &author) {
            row.series = series;
            row.author = author;
            return row;
        };
        if (editing) {
            const QString books = "/media/u/READER/Sony_Reader/media/books/";
            addBooks(page, {told(book(books + "Fantasy", books + "Fantasy/a.fb2"), {}, "Лем"),
                            book(books + "Fantasy", books + "Fantasy/Series/b.fb2")});
        } else {
            addBooks(page, {told(book("/a/Книги", "/a/Книги/Фантастика/1.fb2"), "Дюна", "Фрэнк Герберт"),
                            told(book("/a/Книги", "/a/Книги/2.fb2"), "  дюна ", " фрэнк герберт"),
                            book("/a/Книги", "/a/Книги/Фантастика/3.pdf"),
                            told(book("/a/Книги", "/a/Книги/4.fb2"), "Основание", "Айзек Азимов")});
        }
        ScriptedDialogs dialogs;
        buildAutomaticCollections(page, dialogs, source);
        QStringList names;
        for (const CollectionRow &collection : page.collections.rows())
            names << collection.name + " " + collection.book_count + (collection.series_order ? "*" : "");
        QTEST(names, "listed");
        QTEST(collectionsOfBooks(page), "ofBooks");
        verifyHandedSummary(page);
    }
};

QTEST_GUILESS_MAIN(TestAutomaticCollections)
#include "test_automatic_collections.moc"
