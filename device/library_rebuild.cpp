#include "device/library_rebuild.h"

#include "booklist/book_table.h"
#include "collections/collection_table.h"
#include "device/library_schema.h"
#include "device/reader_layout.h"
#include "device/reader_notes.h"
#include "device/sqlite_connection.h"

#include <QHash>
#include <QVector>

namespace {

// Stored text -> _id for the (_id, text) records of `sql`, keyed by the stored bytes so that
// even a text with a lone surrogate finds itself. Records come in _id order; where several
// share a text the later one wins, and the earlier ids go to `hidden`.
QHash<QByteArray, qint64> idsByText(SqliteConnection &database, const QString &sql, QVector<qint64> *hidden = nullptr)
{
    QueryResult records = database.query(sql);
    QHash<QByteArray, qint64> ids;
    ids.reserve(records.rowCount());
    for (; !records.eof(); records.next()) {
        qint64 &known = ids[records.fieldAsUtf8(1)];
        if (known != 0 && hidden != nullptr)
            hidden->append(known);
        known = records.fieldAsInteger(0);
    }
    return ids;
}

class LibraryRebuild
{
public:
    LibraryRebuild(SqliteConnection &database, const QString &deviceRoot, QVector<BookRow> books,
                   QVector<CollectionRow> collections, const RebuildHooks &hooks)
        : m_database(database), m_deviceRoot(deviceRoot), m_books(std::move(books)),
          m_collections(std::move(collections)), m_hooks(hooks)
    {}

    void run()
    {
        m_database.beginTransaction();
        const QHash<qint64, QByteArray> formerBookPaths = formerPaths();
        for (const LibrarySchema::ReplacedTable &table : LibrarySchema::ReplacedTables)
            m_database.execute(QStringLiteral("drop table if exists ") + table.name);
        step(RebuildStep::CreateBooksTable);
        createIfMissing(LibrarySchema::Books);
        step(RebuildStep::InsertBooks);
        insertBooks();
        learnBookIds();
        step(RebuildStep::Thumbnails);
        writeThumbnails();
        step(RebuildStep::Collections);
        insertCollections();
        step(RebuildStep::Finish);
        insertMemberships();
        writeFixedRows();
        ReaderNotes::repoint(m_database, formerBookPaths, m_bookIdsByPath);
        m_database.execute(LibrarySchema::CollectionIndex);
        // A reader without a layout cache has none to clear.
        if (m_database.tableExists(QStringLiteral("layout_cache")))
            m_database.execute(QStringLiteral("delete from layout_cache"));
        step(RebuildStep::Commit);
        m_database.commit();
    }

    QVector<BookRow> takeBooks() { return std::move(m_books); }
    QVector<CollectionRow> takeCollections() { return std::move(m_collections); }

private:
    QHash<qint64, QByteArray> formerPaths()
    {
        QHash<qint64, QByteArray> paths = ReaderNotes::readBookPaths(m_database);
        if (m_hooks.formerBookNowAt) {
            for (QByteArray &path : paths) {
                const QByteArray now = m_hooks.formerBookNowAt(path);
                if (!now.isEmpty())
                    path = now;
            }
        }
        return paths;
    }

    void step(RebuildStep next)
    {
        if (m_hooks.beforeStep)
            m_hooks.beforeStep(next);
    }

    void createIfMissing(const LibrarySchema::ReplacedTable &table)
    {
        if (!m_database.tableExists(table.name))
            m_database.execute(table.createStatement);
    }

    void insertBooks()
    {
        // The books table was created empty within this transaction, so its AUTOINCREMENT
        // would number the books 1, 2, 3 ... in table order; numbering them so here lets
        // each row carry its thumbnail path at once. The ids are still read back below.
        SqliteStatement insert = m_database.prepare(
            QStringLiteral("insert into books (_id, title, author, source_id, added_date, modified_date, reading_time, "
                           "file_path, file_name, file_size, thumbnail, mime_type, prevent_delete ) "
                           "values(?1,?2,?3,0,?4,?5,?4,?6,?2,?7,?8||?1||?9,?10,0)"));
        insert.bindText(8, ReaderLayout::ThumbnailsFolder);
        insert.bindText(9, ReaderLayout::ThumbnailSubfolder + ReaderLayout::ThumbnailFileName);
        qint64 id = 0;
        m_storedPaths.reserve(m_books.size());
        for (BookRow &book : m_books) {
            // Titles carry backquotes in place of double quotes, as the reader expects.
            book.title.replace(QLatin1Char('"'), QLatin1Char('`'));
            book.file_name = book.title;
            m_storedPaths.append(ReaderLayout::storedBookPath(book.relative_path).toUtf8());
            insert.bindInteger(1, ++id);
            insert.bindText(2, book.title);
            insert.bindText(3, book.author);
            insert.bindNumber(4, book.added_date);
            insert.bindNumber(5, book.modified_date);
            insert.bindUtf8(6, m_storedPaths.last());
            insert.bindNumber(7, book.file_size);
            insert.bindText(10, book.mime_type);
            insert.execute();
        }
    }

    void learnBookIds()
    {
        m_bookIdsByPath =
            idsByText(m_database, QStringLiteral("select _id, file_path from books"), &m_unmatchedRecords);
        m_bookIds.reserve(m_books.size());
        for (int i = 0; i < m_books.size(); ++i) {
            const qint64 id = m_bookIdsByPath.value(m_storedPaths.at(i));
            m_bookIds.append(id);
            m_books[i].root = QString::number(id);
            m_books[i].record_id = m_books[i].root;
        }
    }

