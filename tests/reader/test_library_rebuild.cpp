#include "booklist/book_table.h"
#include "collections/collection_table.h"
#include "reader/reader_layout.h"
#include "support/fixture_reader.h"
#include "sync/page_rebuild.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
// A book row as the creation page leaves it after adding /home/user/Книги.
BookRow bookRow(const QString &relativePath, const QString &collection, const QString &title,
                const QString &author = QStringLiteral("Лев Толстой"),
                const QString &fileSize = QStringLiteral("100407"),
                const QString &mimeType = QStringLiteral("application/fb2"))
{
    BookRow row;
    row.full_path = QDir::toNativeSeparators("/home/user/" + relativePath);
    row.collection = collection;
    row.file_size = fileSize;
    row.author = author;
    row.title = title;
    row.root = QDir::toNativeSeparators("/home/user/Книги");
    row.display_name = relativePath.section('/', -1).section('.', 0, 0);
    row.added_date = "1717243200000";
    row.modified_date = "1717000000000";
    row.file_name = relativePath.section('/', -1);
    row.mime_type = mimeType;
    row.relative_path = QDir::toNativeSeparators(relativePath);
    return row;
}

CollectionRow collectionRow(const QString &name, const QString &bookCount = QStringLiteral("0"))
{
    return CollectionRow{name, bookCount, {}};
}

// A books row as the rebuild writes it: every one of the firmware's 28 columns.
QVariantList writtenBook(qlonglong id, const QString &title, const QString &author, qlonglong added, qlonglong modified,
                         const QString &filePath, qlonglong size, const QString &mimeType)
{
    const QVariant null;
    return {
        id,       title,    author, null,
        null,     null,     null,   0LL,
        added,    modified, added,  null,
        filePath, title,    size,   QString("Sony_Reader/database/cache/books/%1/thumbnail/main_thumbnail.jpg").arg(id),
        mimeType, null,     null,   0LL,
        null,     null,     null,   null,
        null,     null,     null,   null};
}

QList<QVariantList> rowsOf(const FixtureReader &reader, const QString &sql)
{
    return sqliteRows(reader.databasePath(), sql);
}

// The storage type of every cell of `table`, one text per row ("integer text null ..."):
// QVariant comparison alone would take the text "1" for the integer 1.
QStringList storageTypes(const FixtureReader &reader, const QString &table)
{
    QStringList columns;
    for (const QVariantList &column : rowsOf(reader, "pragma table_info(" + table + ")"))
        columns << "typeof(" + column.at(1).toString() + ")";
    QStringList types;
    for (const QVariantList &row : rowsOf(reader, "select " + columns.join(" || ' ' || ") + " from " + table))
        types << row.at(0).toString();
    return types;
}
} // namespace

class TestLibraryRebuild : public QObject
{
    Q_OBJECT
private slots:
    void writesEveryColumnOfEveryRow()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        BookTable books;
        books.appendRows({
            bookRow("Книги/Толстой/Война и мир.fb2", "Классика", "Война и мир"),
            bookRow("Книги/Фантастика/Пикник.epub", "Фантастика", "Пикник \"на обочине\"", "Стругацкие", "5120",
                    "application/epub+zip"),
            bookRow("Книги/readme.txt", "Классика", "readme", "", "0", "text/plain"),
        });
        CollectionTable collections;
        collections.appendRows(
            {collectionRow("Классика", "2"), collectionRow("Фантастика", "1"), collectionRow("Пустая")});

        rebuildLibrary(reader.root(), books, collections);

