#include "collections/library_page.h"
#include "editor/reader_library.h"
#include "sqlite/sqlite_connection.h"
#include "support/fixture_reader.h"
#include "support/recording_progress.h"
#include "support/scratch_volume.h"
#include "support/sqlite_test_tools.h"

#include <QAbstractItemModelTester>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

#include <optional>

#ifdef Q_OS_UNIX
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {
// Every field of a book row, in column order, so a failing comparison shows the cells.
QStringList cells(const BookRow &book)
{
    QStringList result;
    for (int column = 0; column < BookColumnCount; ++column)
        result << bookCellText(book, column);
    return result;
}

QList<QStringList> bookCells(const QVector<BookRow> &books)
{
    QList<QStringList> result;
    for (const BookRow &book : books)
        result << cells(book);
    return result;
}

// Collections as "name/book_count/record_id".
QStringList collectionCells(const QVector<CollectionRow> &collections)
{
    QStringList result;
    for (const CollectionRow &collection : collections)
        result << collection.name + '/' + collection.book_count + '/' + collection.record_id;
    return result;
}

QStringList collectionNames(const QVector<BookRow> &books)
{
    QStringList result;
    for (const BookRow &book : books)
        result << book.collection;
    return result;
}

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

ReaderLibrary load(const FixtureReader &reader)
{
    RecordingProgress progress;
    return readReaderLibrary(reader.root(), progress);
}

QString onReader(const FixtureReader &reader, const QString &path)
{
    return reader.root() + QDir::toNativeSeparators(path);
}

} // namespace

class TestReaderLibrary : public QObject
{
    Q_OBJECT
private slots:
    void loadsTheLibraryAsTheFirmwareWroteIt()
    {
        const FixtureReader reader;
        const ReaderLibrary library = load(reader);
        const QString books = "Sony_Reader/media/books/";
        QCOMPARE(
            bookCells(library.books),
            (QList<QStringList>{
                {reader.root() + books + "Фантастика/Стругацкие/Пикник на обочине.fb2", "Прочитанное", "2817",
                 "Аркадий Стругацкий", "Пикник на обочине", onReader(reader, books + "Фантастика"),
                 "Пикник на обочине.fb2", "1704103200000", "1703980800000", "Пикник на обочине.fb2", "application/fb2",
                 QDir::toNativeSeparators("Фантастика/Стругацкие/Пикник на обочине.fb2"), "1"},
                {reader.root() + books + "Fantastika/solaris.epub", "Фантастика", "5120", "Stanisław Lem", "Solaris",
                 onReader(reader, books + "Fantastika"), "solaris.epub", "1704189600000", "1690000000000",
                 "solaris.epub", "application/epub+zip", QDir::toNativeSeparators("Fantastika/solaris.epub"), "2"},
                {reader.root() + books + "Manuals/PRS-T3 guide.pdf", "Документация", "8192", "Sony",
                 "Руководство PRS-T3", onReader(reader, books + "Manuals"), "PRS-T3 guide.pdf", "1704276000000",
                 "1650000000000", "PRS-T3 guide.pdf", "application/pdf",
                 QDir::toNativeSeparators("Manuals/PRS-T3 guide.pdf"), "3"},
                {reader.root() + books + "notes.txt", "", "640", "", "Заметки", onReader(reader, books), "notes.txt",
                 "1704362400000", "1704362400000", "notes.txt", "text/plain", "notes.txt", "5"},
            }));
        // Book 1 is in Фантастика and, later, in Прочитанное: its cell shows the later, it is
        // listed under both and counts in both.
        QCOMPARE(collectionCells(library.collections),
                 (QStringList{"Фантастика/2/1", "Документация/1/2", "Прочитанное/1/3"}));
        QCOMPARE(library.books.at(0).other_collections, QStringList{"Фантастика"});
        for (int book = 1; book < library.books.size(); ++book)
            QVERIFY(library.books.at(book).other_collections.isEmpty());
        QCOMPARE(library.loaded.deviceRoot, reader.root());
    }

