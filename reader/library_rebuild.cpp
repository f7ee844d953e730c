#include "reader/library_rebuild.h"

#include "booklist/series_order.h"
#include "reader/library_schema.h"
#include "reader/reader_layout.h"
#include "reader/reader_notes.h"
#include "sqlite/record_insert.h"
#include "sqlite/sqlite_connection.h"
#include "sqlite/stored_records.h"
#include "sqlite/table_columns.h"

#include <QHash>
#include <QSet>
#include <QVector>

#include <algorithm>
#include <optional>

namespace {

// The columns each book and collection record takes from its row, in parameter order.
enum BookField {
    BookId,
    BookTitle,
    BookAuthor,
    BookSourceId,
    BookAddedDate,
    BookModifiedDate,
    BookReadingTime,
    BookFilePath,
    BookFileName,
    BookFileSize,
    BookThumbnail,
    BookMimeType,
    BookPreventDelete
};
const QStringList BookFields{"_id",           "title",        "author",        "source_id", "added_date",
                             "modified_date", "reading_time", "file_path",     "file_name", "file_size",
                             "thumbnail",     "mime_type",    "prevent_delete"};

enum CollectionField { CollectionId, CollectionTitle, CollectionSourceId };
const QStringList CollectionFields{"_id", "title", "source_id"};

// The columns of the replaced tables that later firmware may have added.
struct FormerColumns
{
    QVector<TableColumn> books;
    QVector<TableColumn> collection;
    QVector<TableColumn> collections;
};

class LibraryRebuild
{
public:
    LibraryRebuild(SqliteConnection &database, const QString &deviceRoot, QVector<BookRow> books,
                   QVector<CollectionRecord> collections, const RebuildHooks &hooks, const WriteBack *writeBack)
        : m_database(database), m_deviceRoot(deviceRoot), m_books(std::move(books)),
          m_collections(std::move(collections)), m_hooks(hooks), m_writeBack(writeBack)
    {
        if (m_writeBack) {
            m_loaded.emplace();
            m_loaded->openImage(m_writeBack->database);
        }
    }

    void run()
    {
        m_database.beginTransaction();
        const QHash<qint64, QByteArray> notedBookPaths = formerPathsOfNotedBooks();
        const FormerColumns former{tableColumns(m_database, LibrarySchema::Books.name),
                                   tableColumns(m_database, LibrarySchema::Collection.name),
                                   tableColumns(m_database, LibrarySchema::Collections.name)};
        for (const LibrarySchema::ReplacedTable &table : LibrarySchema::ReplacedTables)
            m_database.execute(QStringLiteral("drop table if exists ") + table.name);
        step(RebuildStep::CreateBooksTable);
        create(LibrarySchema::Books, former.books);
        step(RebuildStep::InsertBooks);
        insertBooks();
        step(RebuildStep::Thumbnails);
        writeThumbnails();
        step(RebuildStep::Collections);
        create(LibrarySchema::Collection, former.collection);
        insertCollections();
        step(RebuildStep::Finish);
        create(LibrarySchema::Collections, former.collections);
        insertMemberships();
        writeFixedRows();
        ReaderNotes::repoint(m_database, newBookIds(notedBookPaths));
        m_database.execute(LibrarySchema::CollectionIndex);
        // A reader without a layout cache has none to clear.
        if (m_database.tableExists(QStringLiteral("layout_cache")))
            m_database.execute(QStringLiteral("delete from layout_cache"));
        step(RebuildStep::Commit);
        m_database.commit();
    }