        QCOMPARE(rowsOf(reader, "select * from books order by _id"),
                 (QList<QVariantList>{
                     writtenBook(1, "Война и мир", "Лев Толстой", 1717243200000, 1717000000000,
                                 "Sony_Reader/media/books/Книги/Толстой/Война и мир.fb2", 100407, "application/fb2"),
                     writtenBook(2, "Пикник `на обочине`", "Стругацкие", 1717243200000, 1717000000000,
                                 "Sony_Reader/media/books/Книги/Фантастика/Пикник.epub", 5120, "application/epub+zip"),
                     writtenBook(3, "readme", "", 1717243200000, 1717000000000,
                                 "Sony_Reader/media/books/Книги/readme.txt", 0, "text/plain"),
                 }));
        QCOMPARE(rowsOf(reader, "select * from collection order by _id"),
                 (QList<QVariantList>{{1, "Классика", QVariant(), 0, QVariant()},
                                      {2, "Фантастика", QVariant(), 0, QVariant()},
                                      {3, "Пустая", QVariant(), 0, QVariant()}}));
        QCOMPARE(rowsOf(reader, "select * from collections order by _id"),
                 (QList<QVariantList>{{1, 1, 1, QVariant()}, {2, 1, 3, QVariant()}, {3, 2, 2, QVariant()}}));
        const QString bookTypes = "integer text text null null null null integer integer integer integer null text "
                                  "text integer text text null null integer null null null null null null null null";
        QCOMPARE(storageTypes(reader, "books"), QStringList({bookTypes, bookTypes, bookTypes}));
        QCOMPARE(storageTypes(reader, "collection"), QStringList(3, "integer text null integer null"));
        QCOMPARE(storageTypes(reader, "collections"), QStringList(3, "integer integer integer null"));
        QCOMPARE(rowsOf(reader, "select count(*) from current_position"), QList<QVariantList>{{0}});
        QCOMPARE(rowsOf(reader, "select count(*) from history"), QList<QVariantList>{{0}});
        QCOMPARE(rowsOf(reader, "select count(*) from layout_cache"), QList<QVariantList>{{0}});
        QCOMPARE(rowsOf(reader, "select name, seq from sqlite_sequence order by rowid"),
                 (QList<QVariantList>{{"books", 3}, {"collection", 3}, {"collections", 3}}));
        QCOMPARE(rowsOf(reader, "select tbl_name, sql from sqlite_master where type = 'index'"),
                 (QList<QVariantList>{{"collections", "CREATE INDEX collection_index ON collections(content_id)"}}));
        QCOMPARE(rowsOf(reader, "pragma integrity_check"), QList<QVariantList>{{"ok"}});
        QVERIFY(!QFile::exists(reader.databasePath() + "-journal"));