    // Every membership of a loaded book in a loaded collection is kept as read, with its order,
    // whatever the reader's table holds later.
    void keepsEachMembershipWithItsOrder()
    {
        const FixtureReader reader;
        reader.runSql("update collections set added_order = _id * 10");
        const QList<QVariantList> stored = sqliteRows(
            reader.databasePath(),
            "select collection_id, content_id, added_order from collections where content_id in (select _id from "
            "books) and collection_id in (select _id from collection) order by _id");
        const ReaderLibrary library = load(reader);
        reader.runSql("delete from collections");
        QList<QVariantList> kept;
        for (const LoadedMembership &membership : library.loaded.memberships)
            kept.append(
                {membership.collection.toLongLong(), membership.book.toLongLong(), membership.addedOrder.toInteger()});
        QCOMPARE(kept, stored);
    }

    void readerWithoutCollections()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        reader.addBook("Книга", "Папка/книга.fb2");
        const ReaderLibrary library = load(reader);
        QCOMPARE(library.collections.size(), 0);
        QCOMPARE(collectionNames(library.books), QStringList{""});
    }

    // The room taken for the rows before reading them stays within what the file could hold.
    void booksFarApartLoadInRoomForWhatTheFileHolds()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        reader.addBook("Первая", "a/1.fb2");
        reader.insert("books", {{"_id", qint64(1) << 22}, {"title", "Последняя"}});
        const ReaderLibrary library = load(reader);
        QCOMPARE(library.books.size(), 2);
        QVERIFY(library.books.capacity() < QFileInfo(reader.databasePath()).size());
    }

    void readerWithoutBooks()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        reader.addCollection("Пустая");
        reader.addMembership(1, 7); // names a book that is gone
        const ReaderLibrary library = load(reader);
        QCOMPARE(library.books.size(), 0);
        QCOMPARE(collectionCells(library.collections), QStringList{"Пустая/0/1"});
    }

    void membershipsNamingNoLoadedRecordChangeNothing()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        reader.addBook("Первая", "a/1.fb2");
        reader.addCollection("Коллекция");
        reader.addMembership(1, 99);
        reader.addMembership(99, 1);
        reader.insert("collections", {{"collection_id", QVariant()}, {"content_id", QVariant()}});
        const ReaderLibrary library = load(reader);
        QCOMPARE(collectionNames(library.books), QStringList{""});
        QCOMPARE(collectionCells(library.collections), QStringList{"Коллекция/0/1"});
    }

    void nullCellsLoadAsEmptyText()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        reader.insert("books", {{"title", QVariant()}});
        reader.addCollection(QVariant());
        reader.addMembership(1, 1);
        const ReaderLibrary library = load(reader);
        // A book without a path lies, as far as the page can tell, at the device root.
        QCOMPARE(bookCells(library.books),
                 (QList<QStringList>{{reader.root(), "", "", "", "", reader.root(), "", "", "", "", "", "", "1"}}));
        QCOMPARE(collectionCells(library.collections), QStringList{"/1/1"});
    }

    void aPathOutsideTheBooksFolderKeepsItsOwnPlace()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        reader.insert("books", {{"title", "Руководство"}, {"file_path", "Sony_Reader/media/manuals/guide.pdf"}});
        const ReaderLibrary library = load(reader);
        QCOMPARE(library.books.size(), 1);
        const BookRow &book = library.books.first();
        QCOMPARE(book.full_path, reader.root() + "Sony_Reader/media/manuals/guide.pdf");
        QCOMPARE(book.root, onReader(reader, "Sony_Reader"));
        QCOMPARE(book.relative_path, QDir::toNativeSeparators("Sony_Reader/media/manuals/guide.pdf"));
    }

    void sameTitledCollectionsLoadAsTwoRows()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        reader.addBook("Первая", "a/1.fb2");
        reader.addBook("Вторая", "a/2.fb2");
        reader.addCollection("Любимое");
        reader.addCollection("Любимое");
        reader.addMembership(1, 1);
        reader.addMembership(2, 2);
        reader.addMembership(2, 1);
        const ReaderLibrary library = load(reader);
        QCOMPARE(collectionCells(library.collections), (QStringList{"Любимое/1/1", "Любимое/2/2"}));
        QCOMPARE(collectionNames(library.books), (QStringList{"Любимое", "Любимое"}));
    }

    void withoutCollectionTables_data()
    {
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<QStringList>("collections");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("no collection table") << "collection" << QStringList() << QStringList{"", "", "", ""};
        QTest::newRow("no membership table")
            << "collections" << QStringList{"Фантастика/0/1", "Документация/0/2", "Прочитанное/0/3"}
            << QStringList{"", "", "", ""};
        QTest::newRow("neither") << "collection; drop table collections" << QStringList()
                                 << QStringList{"", "", "", ""};
    }

    void withoutCollectionTables()
    {
        QFETCH(QString, dropped);
        QFETCH(QStringList, collections);
        QFETCH(QStringList, shown);
        const FixtureReader reader;
        reader.runSql("drop table " + dropped);
        const ReaderLibrary library = load(reader);
        QCOMPARE(collectionCells(library.collections), collections);
        QCOMPARE(collectionNames(library.books), shown);
    }

    void readerWrittenByAnotherProgram()
    {
        // Its own column order and types, no AUTOINCREMENT, columns and tables of its own.
        const FixtureReader reader("CREATE TABLE books (_id INTEGER PRIMARY KEY, file_path TEXT, title TEXT, "
                                   "file_size INTEGER, author TEXT, mime_type TEXT, file_name TEXT, added_date "
                                   "INTEGER, modified_date INTEGER, book_state TEXT, borrowed INTEGER);"
                                   "CREATE TABLE collection (title TEXT, _id INTEGER PRIMARY KEY, color TEXT);"
                                   "CREATE TABLE collections (content_id INTEGER, collection_id INTEGER);"
                                   "CREATE TABLE shelves (name TEXT)");
        reader.insert("books", {{"_id", 10},
                                {"file_path", "Sony_Reader/media/books/Поэзия/стихи.txt"},
                                {"title", "Стихи"},
                                {"file_size", "1 КБ"}, // text where a number belongs
                                {"author", "Поэт"},
                                {"added_date", 1.5},
                                {"book_state", "read"},
                                {"borrowed", 1}});
        reader.insert("collection", {{"title", "Поэзия"}, {"_id", 4}, {"color", "red"}});
        reader.insert("collections", {{"content_id", "10"}, {"collection_id", 4}}); // the id as text
        reader.insert("shelves", {{"name", "Полка"}});
        const ReaderLibrary library = load(reader);
        QCOMPARE(bookCells(library.books),
                 (QList<QStringList>{{reader.root() + "Sony_Reader/media/books/Поэзия/стихи.txt", "Поэзия", "1", "Поэт",
                                      "Стихи", onReader(reader, "Sony_Reader/media/books/Поэзия"), "", "1", "", "", "",
                                      QDir::toNativeSeparators("Поэзия/стихи.txt"), "10"}}));
        QCOMPARE(collectionCells(library.collections), QStringList{"Поэзия/1/4"});
    }

    // Ids that repeat (tables without their primary key), are far apart or are not numbers match as a scan of
    // the rows comparing the ids' texts would match them, which is how the reader's library was
    // first described: the last membership names the shown collection, every match counts.
    void idsMatchAsTextsAsAScanWouldMatchThem()
    {
        const FixtureReader reader("CREATE TABLE books (_id, title TEXT, author TEXT, added_date INTEGER, "
                                   "modified_date INTEGER, file_path TEXT, file_name TEXT, file_size INTEGER, "
                                   "mime_type TEXT);"
                                   "CREATE TABLE collection (_id INTEGER, title TEXT);"
                                   "CREATE TABLE collections (collection_id, content_id)");
        QRandomGenerator random(12);
        // Ids of 19 digits, so far apart that they span more rows than memory could hold.
        const QVariantList ids{1, 2, 3, "3", "03", "x", 2.0, QVariant(), 7, -4, 100000, qint64(1) << 62,
                               -(qint64(1) << 62)};
        const auto anyId = [&] { return ids.at(random.bounded(int(ids.size()))); };
        for (int book = 0; book < 40; ++book)
            reader.insert("books", {{"_id", anyId()}, {"title", QString("Книга %1").arg(book)}});
        for (int collection = 0; collection < 8; ++collection)
            reader.insert("collection", {{"_id", anyId()}, {"title", QString("К%1").arg(collection)}});
        for (int membership = 0; membership < 150; ++membership)
            reader.insert("collections", {{"collection_id", anyId()}, {"content_id", anyId()}});

        // The plain nested scan over the texts the result table reads.
        SqliteConnection database;
        database.open(reader.databasePath(), SqliteConnection::OpenMode::ReadOnly);
        QList<std::pair<QString, QString>> collections; // id, name
        for (QueryResult rows = database.query("select _id, title from collection"); !rows.eof(); rows.next())
            collections.append({rows.fieldAsText(0), rows.fieldAsText(1)});
        QStringList bookIds;
        for (QueryResult rows = database.query("select _id from books"); !rows.eof(); rows.next())
            bookIds << rows.fieldAsText(0);
        QStringList shown(bookIds.size());
        QList<int> counts(collections.size(), 0);
        for (QueryResult rows = database.query("select collection_id, content_id from collections"); !rows.eof();
             rows.next()) {
            for (int c = 0; c < collections.size(); ++c) {
                if (collections.at(c).first != rows.fieldAsText(0))
                    continue;
                for (int b = 0; b < bookIds.size(); ++b) {
                    if (bookIds.at(b) == rows.fieldAsText(1)) {
                        shown[b] = collections.at(c).second;
                        ++counts[c];
                    }
                }
            }
        }
        database.close();

        const ReaderLibrary library = load(reader);
        QCOMPARE(collectionNames(library.books), shown);
        QStringList loadedCounts;
        QStringList expectedCounts;
        for (int c = 0; c < collections.size(); ++c) {
            loadedCounts << library.collections.at(c).book_count;
            expectedCounts << QString::number(counts.at(c));
        }
        QCOMPARE(loadedCounts, expectedCounts);
        QVERIFY(std::any_of(counts.cbegin(), counts.cend(), [](int count) { return count > 1; }));
    }

    // Whatever keeps the library from loading is said in Russian; nothing is returned half-read.
    void everyFailureIsSaidInRussian_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("message");
        QTest::newRow("no books table") << "drop view markups; drop view periodicals; drop table books"
                                        << "В базе данных устройства нет библиотеки книг:";
        QTest::newRow("a column missing") << "drop view periodicals; alter table books drop column mime_type"
                                          << "Не удалось открыть базу данных устройства:";
        QTest::newRow("a collection table of another layout")
            << "drop table collection; create table collection (_id INTEGER PRIMARY KEY, name TEXT)"
            << "Не удалось открыть базу данных устройства:";
        QTest::newRow("not a database") << "garbage"
                                        << "База данных устройства повреждена:";
        QTest::newRow("held by another program") << "lock"
                                                 << "База данных устройства занята другой программой:";
        QTest::newRow("gone") << "remove"
                              << "Не удалось открыть базу данных устройства:";
    }

    void everyFailureIsSaidInRussian()
    {
        QFETCH(QString, sql);
        QFETCH(QString, message);
        const FixtureReader reader;
        std::optional<ExclusiveLock> lock;
        if (sql == "garbage") {
            QFile file(reader.databasePath());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray(4096, 'x'));
        } else if (sql == "lock") {
            lock.emplace(reader.databasePath());
            QVERIFY(lock->locked());
        } else if (sql == "remove") {
            QVERIFY(QFile::remove(reader.databasePath()));
        } else {
            reader.runSql(sql);
        }
        RecordingProgress progress;
        const QString error = errorOf([&] { readReaderLibrary(reader.root(), progress); });
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QVERIFY(sql != "remove" || !QFile::exists(reader.databasePath()));
    }

    // What another program left unfinished is settled before the library is read: a hot journal is
    // rolled back, a database in WAL mode is read with its last write and left without -wal or -shm.
    void loadsWhatAnotherProgramLeftUnfinished_data()
    {
        QTest::addColumn<bool>("wal");
        QTest::addColumn<QString>("title");
        QTest::newRow("hot journal") << false << "Пикник на обочине";
        QTest::newRow("WAL") << true << "Written in WAL";
    }

    void loadsWhatAnotherProgramLeftUnfinished()
    {
#ifndef Q_OS_UNIX
        QSKIP("the other program dies in a child process, which needs fork");
#else
        QFETCH(bool, wal);
        QFETCH(QString, title);
        const FixtureReader reader;
        const QString path = reader.databasePath();
        if (wal)
            sqliteExecute(path, "pragma journal_mode=WAL");
        // The other program dies before it can commit, or before it can checkpoint.
        const pid_t child = ::fork();
        if (child == 0) {
            SqliteConnection other;
            other.open(path);
            other.query("PRAGMA cache_size=1");
            if (!wal)
                other.beginTransaction();
            other.execute("update books set title = 'Written in WAL' where _id = 1");
            other.execute("create table filler (x); insert into filler select randomblob(4000) from "
                          "(with recursive n(i) as (select 1 union all select i + 1 from n where i < 500) "
                          "select i from n)");
            ::_exit(0);
        }
        int status = 0;
        QVERIFY(::waitpid(child, &status, 0) == child);
        QVERIFY(QFile::exists(path + (wal ? "-wal" : "-journal")));

        const ReaderLibrary library = load(reader);
        QCOMPARE(library.books.first().title, title);
        for (const QString suffix : {"-wal", "-shm", "-journal"})
            QVERIFY2(!QFile::exists(path + suffix), qPrintable(suffix));
        QCOMPARE(sqliteRows(path, "pragma journal_mode"), QList<QVariantList>{{"delete"}});
#endif
    }

    void loadingNeverWrites()
    {
        const FixtureReader reader;
        const QByteArray before = fileDigest(reader.databasePath());
        const QStringList entries = QDir(reader.root() + "Sony_Reader/database").entryList(QDir::AllEntries);
        load(reader);
        QCOMPARE(fileDigest(reader.databasePath()), before);
        QCOMPARE(QDir(reader.root() + "Sony_Reader/database").entryList(QDir::AllEntries), entries);
    }

    void loadsAReaderThatCannotBeWritten()
    {
        ScratchVolume volume(8 * 1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason()));
        FixtureReader::build(volume.path(), FixtureReader::Contents::Library);
        QVERIFY(volume.remountReadOnly());
        RecordingProgress progress;
        const ReaderLibrary library = readReaderLibrary(volume.path() + '/', progress);
        QCOMPARE(library.books.size(), 4);
        QCOMPARE(library.collections.size(), 3);
    }

    void progressShowsOnlyForALargeDatabase()
    {
        const FixtureReader reader;
        RecordingProgress small;
        readReaderLibrary(reader.root(), small);
        QCOMPARE(small.calls, QStringList());

        reader.runSql("create table padding (data blob); insert into padding values (zeroblob(" +
                      QString::number(LargeReaderDatabaseBytes) + "))");
        RecordingProgress large;
        readReaderLibrary(reader.root(), large);
        QCOMPARE(large.states(), (QStringList{"max main 100", "pos item 0", "caption item ", "pos main 5",
                                              "caption main Загружаю библиотеку с устройства...", "show", "pos main 40",
                                              "pos main 80", "pos main 90", "pos main 100", "hide"}));
        QCOMPARE(large.calls.count("events"), 4);
    }

    void installPutsTheLibraryOnThePage()
    {
        const FixtureReader reader;
        LibraryPage page(LibraryPage::Kind::Editing);
        const QAbstractItemModelTester booksTester(&page.books, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QAbstractItemModelTester collectionsTester(&page.collections,
                                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
        int insertions = 0;
        connect(&page.books, &QAbstractItemModel::rowsInserted, this, [&insertions] { ++insertions; });
        ReaderLibrary library = load(reader);
        const QVector<BookRow> books = library.books;
        installReaderLibrary(page, std::move(library));

        QCOMPARE(insertions, 1);
        QCOMPARE(bookCells(page.books.rows()), bookCells(books));
        QCOMPARE(page.books.headerTexts(),
                 (QStringList{"Полный путь к файлу", "Коллекция", "file_size", "Автор", "Название книги", "Root",
                              "Имя файла", "added_date", "modified_date", "file_name", "mime_type"}));
        const QList<int> widths{400, 300, 0, 100, 200, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int column = 0; column < BookColumnCount; ++column)
            QCOMPARE(page.books.columnWidth(column), widths.at(column));
        QCOMPARE(page.books.headerAlignment(CollectionColumn), Qt::AlignHCenter);
        QCOMPARE(page.books.headerAlignment(FileSizeColumn), Qt::AlignHCenter);
        QCOMPARE(page.books.headerAlignment(AuthorColumn), Qt::AlignLeft);

        QCOMPARE(page.collections.rowCount(), 3);
        QCOMPARE(page.collections.headerTexts(), (QStringList{"#", "Название коллекции", "Книг в коллекции"}));
        QCOMPARE(page.collections.columnWidth(CollectionNumberColumn), GridModel::FitToContents);
        QCOMPARE(page.collections.columnWidth(CollectionNameColumn), 380);
        QCOMPARE(page.collections.columnWidth(CollectionBookCountColumn), GridModel::FitToContents);
        QCOMPARE(page.collections.columnWidth(CollectionRecordIdColumn), 0);
        QCOMPARE(page.collections.headerAlignment(CollectionBookCountColumn), Qt::AlignHCenter);
        // Loaded cells keep the default alignment.
        QCOMPARE(page.collections.columnAlignment(CollectionNumberColumn), Qt::AlignLeft);
        QCOMPARE(page.collections.columnAlignment(CollectionBookCountColumn), Qt::AlignLeft);
        QCOMPARE(page.collections.cellText(2, CollectionNumberColumn), QString("3"));

        QCOMPARE(page.reader.deviceRoot, reader.root());
        QVERIFY(!page.reader.memberships.isEmpty());
        QCOMPARE(page.shownBooks.rowCount(), 0);
    }

    void anEmptyReaderStillGetsItsHeaders()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        LibraryPage page(LibraryPage::Kind::Editing);
        installReaderLibrary(page, load(reader));
        QCOMPARE(page.books.rowCount(), 0);
        QCOMPARE(page.books.headerTexts().size(), 11);
        QCOMPARE(page.collections.headerTexts().size(), 3);
        QCOMPARE(page.reader.deviceRoot, reader.root());
    }

    void tellsWhetherTheReaderStillHoldsTheLoadedBooks()
    {
        const FixtureReader reader;
        const ReaderLibrary library = load(reader);
        const auto holdsSameBooks = [&library](const QString &databasePath) {
            SqliteConnection now;
            now.open(databasePath, SqliteConnection::OpenMode::ReadOnly);
            return library.loaded.holdsSameBooks(LoadedBookPathsReader::read(now));
        };
        QVERIFY(holdsSameBooks(reader.databasePath()));

        // Collections and firmware columns may change meanwhile; the books are the same.
        reader.runSql("delete from collections; update books set reading_time = 1");
        QVERIFY(holdsSameBooks(reader.databasePath()));

        const FixtureReader another;
        another.runSql("update books set file_path = file_path || '.old' where _id = 5");
        QVERIFY(!holdsSameBooks(another.databasePath()));
        const FixtureReader swapped;
        swapped.runSql("update books set file_path = (select group_concat(file_path, '') from books b where b._id "
                       "in (1, 2) and b._id <> books._id) where _id in (1, 2)");
        QVERIFY(!holdsSameBooks(swapped.databasePath()));
        const FixtureReader fewer;
        fewer.runSql("delete from books where _id = 3");
        QVERIFY(!holdsSameBooks(fewer.databasePath()));
        const FixtureReader renumbered;
        renumbered.runSql("update books set _id = 4 where _id = 5");
        QVERIFY(!holdsSameBooks(renumbered.databasePath()));
        const FixtureReader more;
        more.addBook("Новая", "Новое/новая.fb2");
        QVERIFY(!holdsSameBooks(more.databasePath()));
        const FixtureReader empty(FixtureReader::Contents::Empty);
        QVERIFY(!holdsSameBooks(empty.databasePath()));
    }
};

QTEST_GUILESS_MAIN(TestReaderLibrary)
#include "test_reader_library.moc"