    void writeThumbnails()
    {
        const int count = int(m_books.size());
        for (int i = 0; m_hooks.writeThumbnail && i < count; ++i) {
            const BookRow &book = m_books.at(i);
            m_hooks.writeThumbnail(ThumbnailJob{i + 1, count, book, book.root,
                                                ReaderLayout::thumbnailFolderPath(m_deviceRoot, book.root)});
        }
        // A record whose path a later record also has is named by no book row: it gets no thumbnail.
        SqliteStatement clear = m_database.prepare(QStringLiteral("update books SET thumbnail=NULL WHERE _id=?"));
        for (const qint64 id : std::as_const(m_unmatchedRecords)) {
            clear.bindInteger(1, id);
            clear.execute();
        }
    }

    void insertCollections()
    {
        createIfMissing(LibrarySchema::Collection);
        SqliteStatement insert =
            m_database.prepare(QStringLiteral("insert into collection (title, source_id) values(?,?)"));
        for (const CollectionRow &collection : m_collections) {
            insert.bindText(1, collection.name);
            insert.bindInteger(2, 0);
            insert.execute();
        }
        const QHash<QByteArray, qint64> ids =
            idsByText(m_database, QStringLiteral("select _id, title from collection"));
        for (CollectionRow &collection : m_collections) {
            const qint64 id = ids.value(collection.name.toUtf8());
            m_collectionIds.append(id);
            collection.record_id = QString::number(id);
        }
    }

    void insertMemberships()
    {
        createIfMissing(LibrarySchema::Collections);
        // Book rows by collection name, in table order.
        QHash<QString, QVector<int>> members;
        for (int i = 0; i < m_books.size(); ++i)
            members[m_books.at(i).collection].append(i);
        SqliteStatement insert =
            m_database.prepare(QStringLiteral("insert into collections (collection_id, content_id) values(?,?)"));
        for (int c = 0; c < m_collections.size(); ++c) {
            for (const int book : members.value(m_collections.at(c).name)) {
                insert.bindInteger(1, m_collectionIds.at(c));
                insert.bindInteger(2, m_bookIds.at(book));
                insert.execute();
            }
        }
    }

    void writeFixedRows()
    {
        createIfMissing(LibrarySchema::CurrentPosition);
        createIfMissing(LibrarySchema::History);
        createIfMissing(LibrarySchema::Preference);
        SqliteStatement preference = m_database.prepare(
            QStringLiteral("insert into preference (content_id, tone_curve_type, contrast, brightness, show_notes, "
                           "binding_direction) values(?,?,?,?,?,?)"));
        const QStringList values{QStringLiteral("1"), QStringLiteral("Original"), QStringLiteral("0"),
                                 QStringLiteral("0"), QStringLiteral("1"),        QStringLiteral("auto")};
        for (int i = 0; i < values.size(); ++i)
            preference.bindText(i + 1, values.at(i));
        preference.execute();

        // This also drops the sequence row the preference insert has just made. Names and
        // counts go in as text: the table's columns have no type to make numbers of them.
        m_database.execute(QStringLiteral("delete from sqlite_sequence"));
        SqliteStatement sequence =
            m_database.prepare(QStringLiteral("insert into sqlite_sequence (name, seq) values(?,?)"));
        const QString bookCount = QString::number(m_books.size());
        const std::pair<QString, QString> rows[] = {
            {QStringLiteral("books"), bookCount},
            {QStringLiteral("collection"), QString::number(m_collections.size())},
            {QStringLiteral("collections"), bookCount}};
        for (const auto &[name, seq] : rows) {
            sequence.bindText(1, name);
            sequence.bindText(2, seq);
            sequence.execute();
        }
    }

    SqliteConnection &m_database;
    QString m_deviceRoot;
    QVector<BookRow> m_books;
    QVector<CollectionRow> m_collections;
    const RebuildHooks &m_hooks;
    QVector<QByteArray> m_storedPaths; // per book row, its file_path
    QHash<QByteArray, qint64> m_bookIdsByPath;
    QVector<qint64> m_bookIds;          // per book row
    QVector<qint64> m_unmatchedRecords; // books records no book row names: a later one has their path
    QVector<qint64> m_collectionIds;    // per collection row
};

} // namespace

void rebuildLibrary(const QString &deviceRoot, BookTable &books, CollectionTable &collections,
                    const RebuildHooks &hooks)
{
    SqliteConnection database;
    database.open(ReaderLayout::databasePath(deviceRoot));
    // The reader's own SQLite reads only the default rollback journal, and a
    // journal deleted on commit leaves no -journal file behind.
    database.query(QStringLiteral("PRAGMA journal_mode=DELETE"));
    rebuildLibrary(database, deviceRoot, books, collections, hooks);
    database.close();
}

void rebuildLibrary(SqliteConnection &database, const QString &deviceRoot, BookTable &books,
                    CollectionTable &collections, const RebuildHooks &hooks)
{
    LibraryRebuild rebuild(database, deviceRoot, books.rows(), collections.rows(), hooks);
    try {
        rebuild.run();
    } catch (...) {
        // Nothing of an abandoned rebuild reaches the file; the connection stays for the caller.
        database.rollback();
        throw;
    }

    QVector<BookRow> writtenBooks = rebuild.takeBooks();
    QVector<CollectionRow> writtenCollections = rebuild.takeCollections();
    Q_ASSERT(writtenBooks.size() == books.rowCount() && writtenCollections.size() == collections.rowCount());
    auto book = writtenBooks.begin();
    books.updateRows([&](BookRow &row) {
        row = std::move(*book++);
        return true;
    });
    auto collection = writtenCollections.begin();
    collections.updateRows([&](CollectionRow &row) {
        row = std::move(*collection++);
        return true;
    });
}