        // The rows now carry what was written and the ids the reader gave them.
        QCOMPARE(books.row(1).title, QString("Пикник `на обочине`"));
        QCOMPARE(books.row(1).file_name, QString("Пикник `на обочине`"));
        QStringList ids;
        for (const BookRow &book : books.rows())
            ids << book.root + "/" + book.record_id;
        QCOMPARE(ids, QStringList({"1/1", "2/2", "3/3"}));
        QCOMPARE(books.row(0).full_path, QDir::toNativeSeparators("/home/user/Книги/Толстой/Война и мир.fb2"));
        QCOMPARE(books.row(0).display_name, QString("Война и мир"));
        QCOMPARE(collections.row(2), (CollectionRow{"Пустая", "0", "3"}));
    }

    // A database without the firmware's tables gets them with the firmware's own statements, and
    // the reader's settings row.
    void createsTheSixTablesWithTheFirmwaresStatements()
    {
        const FixtureReader reader(QString("CREATE TABLE android_metadata (locale TEXT)"));
        BookTable books;
        CollectionTable collections;
        rebuildLibrary(reader.root(), books, collections);
        const QList<QVariantList> expected{
            {"books",
             "CREATE TABLE books (_id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT, author TEXT, kana_title TEXT, "
             "kana_author TEXT, title_key TEXT, author_key TEXT, source_id INTEGER, added_date INTEGER, modified_date "
             "INTEGER, reading_time INTEGER, purchased_date INTEGER, file_path TEXT, file_name TEXT, file_size "
             "INTEGER, thumbnail TEXT, mime_type TEXT, corrupted INTEGER, expiration_date INTEGER, prevent_delete "
             "INTEGER, sony_id TEXT, periodical_name TEXT, kana_periodical_name TEXT, periodical_name_key TEXT, "
             "publication_date INTEGER, conforms_to TEXT, description TEXT,logos TEXT)"},
            {"collection", "CREATE TABLE collection (_id INTEGER PRIMARY KEY AUTOINCREMENT,title TEXT,kana_title "
                           "TEXT,source_id INTEGER,uuid TEXT)"},
            {"collections", "CREATE TABLE collections (_id INTEGER PRIMARY KEY AUTOINCREMENT,collection_id "
                            "INTEGER,content_id INTEGER,added_order INTEGER)"},
            {"current_position",
             "CREATE TABLE current_position (_id INTEGER PRIMARY KEY AUTOINCREMENT,content_id INTEGER,dpi "
             "INTEGER,width INTEGER,height INTEGER,version INTEGER,mark BLOB,split_index INTEGER,page_style "
             "INTEGER,crop_mode INTEGER,crop_area_left INTEGER,crop_area_top INTEGER,crop_area_right "
             "INTEGER,crop_area_bottom INTEGER,font_size INTEGER,reflow INTEGER,font_style TEXT,orientation "
             "INTEGER,text_encoding TEXT)"},
            {"history",
             "CREATE TABLE history (_id INTEGER PRIMARY KEY AUTOINCREMENT, content_id INTEGER, dpi INTEGER, width "
             "INTEGER, height INTEGER, version INTEGER, added_counter INTEGER, reading_time INTEGER, mark BLOB, "
             "split_index INTEGER, page_style INTEGER, crop_mode INTEGER, crop_area_left INTEGER, crop_area_top "
             "INTEGER, crop_area_right INTEGER, crop_area_bottom INTEGER, font_size INTEGER, reflow INTEGER, "
             "font_style TEXT, orientation INTEGER, text_encoding TEXT)"},
            {"preference", "CREATE TABLE preference (_id INTEGER PRIMARY KEY AUTOINCREMENT,content_id INTEGER NOT "
                           "NULL,tone_curve_type TEXT,contrast INTEGER,brightness INTEGER,show_notes "
                           "INTEGER,binding_direction TEXT)"},
        };
        QCOMPARE(rowsOf(reader, "select name, sql from sqlite_master where name in ('books', 'collection', "
                                "'collections', 'current_position', 'history', 'preference') order by name"),
                 expected);
        QCOMPARE(rowsOf(reader, "select * from preference"),
                 (QList<QVariantList>{{1, 1, "Original", 0, 0, 1, "auto"}}));
    }

    void leavesTheOtherTablesAsTheyWere()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        const QString others = "select type, name, sql from sqlite_master where name not in ('books', "
                               "'collection', 'collections', 'current_position', 'history', 'preference', "
                               "'collection_index') order by name";
        const QList<QVariantList> schemaBefore = rowsOf(reader, others);
        const QList<QVariantList> localeBefore = rowsOf(reader, "select * from android_metadata");
        QCOMPARE(schemaBefore.size(), 10); // 7 other tables, sqlite_sequence and the two views
        BookTable books;
        books.appendRow(bookRow("Книги/a.fb2", "A", "A"));
        CollectionTable collections;
        collections.appendRow(collectionRow("A"));
        rebuildLibrary(reader.root(), books, collections);
        QCOMPARE(rowsOf(reader, others), schemaBefore);
        QCOMPARE(rowsOf(reader, "select * from android_metadata"), localeBefore);
        // The firmware's views still read the new library.
        QCOMPARE(rowsOf(reader, "select count(*) from periodicals"), QList<QVariantList>{{0}});
    }

    void emptyCollectionListStillWritesTheSequences()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        BookTable books;
        books.appendRows({bookRow("Книги/a.fb2", "A", "A"), bookRow("Книги/b.fb2", "B", "B")});
        CollectionTable collections;
        rebuildLibrary(reader.root(), books, collections);
        QCOMPARE(rowsOf(reader, "select count(*) from books"), QList<QVariantList>{{2}});
        QCOMPARE(rowsOf(reader, "select count(*) from collection"), QList<QVariantList>{{0}});
        QCOMPARE(rowsOf(reader, "select count(*) from collections"), QList<QVariantList>{{0}});
        QCOMPARE(rowsOf(reader, "select name, seq from sqlite_sequence order by rowid"),
                 (QList<QVariantList>{{"books", 2}}));
    }

    // Every record of a library replaced by none goes, with what points at it; no id is given again.
    void emptyLibrary()
    {
        const FixtureReader reader;
        BookTable books;
        CollectionTable collections;
        rebuildLibrary(reader.root(), books, collections);
        for (const QString table : {"books", "collection", "collections", "current_position", "history", "preference",
                                    "annotation", "bookmark", "layout_cache"})
            QCOMPARE(rowsOf(reader, "select count(*) from " + table), QList<QVariantList>{{0}});
        QCOMPARE(rowsOf(reader, "select seq >= 5 from sqlite_sequence where name = 'books'"), QList<QVariantList>{{1}});
    }

    void sameRelativePathTwice()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        BookTable books;
        books.appendRows({bookRow("Книги/a.fb2", "A", "First"), bookRow("Книги/b.fb2", "A", "Other"),
                          bookRow("Книги/a.fb2", "A", "Second")});
        CollectionTable collections;
        collections.appendRow(collectionRow("A"));
        QStringList folders;
        RebuildHooks hooks;
        hooks.writeThumbnail = [&](const ThumbnailJob &job) {
            folders << job.recordId;
            return ThumbnailOutcome::Written;
        };
        rebuildLibrary(reader.root(), books, collections, hooks);

        // Each row has its own record, thumbnail and membership.
        QCOMPARE(books.row(0).root, QString("1"));
        QCOMPARE(books.row(2).root, QString("3"));
        QCOMPARE(folders, QStringList({"1", "2", "3"}));
        QCOMPARE(
            rowsOf(reader, "select _id, title, thumbnail from books order by _id"),
            (QList<QVariantList>{{1, "First", "Sony_Reader/database/cache/books/1/thumbnail/main_thumbnail.jpg"},
                                 {2, "Other", "Sony_Reader/database/cache/books/2/thumbnail/main_thumbnail.jpg"},
                                 {3, "Second", "Sony_Reader/database/cache/books/3/thumbnail/main_thumbnail.jpg"}}));
        QCOMPARE(rowsOf(reader, "select collection_id, content_id from collections order by _id"),
                 (QList<QVariantList>{{1, 1}, {1, 2}, {1, 3}}));
    }

    void sameCollectionNameTwice()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        BookTable books;
        books.appendRows({bookRow("Книги/a.fb2", "A", "A"), bookRow("Книги/b.fb2", "B", "B")});
        CollectionTable collections;
        collections.appendRows({collectionRow("A"), collectionRow("B"), collectionRow("A")});
        rebuildLibrary(reader.root(), books, collections);
        // Each collection has its own record; a book named into both is in each once.
        QCOMPARE(collections.row(0).record_id, QString("1"));
        QCOMPARE(collections.row(2).record_id, QString("3"));
        QCOMPARE(rowsOf(reader, "select _id, title from collection order by _id"),
                 (QList<QVariantList>{{1, "A"}, {2, "B"}, {3, "A"}}));
        QCOMPARE(rowsOf(reader, "select collection_id, content_id from collections order by _id"),
                 (QList<QVariantList>{{1, 1}, {2, 2}, {3, 1}}));
    }

    // By number (its digits' value first, then the rest as text), then title; other collections
    // keep table order and no added_order.
    void aSeriesCollectionKeepsItsSeriesOrder()
    {
        const FixtureReader reader;
        const auto inSeries = [](const QString &file, const QString &number, const QString &title) {
            BookRow row = bookRow("Книги/" + file, "Дюна", title);
            row.series = "Дюна";
            row.series_number = number;
            return row;
        };
        BookTable books;
        books.appendRows({inSeries("1.fb2", "10", "Дети"), bookRow("Книги/2.fb2", "Прочее", "Б"),
                          inSeries("3.fb2", "2a", "Б"), inSeries("4.fb2", "", "Без номера"),
                          inSeries("5.fb2", "x", "Икс"), inSeries("6.fb2", "2", "мессия"),
                          inSeries("7.fb2", "02", "Бог"), bookRow("Книги/8.fb2", "Прочее", "А")});
        CollectionTable collections;
        collections.appendRows(
            {CollectionRow{.name = "Дюна", .book_count = "6", .series_order = true}, collectionRow("Прочее", "2")});
        rebuildLibrary(reader.root(), books, collections);
        const QVariant null;
        QCOMPARE(rowsOf(reader, "select c.title, replace(b.file_path, 'Sony_Reader/media/books/Книги/', ''), "
                                "m.added_order from collections m join collection c on c._id = m.collection_id "
                                "join books b on b._id = m.content_id order by m._id"),
                 (QList<QVariantList>{{"Дюна", "7.fb2", 1},
                                      {"Дюна", "6.fb2", 2},
                                      {"Дюна", "3.fb2", 3},
                                      {"Дюна", "1.fb2", 4},
                                      {"Дюна", "5.fb2", 5},
                                      {"Дюна", "4.fb2", 6},
                                      {"Прочее", "2.fb2", null},
                                      {"Прочее", "8.fb2", null}}));
    }

    // The reader's tables are changed, never made again: a later firmware's columns, triggers and
    // indexes stay, and so do the rows of books that stay.
    void theReadersOwnTablesStay()
    {
        const FixtureReader reader;
        reader.runSql("ALTER TABLE books ADD COLUMN series TEXT DEFAULT 'none';"
                      "CREATE INDEX books_title ON books(title);"
                      "CREATE TRIGGER books_gone AFTER DELETE ON books BEGIN DELETE FROM bookmark WHERE "
                      "content_id = old._id; END");
        const QString schema = "select type, name, sql from sqlite_master order by name";
        const QList<QVariantList> before = rowsOf(reader, schema);
        BookTable books;
        books.appendRow(bookRow("Книги/a.fb2", "A", "First"));
        BookRow staying = bookRow("Фантастика/Стругацкие/Пикник на обочине.fb2", "A", "Пикник на обочине");
        staying.record_id = "1";
        books.appendRow(staying);
        CollectionTable collections;
        collections.appendRow(collectionRow("A"));
        rebuildLibrary(reader.root(), books, collections);
        QCOMPARE(rowsOf(reader, schema), before);
        QCOMPARE(rowsOf(reader, "select _id, series from books order by _id"),
                 (QList<QVariantList>{{1, "none"}, {6, "none"}}));
        QCOMPARE(rowsOf(reader, "select distinct content_id from current_position"), QList<QVariantList>{{1}});
    }

    void textsAreStoredVerbatim_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("collection");
        QTest::addColumn<QString>("storedTitle");

        QTest::newRow("Cyrillic folders") << "Книги/Фантастика/Стругацкие/Пикник на обочине.fb2"
                                          << "Пикник на обочине"
                                          << "Аркадий и Борис Стругацкие"
                                          << "Фантастика"
                                          << "Пикник на обочине";
        QTest::newRow("double quotes") << "Книги/q.fb2"
                                       << "\"Кавычки\" в \"названии\""
                                       << "Автор \"Псевдоним\""
                                       << "Коллекция \"Лучшее\""
                                       << "`Кавычки` в `названии`";
        QTest::newRow("single quotes and semicolons") << "Книги/O'Brien; drop table books.txt"
                                                      << "It's; drop table books"
                                                      << "O'Brien"
                                                      << "'; --"
                                                      << "It's; drop table books";
        QTest::newRow("numeric-looking title") << "Книги/1984.fb2"
                                               << "1984"
                                               << "42"
                                               << "2024"
                                               << "1984";
        QTest::newRow("letters beyond one code page") << "Книги/ελληνικά/日本語.epub"
                                                      << "Ζορμπάς 日本 ✓"
                                                      << "Καζαντζάκης"
                                                      << "Ἑλληνικά"
                                                      << "Ζορμπάς 日本 ✓";
    }

    void textsAreStoredVerbatim()
    {
        QFETCH(QString, relativePath);
        QFETCH(QString, title);
        QFETCH(QString, author);
        QFETCH(QString, collection);
        QFETCH(QString, storedTitle);
        const FixtureReader reader(FixtureReader::Contents::Empty);
        BookTable books;
        books.appendRow(bookRow(relativePath, collection, title, author));
        CollectionTable collections;
        collections.appendRow(collectionRow(collection));
        rebuildLibrary(reader.root(), books, collections);

        const QString filePath = "Sony_Reader/media/books/" + relativePath;
        QCOMPARE(rowsOf(reader, "select title, typeof(title), file_name, author, typeof(author), file_path, "
                                "hex(file_path) from books"),
                 (QList<QVariantList>{{storedTitle, "text", storedTitle, author, "text", filePath,
                                       QString::fromLatin1(filePath.toUtf8().toHex().toUpper())}}));
        QCOMPARE(rowsOf(reader, "select title, typeof(title) from collection"),
                 (QList<QVariantList>{{collection, "text"}}));
        QCOMPARE(rowsOf(reader, "select count(*) from collections"), QList<QVariantList>{{1}});
        QCOMPARE(books.row(0).title, storedTitle);
    }

    void brokenUtf16StillFindsItsRecord()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        const QString lone = QString("Книги/broken ") + QChar(0xD800) + ".txt";
        BookTable books;
        books.appendRows({bookRow(lone, "A", "A"), bookRow("Книги/b.txt", "A", "B")});
        CollectionTable collections;
        collections.appendRow(collectionRow(QString("A")));
        rebuildLibrary(reader.root(), books, collections);
        QCOMPARE(books.row(0).root, QString("1"));
        QCOMPARE(rowsOf(reader, "select collection_id, content_id from collections order by _id"),
                 (QList<QVariantList>{{1, 1}, {1, 2}}));
        QCOMPARE(rowsOf(reader, "select count(*) from books where thumbnail is not null"), QList<QVariantList>{{2}});
    }

    void hooksRunBetweenTheSteps()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        BookTable books;
        books.appendRows({bookRow("Книги/a.fb2", "A", "\"A\""), bookRow("Книги/b.pdf", "A", "B")});
        CollectionTable collections;
        collections.appendRow(collectionRow("A"));
        QStringList calls;
        RebuildHooks hooks;
        hooks.beforeStep = [&](RebuildStep next) { calls << QString("step %1").arg(int(next)); };
        hooks.writeThumbnail = [&](const ThumbnailJob &job) {
            calls
                << QString("thumbnail %1/%2 id %3 %4").arg(job.number).arg(job.count).arg(job.recordId, job.book.title);
            [&] {
                QCOMPARE(ReaderLayout::thumbnailFolderPath(reader.root(), job.recordId),
                         reader.thumbnailsFolder() + job.recordId + QDir::separator() + "thumbnail" +
                             QDir::separator());
            }();
            [&] { QCOMPARE(job.book.full_path, books.row(job.number - 1).full_path); }();
            return ThumbnailOutcome::Written;
        };
        rebuildLibrary(reader.root(), books, collections, hooks);
        QCOMPARE(calls, QStringList({"step 0", "step 1", "thumbnail 1/2 id 1 `A`", "thumbnail 2/2 id 2 B", "step 2",
                                     "step 3", "step 4"}));
    }

    void aDatabaseInWalModeGoesBackToTheRollbackJournal()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        QCOMPARE(sqliteRows(reader.databasePath(), "pragma journal_mode=WAL"), QList<QVariantList>{{"wal"}});
        BookTable books;
        books.appendRow(bookRow("Книги/a.fb2", "A", "A"));
        CollectionTable collections;
        collections.appendRow(collectionRow("A"));
        rebuildLibrary(reader.root(), books, collections);
        QVERIFY(!QFile::exists(reader.databasePath() + "-wal"));
        QVERIFY(!QFile::exists(reader.databasePath() + "-journal"));
        QCOMPARE(rowsOf(reader, "pragma journal_mode"), QList<QVariantList>{{"delete"}});
        QCOMPARE(rowsOf(reader, "select title from books"), QList<QVariantList>{{"A"}});
    }

    // A row that names its record keeps it; a new book's record takes an id never given before.
    void aBookThatStaysKeepsItsRecord()
    {
        const FixtureReader reader(FixtureReader::Contents::Empty);
        BookTable books;
        books.appendRows({bookRow("Книги/a.fb2", "A", "A"), bookRow("Книги/b.fb2", "A", "B")});
        CollectionTable collections;
        collections.appendRow(collectionRow("A"));
        rebuildLibrary(reader.root(), books, collections);
        books.removeRowRange(0, 1);
        books.appendRow(bookRow("Книги/c.fb2", "A", "C"));
        rebuildLibrary(reader.root(), books, collections);
        QCOMPARE(rowsOf(reader, "select _id, title from books"), (QList<QVariantList>{{2, "B"}, {3, "C"}}));
        QCOMPARE(rowsOf(reader, "select _id, collection_id, content_id from collections"),
                 (QList<QVariantList>{{2, 1, 2}, {3, 1, 3}}));

        // The reader's own next book follows on from the ids given.
        sqliteExecute(reader.databasePath(), "insert into books (title) values ('on the reader')");
        QCOMPARE(rowsOf(reader, "select max(_id) from books"), QList<QVariantList>{{4}});
    }
};

QTEST_GUILESS_MAIN(TestLibraryRebuild)
#include "test_library_rebuild.moc"
