#include "collections/automatic_collections.h"
#include "collections/book_moves.h"
#include "collections/collection_operations.h"
#include "collections/library_page.h"
#include "collections/shown_books.h"
#include "core/file_operations.h"
#include "covers/cover_thumbnail.h"
#include "editor/reader_library.h"
#include "reader/find_reader.h"
#include "reader/reader_database.h"
#include "support/fixed_volumes.h"
#include "support/fixture_reader.h"
#include "support/reader_soundness.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/sync_scene.h"
#include "support/watched_file_operations.h"
#include "sync/editing_sync.h"
#include "sync/sync_messages.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>

#include <sqlite3.h>

namespace {
QString successText()
{
    return SyncMessages::success();
}

// Every column of `table` but those a write-back renumbers, each cell with its storage class,
// the rows in a stable order: equal lists mean the same records.
QList<QVariantList> recordsOf(const QString &database, const QString &table, const QStringList &renumbered,
                              const QString &order)
{
    QStringList columns;
    for (const QVariantList &column : sqliteRows(database, "select name from pragma_table_info('" + table + "')"))
        if (!renumbered.contains(column.first().toString()))
            columns << "\"" + column.first().toString() + "\", typeof(\"" + column.first().toString() + "\")";
    return sqliteRows(database, "select " + columns.join(',') + " from " + table + " order by " + order);
}

QList<QVariantList> bookRecords(const QString &database)
{
    return recordsOf(database, "books", {"_id", "thumbnail"}, "file_path, title");
}

QList<QVariantList> collectionRecords(const QString &database)
{
    return recordsOf(database, "collection", {"_id"}, "title, uuid");
}

// Each membership by its collection's title and its book's path.
QList<QVariantList> membershipsOf(const QString &database)
{
    return sqliteRows(database, "select c.title, b.file_path, m.added_order from collections m "
                                "join collection c on c._id = m.collection_id join books b on b._id = m.content_id "
                                "order by 1, 2");
}

// Each note by its table and its book's path (a note of a book no longer listed has none).
QList<QVariantList> notesOf(const QString &database)
{
    QList<QVariantList> notes;
    for (const QString table : {"annotation", "bookmark", "freehand", "deleted_markups", "dic_histories"})
        notes += sqliteRows(database, "select '" + table + "', b.file_path from " + table +
                                          " n join books b on b._id = n.content_id order by 2");
    return notes;
}

// Each book's thumbnail bytes by its path.
QMap<QString, QByteArray> thumbnailsOf(const QString &root)
{
    QMap<QString, QByteArray> thumbnails;
    for (const QVariantList &book :
         sqliteRows(root + "Sony_Reader/database/books.db", "select file_path, thumbnail from books")) {
        QFile file(root + book.at(1).toString());
        thumbnails.insert(book.at(0).toString(), file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return thumbnails;
}

// The fixture library loaded into an editing page, with firmware columns, a later firmware's
// column and distinct thumbnails filled in, ready to be written back.
struct EditingScene
{
    EditingScene()
    {
        reader.runSql("ALTER TABLE books ADD COLUMN series TEXT DEFAULT '';"
                      "UPDATE books SET kana_title = 'kana ' || _id, title_key = 'KEY' || _id, sony_id = 'S' || _id,"
                      " description = CASE _id WHEN 1 THEN x'00FF' ELSE 'описание ' || _id END, reading_time = "
                      "1700000000000 + _id, purchased_date = 12.5,"
                      " source_id = 3, prevent_delete = 1, corrupted = 0, series = 'серия ' || _id;"
                      "UPDATE collection SET kana_title = 'k' || _id, uuid = 'uuid-' || _id, source_id = 2;"
                      "UPDATE collections SET added_order = 10 * _id");
        for (const FixtureLibrary::Book &book : FixtureLibrary::books())
            writeThumbnail(book.id, "cover of " + QByteArray::number(book.id));
    }

    void writeThumbnail(qint64 id, const QByteArray &bytes)
    {
        QFile file(reader.thumbnailsFolder() + QString::number(id) + "/thumbnail/main_thumbnail.jpg");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void load()
    {
        RecordingProgress loading;
        installReaderLibrary(page, readReaderLibrary(reader.root(), loading));
    }

    bool run()
    {
        EditingSync sync(page, volumes, dialogs, progress, *files);
        return sync.run();
    }

    int collectionRow(const QString &name) const
    {
        for (int row = 0; row < page.collections.rowCount(); ++row)
            if (page.collections.row(row).name == name)
                return row;
        return -1;
    }

    int bookRow(const QString &title) const
    {
        for (int row = 0; row < page.books.rowCount(); ++row)
            if (page.books.row(row).title == title)
                return row;
        return -1;
    }

    QString databasePath() const { return reader.databasePath(); }

    FixtureReader reader;
    // The first volume is never taken for the reader.
    QTemporaryDir firstVolume;
    FixedVolumes volumes{{firstVolume.path() + "/", reader.root()}};
    RecordingProgress progress;
    ScriptedDialogs dialogs;
    LibraryPage page{LibraryPage::Kind::Editing};
    FileOperations realFiles;
    FileOperations *files = &realFiles;
};

const QString Picnic = "Sony_Reader/media/books/Фантастика/Стругацкие/Пикник на обочине.fb2";
const QString Solaris = "Sony_Reader/media/books/Fantastika/solaris.epub";
const QString Guide = "Sony_Reader/media/books/Manuals/PRS-T3 guide.pdf";
const QString Notes = "Sony_Reader/media/books/notes.txt";

// Everything a failed or refused run must leave as it was.
struct ReaderState
{
    explicit ReaderState(const EditingScene &scene)
        : database(sqliteSnapshot(scene.databasePath())), thumbnails(folderDigests(scene.reader.thumbnailsFolder())),
          books(scene.page.books.rows()), collections(scene.page.collections.rows())
    {}
    bool operator==(const ReaderState &) const = default;

    QList<QVariantList> database;
    QHash<QString, QByteArray> thumbnails;
    QVector<BookRow> books;
    QVector<CollectionRow> collections;
};
} // namespace

class TestEditingSync : public QObject
{
    Q_OBJECT

private slots:
    void aLibraryWrittenBackUneditedIsTheSame()
    {
        EditingScene scene;
        scene.load();
        const QList<QVariantList> books = bookRecords(scene.databasePath());
        const QList<QVariantList> collections = collectionRecords(scene.databasePath());
        const QList<QVariantList> memberships = membershipsOf(scene.databasePath());
        const QList<QVariantList> notes = notesOf(scene.databasePath());
        const QMap<QString, QByteArray> thumbnails = thumbnailsOf(scene.reader.root());
        const QVector<BookRow> rows = scene.page.books.rows();

        QVERIFY(scene.run());
        QCOMPARE(scene.dialogs.messages(), QStringList{successText()});
        QCOMPARE(bookRecords(scene.databasePath()), books);
        QCOMPARE(collectionRecords(scene.databasePath()), collections);
        QCOMPARE(membershipsOf(scene.databasePath()), memberships);
        QCOMPARE(notesOf(scene.databasePath()), notes);
        QCOMPARE(thumbnailsOf(scene.reader.root()), thumbnails);
        // Every book keeps its record and the thumbnail in its folder.
        QCOMPARE(sqliteRows(scene.databasePath(), "select _id, file_path, thumbnail from books order by _id"),
                 (QList<QVariantList>{{1, Picnic, "Sony_Reader/database/cache/books/1/thumbnail/main_thumbnail.jpg"},
                                      {2, Solaris, "Sony_Reader/database/cache/books/2/thumbnail/main_thumbnail.jpg"},
                                      {3, Guide, "Sony_Reader/database/cache/books/3/thumbnail/main_thumbnail.jpg"},
                                      {5, Notes, "Sony_Reader/database/cache/books/5/thumbnail/main_thumbnail.jpg"}}));
        QCOMPARE(QDir(scene.reader.thumbnailsFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 (QStringList{"1", "2", "3", "5"}));
        // The book files are not touched.
        for (const BookRow &row : rows)
            QVERIFY(QFileInfo::exists(row.full_path) || row.record_id == "5");

        // Loaded again, the page shows the same library.
        LibraryPage again{LibraryPage::Kind::Editing};
        RecordingProgress loading;
        installReaderLibrary(again, readReaderLibrary(scene.reader.root(), loading));
        QCOMPARE(again.books.rowCount(), rows.size());
        for (int row = 0; row < rows.size(); ++row) {
            QCOMPARE(again.books.row(row).title, rows.at(row).title);
            QCOMPARE(again.books.row(row).collection, rows.at(row).collection);
            QCOMPARE(again.books.row(row).full_path, rows.at(row).full_path);
        }
    }

    void editsOnThePage_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QList<QVariantList>>("memberships");

        // Loaded: Пикник shown in Прочитанное (its last membership) and carried in Фантастика;
        // Solaris in Фантастика; the guide in Документация; the notes in none.
        QTest::newRow("rename") << "rename"
                                << QList<QVariantList>{{"Документация", Guide, 30},
                                                       {"Научная фантастика", Solaris, 20},
                                                       {"Научная фантастика", Picnic, 10},
                                                       {"Прочитанное", Picnic, 40}};
        QTest::newRow("delete the carried collection")
            << "delete" << QList<QVariantList>{{"Документация", Guide, 30}, {"Прочитанное", Picnic, 40}};
        // Пикник, in both, is written once, as the first of its records.
        QTest::newRow("merge into the shown collection")
            << "merge"
            << QList<QVariantList>{
                   {"Документация", Guide, 30}, {"Прочитанное", Solaris, 20}, {"Прочитанное", Picnic, 10}};
        QTest::newRow("take a book out of its shown collection")
            << "take out"
            << QList<QVariantList>{
                   {"Документация", Guide, 30}, {"Фантастика", Solaris, 20}, {"Фантастика", Picnic, 10}};
        // Пикник is listed under Фантастика too: taking it out or moving it from there leaves
        // its membership of Прочитанное as it was.
        QTest::newRow("take a book out of its other collection")
            << "take out of the other"
            << QList<QVariantList>{
                   {"Документация", Guide, 30}, {"Прочитанное", Picnic, 40}, {"Фантастика", Solaris, 20}};
        QTest::newRow("move a book from its other collection")
            << "move from the other"
            << QList<QVariantList>{{"Документация", Guide, 30},
                                   {"Документация", Picnic, QVariant()},
                                   {"Прочитанное", Picnic, 40},
                                   {"Фантастика", Solaris, 20}};
        QTest::newRow("move a book into a collection") << "move"
                                                       << QList<QVariantList>{{"Документация", Guide, 30},
                                                                              {"Документация", Notes, QVariant()},
                                                                              {"Прочитанное", Picnic, 40},
                                                                              {"Фантастика", Solaris, 20},
                                                                              {"Фантастика", Picnic, 10}};
        QTest::newRow("automatic build") << "automatic"
                                         << QList<QVariantList>{{"Fantastika", Solaris, QVariant()},
                                                                {"Manuals", Guide, QVariant()},
                                                                {"books", Notes, QVariant()},
                                                                {"Фантастика_Стругацкие", Picnic, QVariant()}};
        // As the heads read on the reader gave them: a series in its order, the others by folder.
        QTest::newRow("automatic build by series") << "series"
                                                   << QList<QVariantList>{{"Manuals", Guide, QVariant()},
                                                                          {"books", Notes, QVariant()},
                                                                          {"Мир Полудня", Solaris, 1},
                                                                          {"Мир Полудня", Picnic, 2}};
    }

    void editsOnThePage()
    {
        QFETCH(QString, edit);
        QFETCH(QList<QVariantList>, memberships);
        EditingScene scene;
        scene.load();
        const QList<QVariantList> notes = notesOf(scene.databasePath());
        LibraryPage &page = scene.page;
        if (edit == "rename") {
            scene.dialogs.inputAnswers << "Научная фантастика";
            renameCollection(page, scene.dialogs, scene.collectionRow("Фантастика"));
        } else if (edit == "delete") {
            deleteCollections(page, scene.dialogs, scene.collectionRow("Фантастика"), 1);
        } else if (edit == "merge") {
            dropOnCollection(page, DragSource::CollectionList, scene.collectionRow("Фантастика"), 1,
                             scene.collectionRow("Прочитанное"));
        } else if (edit == "take out") {
            showCollectionBooks(page, scene.collectionRow("Прочитанное"));
            removeShownBooks(page, scene.dialogs, 0, 1);
        } else if (edit.endsWith("the other")) {
            showCollectionBooks(page, scene.collectionRow("Фантастика"));
            QCOMPARE(page.shownBooks.rowCount(), 2);
            const int picnic = page.shownBooks.row(0).title == "Пикник на обочине" ? 0 : 1;
            if (edit.startsWith("take out"))
                removeShownBooks(page, scene.dialogs, picnic, 1);
            else
                dropOnCollection(page, DragSource::BookList, picnic, 1, scene.collectionRow("Документация"));
        } else if (edit == "move") {
            dropOnCollection(page, DragSource::FileList, scene.bookRow("Заметки"), 1,
                             scene.collectionRow("Документация"));
        } else if (edit == "automatic") {
            buildFolderCollections(page, scene.dialogs);
        } else if (edit == "series") {
            for (const auto &[title, number] : {std::pair{"Пикник на обочине", "10"}, std::pair{"Solaris", "9"}}) {
                page.books.rowForQuietEdit(scene.bookRow(title)).series = "Мир Полудня";
                page.books.rowForQuietEdit(scene.bookRow(title)).series_number = number;
            }
            buildAutomaticCollections(page, scene.dialogs, CollectionSource::Series);
        }
        scene.dialogs.shown.clear();

        QVERIFY(scene.run());
        QCOMPARE(scene.dialogs.messages(), QStringList{successText()});
        QCOMPARE(membershipsOf(scene.databasePath()), memberships);
        // Every book stays, in a collection or not, with its notes.
        QCOMPARE(sqliteValue(scene.databasePath(), "select count(*) from books"), QVariant(4));
        QCOMPARE(notesOf(scene.databasePath()), notes);
    }

    // Only a book that lacks its thumbnail gets a file, its folder made whole beside the others and
    // moved in; written once, it is left in place after.
    void aMissingThumbnailIsWrittenOnceAndNothingElse()
    {
        EditingScene scene;
        QVERIFY(QDir(scene.reader.thumbnailsFolder() + "3").removeRecursively());
        for (int run = 0; run < 2; ++run) {
            WatchedFileOperations watched;
            scene.files = &watched;
            scene.load();
            QVERIFY(scene.run());
            QStringList written;
            for (const QString &call : std::as_const(watched.calls))
                if (call.startsWith("write") && call.contains("/cache/"))
                    written << call.section("/cache/", 1);
            QCOMPARE(written,
                     run == 0 ? QStringList{"tessaly-next-books/3/thumbnail/main_thumbnail.jpg"} : QStringList());
            emptyLibraryPage(scene.page);
        }
        QCOMPARE(thumbnailsOf(scene.reader.root()).value(Guide), placeholderCover());
    }

    void aRenamedBookGetsItsNewTitleAndFileName()
    {
        EditingScene scene;
        scene.load();
        BookRow book = scene.page.books.row(scene.bookRow("Solaris"));
        book.title = "Солярис \"новый\"";
        scene.page.books.updateRows([&](BookRow &row) {
            if (row.record_id != book.record_id)
                return false;
            row = book;
            return true;
        });
        QVERIFY(scene.run());
        QCOMPARE(sqliteRows(scene.databasePath(),
                            "select title, file_name, kana_title from books where file_path = '" + Solaris + "'"),
                 (QList<QVariantList>{{"Солярис `новый`", "Солярис `новый`", "kana 2"}}));
    }

    // The page's titles and authors are what the records hold after, whether books.db is as
    // loaded (only the edited rows' records are read again) or changed since by another program.
    void everyRecordShowsItsRowAfter_data()
    {
        QTest::addColumn<QString>("changeSinceLoad");
        QTest::newRow("books.db as loaded") << QString();
        QTest::newRow("an author changed since") << "update books set author = 'чужой' where _id = 3";
        QTest::newRow("an edited title changed since") << "update books set title = 'чужое' where _id = 2";
    }

    void everyRecordShowsItsRowAfter()
    {
        QFETCH(QString, changeSinceLoad);
        EditingScene scene;
        scene.load();
        scene.page.books.updateRows([](BookRow &row) {
            if (row.title == "Solaris")
                row.title = "Солярис";
            else if (row.title == "Пикник на обочине")
                row.author = "А. и Б. Стругацкие";
            else
                return false;
            return true;
        });
        if (!changeSinceLoad.isEmpty())
            sqliteExecute(scene.databasePath(), changeSinceLoad);
        QVERIFY(scene.run());
        QList<QVariantList> shown;
        for (const BookRow &book : scene.page.books.rows())
            shown << QVariantList{book.record_id.toLongLong(), book.title, book.author};
        std::sort(shown.begin(), shown.end(), [](const QVariantList &a, const QVariantList &b) {
            return a.first().toLongLong() < b.first().toLongLong();
        });
        QCOMPARE(sqliteRows(scene.databasePath(), "select _id, title, author from books order by _id"), shown);
        QCOMPARE(shown.at(1).at(1), QVariant("Солярис"));
    }

    // Whether books.db is read again or told by the rows as loaded, the same library comes out:
    // records whose stored places the rows show only in part keep them, and a book without a
    // thumbnail gets its cover from its file where the record says it is.
    void theRowsTellTheStoredPlacesAsReadingWould_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        const QString path = "Sony_Reader/media/books/Дом — №1 ☃.fb2";
        QTest::newRow("a path beyond two-byte letters, no thumbnail")
            << QVariantMap{{"file_path", path}, {"thumbnail", {}}};
        QTest::newRow("a path in bytes that are not UTF-8")
            << QVariantMap{{"file_path", QByteArray("Sony_Reader/media/books/\xC0\xFF.fb2")}};
        QTest::newRow("a path after a byte order mark") << QVariantMap{{"file_path", "\uFEFF" + path}};
        QTest::newRow("a thumbnail stored elsewhere")
            << QVariantMap{{"file_path", path}, {"thumbnail", "Sony_Reader/other/cover.jpg"}};
        QTest::newRow("a thumbnail stored as bytes")
            << QVariantMap{{"file_path", path}, {"thumbnail", QByteArray("Sony_Reader/other/cover.jpg")}};
    }

    void theRowsTellTheStoredPlacesAsReadingWould()
    {
        QFETCH(QVariantMap, stored);
        QList<ReaderState> written;
        for (const bool readAgain : {false, true}) {
            EditingScene scene;
            const QString book = scene.reader.root() + "Sony_Reader/media/books/Дом — №1 ☃.fb2";
            QVERIFY(QDir().mkpath(QFileInfo(book).path()) && QFile::copy(samplePath("fb2/test2.1.fb2"), book));
            QVERIFY(QDir().mkpath(scene.reader.root() + "Sony_Reader/other"));
            QFile cover(scene.reader.root() + "Sony_Reader/other/cover.jpg");
            QVERIFY(cover.open(QIODevice::WriteOnly) && cover.write("cover elsewhere") > 0);
            scene.reader.addBook("Дом", "dom.fb2", stored);
            // A change no row shows, made after the load, has books.db read again.
            const QString change = "update books set kana_title = 'другое' where _id = 1";
            if (!readAgain)
                sqliteExecute(scene.databasePath(), change);
            scene.load();
            scene.page.books.updateRows([](BookRow &row) {
                row.title += " (2)";
                return true;
            });
            if (readAgain)
                sqliteExecute(scene.databasePath(), change);
            QVERIFY(scene.run());
            written << ReaderState(scene);
        }
        // The rows hold each scene's own root.
        QCOMPARE(written.at(0).database, written.at(1).database);
        QCOMPARE(written.at(0).thumbnails, written.at(1).thumbnails);
    }

    void whatAnotherProgramWroteIsWrittenBack()
    {
        EditingScene scene;
        // Same-titled collections, a book listed twice in one, a path outside the books
        // folder, a NULL path and NULL texts.
        const qint64 outside = scene.reader.addBook("Outside", "x", {{"file_path", "Sony_Reader/other/x.txt"}});
        const qint64 nowhere =
            scene.reader.addBook("Nowhere", "y", {{"file_path", QVariant()}, {"author", QVariant()}});
        const qint64 first = scene.reader.addCollection("Двойник");
        const qint64 second = scene.reader.addCollection("Двойник");
        scene.reader.addMembership(first, outside);
        scene.reader.addMembership(first, outside);
        scene.reader.addMembership(second, nowhere);
        scene.load();
        const QList<QVariantList> books = bookRecords(scene.databasePath());
        QVERIFY(scene.run());
        QCOMPARE(bookRecords(scene.databasePath()), books);
        QCOMPARE(sqliteRows(scene.databasePath(),
                            "select c._id, b.title from collections m join collection c on c._id = m.collection_id "
                            "join books b on b._id = m.content_id where c.title = 'Двойник' order by 1"),
                 (QList<QVariantList>{{4, "Outside"}, {5, "Nowhere"}}));
    }

    // A library damaged where the page reads nothing is loaded, but not written back.
    void aDamagedLibraryIsNotWrittenBack_data()
    {
        QTest::addColumn<bool>("beforeTheLoad");
        QTest::newRow("damaged before the load") << true;
        QTest::newRow("damaged after the load") << false;
    }

    void aDamagedLibraryIsNotWrittenBack()
    {
        QFETCH(bool, beforeTheLoad);
        EditingScene scene;
        sqliteExecute(scene.databasePath(), "create table reader_extra (note text);"
                                            "insert into reader_extra select hex(randomblob(300)) from books;");
        if (beforeTheLoad)
            damageTable(scene.databasePath(), "reader_extra");
        scene.load();
        QVERIFY(scene.page.books.rowCount() > 0);
        if (!beforeTheLoad)
            damageTable(scene.databasePath(), "reader_extra");
        // Its damage keeps the file from being read whole: its bytes tell it unchanged.
        const auto state = [&scene] {
            QFile database(scene.databasePath());
            return std::pair(database.open(QIODevice::ReadOnly) ? database.readAll() : QByteArray(),
                             folderDigests(scene.reader.thumbnailsFolder()));
        };
        const auto before = state();
        QVERIFY(!scene.run());
        QCOMPARE(scene.dialogs.messages(), QStringList{readerDatabaseMessage(SQLITE_CORRUPT, scene.databasePath())});
        QVERIFY(state() == before);
    }

    void anotherLibraryIsRefused_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("a book added on the reader") << "insert into books (title, file_path) values ('new', 'new.txt')";
        QTest::newRow("a book deleted on the reader") << "delete from books where _id = 3";
        QTest::newRow("a book at another path") << "update books set file_path = 'elsewhere.txt' where _id = 2";
        QTest::newRow("another reader's numbering") << "update books set _id = _id + 100";
    }

    void anotherLibraryIsRefused()
    {
        QFETCH(QString, change);
        EditingScene scene;
        scene.load();
        sqliteExecute(scene.databasePath(), change);
        const ReaderState before(scene);
        QVERIFY(!scene.run());
        QCOMPARE(scene.dialogs.messages(), QStringList{readerChangedMessage()});
        QVERIFY(ReaderState(scene) == before);
        QVERIFY(!scene.progress.visible);
    }

    void aReaderAttachedAgainElsewhereIsWrittenWithItsOwnFiles()
    {
        EditingScene scene;
        scene.load();
        // The same reader under another root: the covers come from there.
        QTemporaryDir elsewhere;
        const QString root = elsewhere.path() + "/";
        FixtureReader::build(root, FixtureReader::Contents::Library);
        QFile::remove(root + Picnic);
        QVERIFY(QFile::copy(samplePath("fb2/example.fb2"), root + Picnic));
        QVERIFY(QDir(root + "Sony_Reader/database/cache/books/1").removeRecursively());
        scene.volumes.setRoots({scene.firstVolume.path() + "/", root});
        QVERIFY(scene.run());
        QCOMPARE(scene.dialogs.messages(), QStringList{successText()});
        QCOMPARE(thumbnailsOf(root).value(Picnic), coverThumbnail(root + Picnic).bytes);
        QVERIFY(!coverThumbnail(root + Picnic).bytes.isEmpty());
    }

    void aFailureLeavesTheLibraryAsItWas_data()
    {
        QTest::addColumn<QString>("refused");
        // The missing thumbnail of one book.
        QTest::newRow("a cover not written") << "write";
        QTest::newRow("a thumbnail folder not made") << "mkdir";
        // After every thumbnail, as a renamed collection is written.
        QTest::newRow("the database refuses") << "sql";
    }

    void aFailureLeavesTheLibraryAsItWas()
    {
        QFETCH(QString, refused);
        EditingScene scene;
        // One book without a thumbnail has its cover made.
        QVERIFY(QDir(scene.reader.thumbnailsFolder() + "3").removeRecursively());
        if (refused == "sql")
            scene.reader.runSql(
                "CREATE TRIGGER stop BEFORE UPDATE ON collection BEGIN SELECT RAISE(ABORT, 'stopped'); END");
        scene.load();
        if (refused == "sql") {
            scene.dialogs.inputAnswers << "Научная фантастика";
            renameCollection(scene.page, scene.dialogs, scene.collectionRow("Фантастика"));
        }
        const ReaderState before(scene);
        const QMap<QString, QByteArray> thumbnails = thumbnailsOf(scene.reader.root());
        WatchedFileOperations failing;
        failing.before = [&](int, const QString &call) { return !call.startsWith(refused + " "); };
        scene.files = &failing;
        QVERIFY(!scene.run());
        QCOMPARE(scene.dialogs.messages().size(), 1);
        QVERIFY(!scene.progress.visible);
        QCOMPARE(sqliteSnapshot(scene.databasePath()), before.database);
        // The book that had no thumbnail may have its own cover now; every other is as it was.
        QMap<QString, QByteArray> after = thumbnailsOf(scene.reader.root());
        if (refused == "sql") {
            QCOMPARE(after.take(Guide), coverThumbnail(scene.reader.booksFolder() + "Manuals/PRS-T3 guide.pdf").bytes);
            after.insert(Guide, thumbnails.value(Guide));
        }
        QCOMPARE(after, thumbnails);
        QVERIFY(scene.page.books.rows() == before.books);
        QVERIFY(scene.page.collections.rows() == before.collections);
    }

    void nothingToWrite_data()
    {
        QTest::addColumn<bool>("readerAttached");
        QTest::addColumn<QString>("message");
        QTest::newRow("no reader") << false << deviceNotFoundMessage();
        QTest::newRow("no books") << true << "На устройстве нет книг!";
    }

    void nothingToWrite()
    {
        QFETCH(bool, readerAttached);
        QFETCH(QString, message);
        EditingScene scene;
        if (!readerAttached)
            scene.volumes.setRoots({scene.firstVolume.path() + "/"});
        const QList<QVariantList> before = sqliteSnapshot(scene.databasePath());
        QVERIFY(!scene.run());
        QCOMPARE(scene.dialogs.messages(), QStringList{message});
        QVERIFY(scene.progress.calls.isEmpty());
        QCOMPARE(sqliteSnapshot(scene.databasePath()), before);
    }

    void progressRunsThroughTheSteps()
    {
        EditingScene scene;
        scene.load();
        QVERIFY(scene.run());
        QStringList expected{"max main 100",
                             "pos item 0",
                             "caption item ",
                             "pos main 5",
                             "caption main Удаляю превьюшки с устройства...",
                             "show",
                             "pos main 10",
                             "pos main 20",
                             "pos main 40",
                             "pos main 70",
                             "caption main Заношу информацию о книгах в базу...",
                             "pos main 80",
                             "caption main Создаю превью на устройстве...",
                             "max item 4"};
        // The reader's own thumbnails stay, and kept ones show only their count now and then.
        expected << "pos item 4"
                 << "caption item Превью №4 из 4"
                 << "pos item 0"
                 << "caption item "
                 << "pos main 85"
                 << "caption main Формирую список коллекций..."
                 << "pos main 90"
                 << "caption main Завершаю подготовку базы.."
                 << "pos main 100"
                 << "hide";
        QCOMPARE(scene.progress.states(), expected);
    }
};

QTEST_GUILESS_MAIN(TestEditingSync)
#include "test_editing_sync.moc"