    QVector<BookRow> takeBooks() { return std::move(m_books); }
    QVector<CollectionRecord> takeCollections() { return std::move(m_collections); }

private:
    QHash<qint64, QByteArray> formerPathsOfNotedBooks()
    {
        QHash<qint64, QByteArray> paths = ReaderNotes::readNotedBookPaths(m_database);
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

    // The firmware's table, with the columns the table it replaces had besides, so that a later
    // firmware finds the table it expects.
    void create(const LibrarySchema::ReplacedTable &table, const QVector<TableColumn> &former)
    {
        if (!m_database.tableExists(table.name))
            m_database.execute(table.createStatement);
        addMissingColumns(m_database, table.name, former);
    }

    std::optional<StoredRecords> loadedRecords(const QString &table)
    {
        if (!m_loaded)
            return std::nullopt;
        return std::optional<StoredRecords>(std::in_place, *m_loaded, table);
    }

    // A value the page shows: the loaded record's own value while the row still shows it, so a
    // library written back unedited is stored as it was read, storage class and all.
    static void setShown(RecordInsert &insert, int field, const QString &text)
    {
        const int cell = insert.loadedColumn(field);
        const bool unchanged = cell >= 0 && insert.loadedRecord()->text(cell) == text;
        insert.setText(field, text, unchanged ? RecordInsert::Precedence::Loaded : RecordInsert::Precedence::Row);
    }

    static void setShownNumber(RecordInsert &insert, int field, const QString &text)
    {
        const int cell = insert.loadedColumn(field);
        const bool unchanged = cell >= 0 && insert.loadedRecord()->text(cell) == text;
        insert.setNumber(field, text, unchanged ? RecordInsert::Precedence::Loaded : RecordInsert::Precedence::Row);
    }

    void insertBooks()
    {
        using Precedence = RecordInsert::Precedence;
        std::optional<StoredRecords> loaded = loadedRecords(LibrarySchema::Books.name);
        RecordInsert insert(m_database, LibrarySchema::Books.name, tableColumns(m_database, LibrarySchema::Books.name),
                            BookFields, loaded ? &*loaded : nullptr);
        const QString thumbnailEnd = QString(ReaderLayout::ThumbnailSubfolder) + ReaderLayout::ThumbnailFileName;
        m_storedPaths.reserve(m_books.size());
        // Books are numbered 1, 2, 3 ... in table order, as the AUTOINCREMENT of a table made
        // empty would number them, so each record carries its thumbnail path at once.
        qint64 id = 0;
        for (BookRow &book : m_books) {
            insert.start(book.record_id);
            insert.setInteger(BookId, ++id);
            const int loadedTitle = insert.loadedColumn(BookTitle);
            if (loadedTitle >= 0 && insert.loadedRecord()->text(loadedTitle) == book.title) {
                // An unchanged title keeps its record's title and file name as they were.
                insert.setText(BookTitle, book.title, Precedence::Loaded);
                insert.setText(BookFileName, book.title, Precedence::Loaded);
            } else {
                // Titles carry backquotes in place of double quotes, as the reader expects.
                book.title.replace(QLatin1Char('"'), QLatin1Char('`'));
                book.file_name = book.title;
                insert.setText(BookTitle, book.title);
                insert.setText(BookFileName, book.file_name);
            }
            setShown(insert, BookAuthor, book.author);
            setShownNumber(insert, BookAddedDate, book.added_date);
            setShownNumber(insert, BookModifiedDate, book.modified_date);
            setShownNumber(insert, BookFileSize, book.file_size.text());
            setShown(insert, BookMimeType, book.mime_type);
            // The reader's own values stay where the book was read from it.
            insert.setInteger(BookSourceId, 0, Precedence::Loaded);
            insert.setNumber(BookReadingTime, book.added_date, Precedence::Loaded);
            insert.setInteger(BookPreventDelete, 0, Precedence::Loaded);
            // A book read from the reader stays where it lies, its path exactly as stored.
            if (const int path = insert.loadedColumn(BookFilePath); path >= 0) {
                insert.setUtf8(BookFilePath, {}, Precedence::Loaded);
                m_storedPaths.append(insert.loadedRecord()->bytes(path).toByteArray());
            } else {
                m_storedPaths.append(ReaderLayout::storedBookPath(book.relative_path).toUtf8());
                insert.setUtf8(BookFilePath, m_storedPaths.last());
            }
            insert.setText(BookThumbnail, ReaderLayout::ThumbnailsFolder + QString::number(id) + thumbnailEnd);
            insert.insert();
            m_loadedIds.append(insert.loadedRecord() ? book.record_id.toLongLong() : 0);
            book.root = QString::number(id);
            book.record_id = book.root;
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
    }

    void insertCollections()
    {
        using Precedence = RecordInsert::Precedence;
        std::optional<StoredRecords> loaded = loadedRecords(LibrarySchema::Collection.name);
        RecordInsert insert(m_database, LibrarySchema::Collection.name,
                            tableColumns(m_database, LibrarySchema::Collection.name), CollectionFields,
                            loaded ? &*loaded : nullptr);
        // Each collection has its own record, even where titles repeat.
        qint64 id = 0;
        for (CollectionRecord &collection : m_collections) {
            insert.start(collection.record_id);
            insert.setInteger(CollectionId, ++id);
            setShown(insert, CollectionTitle, collection.name);
            insert.setInteger(CollectionSourceId, 0, Precedence::Loaded);
            insert.insert();
            collection.record_id = QString::number(id);
        }
    }

    // Every collection row named as a book's collection holds that book.
    QVector<Membership> membershipsByName() const
    {
        QHash<QString, QVector<int>> members;
        for (int i = 0; i < m_books.size(); ++i)
            if (!m_books.at(i).collection.isEmpty())
                members[m_books.at(i).collection].append(i);
        QVector<Membership> memberships;
        memberships.reserve(m_books.size());
        for (int c = 0; c < m_collections.size(); ++c)
            for (const int book : members.value(m_collections.at(c).name))
                memberships.append({c, book, {}});
        return memberships;
    }

    // The books of a collection made from a series go in series order, numbered from 1 in
    // added_order, where its first book went; every other membership stays as it is.
    QVector<Membership> inSeriesOrder(const QVector<Membership> &memberships) const
    {
        const auto ordered = [this](const Membership &membership) {
            return membership.collection >= 0 && membership.collection < m_collections.size() && membership.book >= 0 &&
                   membership.book < m_books.size() && m_collections.at(membership.collection).series_order;
        };
        QHash<int, QVector<Membership>> series;
        for (const Membership &membership : memberships)
            if (ordered(membership))
                series[membership.collection].append(membership);
        if (series.isEmpty())
            return memberships;
        QVector<Membership> written;
        written.reserve(memberships.size());
        for (const Membership &membership : memberships) {
            if (!ordered(membership)) {
                written.append(membership);
                continue;
            }
            QVector<Membership> books = series.take(membership.collection);
            std::stable_sort(books.begin(), books.end(), [this](const Membership &a, const Membership &b) {
                return comesEarlierInSeries(m_books.at(a.book), m_books.at(b.book));
            });
            for (int place = 0; place < books.size(); ++place)
                written.append({books.at(place).collection, books.at(place).book, SqliteValue::integer(place + 1)});
        }
        return written;
    }

    void insertMemberships()
    {
        const QVector<Membership> memberships =
            inSeriesOrder(m_writeBack ? m_writeBack->memberships : membershipsByName());
        SqliteStatement insert = m_database.prepare(
            QStringLiteral("insert into collections (collection_id, content_id, added_order) values(?,?,?)"));
        QSet<std::pair<int, int>> written;
        for (const Membership &membership : memberships) {
            if (membership.collection < 0 || membership.collection >= m_collections.size() || membership.book < 0 ||
                membership.book >= m_books.size() || written.contains({membership.collection, membership.book}))
                continue;
            written.insert({membership.collection, membership.book});
            insert.bindInteger(1, membership.collection + 1);
            insert.bindInteger(2, membership.book + 1);
            insert.bindValue(3, membership.addedOrder);
            insert.execute();
        }
    }

    void writeFixedRows()
    {
        create(LibrarySchema::CurrentPosition, {});
        create(LibrarySchema::History, {});
        create(LibrarySchema::Preference, {});
        SqliteStatement preference = m_database.prepare(
            QStringLiteral("insert into preference (content_id, tone_curve_type, contrast, brightness, show_notes, "
                           "binding_direction) values(?,?,?,?,?,?)"));
        const QStringList values{QStringLiteral("1"), QStringLiteral("Original"), QStringLiteral("0"),
                                 QStringLiteral("0"), QStringLiteral("1"),        QStringLiteral("auto")};
        for (int i = 0; i < values.size(); ++i)
            preference.bindText(i + 1, values.at(i));
        preference.execute();

        // This also drops the sequence row the preference insert has just made. Names and
        // counts go in as text: the table's columns have no type to make numbers of them. A
        // count below a table's largest _id is harmless: new ids still go above it.
        m_database.execute(QStringLiteral("delete from sqlite_sequence"));
        SqliteStatement sequence =
            m_database.prepare(QStringLiteral("insert into sqlite_sequence (name, seq) values(?,?)"));
        const std::pair<QString, QString> rows[] = {
            {QStringLiteral("books"), QString::number(m_books.size())},
            {QStringLiteral("collection"), QString::number(m_collections.size())},
            {QStringLiteral("collections"), QString::number(m_books.size())}};
        for (const auto &[name, seq] : rows) {
            sequence.bindText(1, name);
            sequence.bindText(2, seq);
            sequence.execute();
        }
    }

    // Each noted former book's new _id: the record written for it (a loaded book's by its own id,
    // any other by its file's path, the later record where paths repeat); none for a book that went.
    QHash<qint64, qint64> newBookIds(const QHash<qint64, QByteArray> &notedBookPaths) const
    {
        QHash<qint64, qint64> newIds;
        if (notedBookPaths.isEmpty())
            return newIds;
        QHash<QByteArray, qint64> idsByPath; // of the noted paths only: 0 until written
        for (const QByteArray &path : notedBookPaths)
            idsByPath.insert(path, 0);
        for (int i = 0; i < m_storedPaths.size(); ++i)
            if (const auto noted = idsByPath.find(m_storedPaths.at(i)); noted != idsByPath.end())
                *noted = i + 1;
        for (auto former = notedBookPaths.cbegin(); former != notedBookPaths.cend(); ++former)
            if (const qint64 now = idsByPath.value(former.value()); now != 0)
                newIds.insert(former.key(), now);
        if (m_writeBack) {
            for (int i = 0; i < m_loadedIds.size(); ++i)
                if (notedBookPaths.contains(m_loadedIds.at(i)))
                    newIds.insert(m_loadedIds.at(i), i + 1);
        }
        return newIds;
    }

    SqliteConnection &m_database;
    QString m_deviceRoot;
    QVector<BookRow> m_books;
    QVector<CollectionRecord> m_collections;
    const RebuildHooks &m_hooks;
    const WriteBack *m_writeBack;
    std::optional<SqliteConnection> m_loaded; // the library as loaded, for a write-back
    QVector<QByteArray> m_storedPaths;        // per book row, its file_path
    QVector<qint64> m_loadedIds;              // per book row, the _id it was loaded from, or 0
};

} // namespace

void rebuildLibrary(SqliteConnection &database, const QString &deviceRoot, QVector<BookRow> &books,
                    QVector<CollectionRecord> &collections, const RebuildHooks &hooks, const WriteBack *writeBack)
{
    LibraryRebuild rebuild(database, deviceRoot, books, collections, hooks, writeBack);
    try {
        rebuild.run();
    } catch (...) {
        // Nothing of an abandoned rebuild reaches the file; the connection stays for the caller.
        database.rollback();
        throw;
    }
    books = rebuild.takeBooks();
    collections = rebuild.takeCollections();
}
