#include "reader/library_rebuild.h"

#include "booklist/series_order.h"
#include "reader/library_schema.h"
#include "reader/reader_layout.h"
#include "reader/reader_notes.h"
#include "sqlite/sqlite_connection.h"
#include "sqlite/table_columns.h"

#include <QHash>
#include <QSet>
#include <QVarLengthArray>
#include <QVector>

#include <algorithm>
#include <map>

namespace {

// A value a row gives a column, bound the way the reader's own statements would store it.
struct ColumnValue
{
    enum class Kind { Text, Number, Integer, Utf8 };
    QLatin1String column;
    Kind kind;
    QString text;
    qint64 integer = 0;
    QByteArray utf8;

    void bind(SqliteStatement &statement, int index) const
    {
        switch (kind) {
        case Kind::Text:
            statement.bindText(index, text);
            break;
        case Kind::Number:
            statement.bindNumber(index, text);
            break;
        case Kind::Integer:
            statement.bindInteger(index, integer);
            break;
        case Kind::Utf8:
            statement.bindUtf8(index, utf8);
            break;
        }
    }
};

ColumnValue text(QLatin1String column, const QString &value)
{
    return {column, ColumnValue::Kind::Text, value};
}
ColumnValue number(QLatin1String column, const QString &value)
{
    return {column, ColumnValue::Kind::Number, value};
}
ColumnValue integer(QLatin1String column, qint64 value)
{
    return {column, ColumnValue::Kind::Integer, {}, value};
}
ColumnValue utf8(QLatin1String column, const QByteArray &value)
{
    return {column, ColumnValue::Kind::Utf8, {}, 0, value};
}

qint64 nextId(SqliteConnection &database, const QString &table)
{
    qint64 next = 1;
    const QString query =
        QStringLiteral("select max(coalesce((select max(cast(seq as integer)) from sqlite_sequence where name='%1'),0),"
                       "coalesce((select max(_id) from %1),0)) + 1")
            .arg(table);
    database.forEachRow(query, [&next](const SqliteRow &row) { next = row.integer(0); });
    return next;
}

// Titles carry backquotes in place of double quotes, as the reader expects.
QString writtenTitle(const QString &title)
{
    return title.contains(QLatin1Char('"')) ? QString(title).replace(QLatin1Char('"'), QLatin1Char('`')) : title;
}

} // namespace

quint64 shownFieldsDigest(const BookRow &book)
{
    // The columns changes() compares.
    return qHashMulti(0, book.title, book.author, book.added_date, book.modified_date, book.file_size.text(),
                      book.mime_type);
}

namespace {
class LibraryRebuild
{
public:
    LibraryRebuild(SqliteConnection &database, const QString &deviceRoot, const QVector<BookRow> &books,
                   QVector<CollectionRecord> collections, const RebuildHooks &hooks, const WriteBack *writeBack)
        : m_database(database), m_deviceRoot(deviceRoot), m_books(books), m_collections(std::move(collections)),
          m_hooks(hooks), m_writeBack(writeBack)
    {}

    void run()
    {
        if (!m_database.inTransaction())
            m_database.beginTransaction();
        // Only tables the reader lacks are made: the reader's own keep their triggers, indexes and columns.
        // The reader's settings row, made with its table, points at no book of ours: it comes last.
        for (const LibrarySchema::ReplacedTable &table : LibrarySchema::ReplacedTables)
            if (table.name != LibrarySchema::Preference.name && !m_database.tableExists(table.name))
                m_database.execute(table.createStatement);
        const QHash<qint64, QByteArray> notedBookPaths = formerPathsOfNotedBooks();
        step(RebuildStep::InsertBooks);
        writeBooks();
        step(RebuildStep::Thumbnails);
        writeThumbnails();
        step(RebuildStep::Collections);
        writeCollections();
        step(RebuildStep::Finish);
        writeMemberships();
        ReaderNotes::repoint(m_database, bookIdsNow(notedBookPaths));
        if (!m_database.tableExists(LibrarySchema::Preference.name))
            createPreference();
        if (m_database
                .query(QStringLiteral("select 1 from sqlite_master where type='index' and "
                                      "name='collection_index'"))
                .rowCount() == 0)
            m_database.execute(LibrarySchema::CollectionIndex);
        // The layouts of books that stay still fit their files.
        if (columnIndex(tableColumns(m_database, QStringLiteral("layout_cache")), QStringLiteral("content_id")) >= 0)
            m_database.execute(
                QStringLiteral("delete from layout_cache where content_id not in (select _id from books)"));
        step(RebuildStep::Commit);
        m_database.commit();
    }

    WrittenBooks takeWrittenBooks()
    {
        return WrittenBooks({std::move(m_ids), std::move(m_added), std::move(m_titleWritten), std::move(m_storedPaths),
                             std::move(m_thumbnails)});
    }
    QVector<CollectionRecord> takeCollections() { return std::move(m_collections); }

private:
    void createPreference()
    {
        m_database.execute(LibrarySchema::Preference.createStatement);
        m_database.execute(QStringLiteral("insert into preference (content_id, tone_curve_type, contrast, brightness, "
                                          "show_notes, binding_direction) values(1,'Original',0,0,1,'auto')"));
    }

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

    // Sets the columns of `values` in record `id`, one statement per set of columns.
    void update(const QString &table, qint64 id, const QVector<ColumnValue> &values)
    {
        if (values.isEmpty())
            return;
        SqliteStatement &statement = updateStatement(table, values);
        for (int i = 0; i < values.size(); ++i)
            values.at(i).bind(statement, i + 1);
        statement.bindInteger(int(values.size()) + 1, id);
        statement.execute();
    }

    SqliteStatement &updateStatement(const QString &table, const QVector<ColumnValue> &values)
    {
        // Rows that change mostly change the same columns: the last statement serves again untold.
        const auto sameColumns = [&values](const QVarLengthArray<QLatin1String, 8> &columns) {
            return std::equal(values.cbegin(), values.cend(), columns.cbegin(), columns.cend(),
                              [](const ColumnValue &value, QLatin1String column) { return value.column == column; });
        };
        if (m_lastUpdate && m_lastUpdateTable == table && sameColumns(m_lastUpdateColumns))
            return *m_lastUpdate;
        m_lastUpdateTable = table;
        m_lastUpdateColumns.clear();
        QStringList assignments;
        for (const ColumnValue &value : values) {
            m_lastUpdateColumns.append(value.column);
            assignments << QString(value.column) + QStringLiteral("=?");
        }
        const QString sql = QStringLiteral("update ") + table + QStringLiteral(" set ") +
                            assignments.join(QLatin1Char(',')) + QStringLiteral(" where _id=?");
        auto statement = m_updates.find(sql);
        if (statement == m_updates.end())
            statement = m_updates.emplace(sql, m_database.prepare(sql)).first;
        m_lastUpdate = &statement->second;
        return *m_lastUpdate;
    }

    // The stored books, in one read: `_id`, the columns a row decides, file_path, thumbnail.
    static constexpr QLatin1String StoredBooks{"select _id, title, author, added_date, modified_date, file_name, "
                                               "file_size, mime_type, file_path, thumbnail from books"};

    // The columns a book row changes in the record it keeps, `stored` being that record read by
    // StoredBooks: those whose shown value differs.
    QVector<ColumnValue> changes(int i, const SqliteRow &stored)
    {
        const BookRow &book = m_books.at(i);
        QVector<ColumnValue> changed;
        if (!stored.textEquals(1, book.title)) {
            const QString title = titleWritten(i);
            if (!stored.textEquals(1, title))
                changed << text(QLatin1String("title"), title);
            if (!stored.textEquals(5, title))
                changed << text(QLatin1String("file_name"), title);
        }
        if (!stored.textEquals(2, book.author))
            changed << text(QLatin1String("author"), book.author);
        if (!stored.textEquals(3, book.added_date))
            changed << number(QLatin1String("added_date"), book.added_date);
        if (!stored.textEquals(4, book.modified_date))
            changed << number(QLatin1String("modified_date"), book.modified_date);
        if (!stored.textEquals(6, book.file_size.text()))
            changed << number(QLatin1String("file_size"), book.file_size.text());
        if (!stored.textEquals(7, book.mime_type))
            changed << text(QLatin1String("mime_type"), book.mime_type);
        return changed;
    }

    void writeBooks()
    {
        // The first row naming a record keeps it; the stored records are compared with their rows
        // as they are read, and only the changes are kept.
        QHash<qint64, int> keepers;
        keepers.reserve(m_books.size());
        for (int i = 0; i < m_books.size(); ++i) {
            bool isNumber = false;
            const qint64 id = m_books.at(i).record_id.toLongLong(&isNumber);
            if (isNumber && !keepers.contains(id))
                keepers.insert(id, i);
        }
        m_added.fill(true, m_books.size());
        m_titleWritten.fill(false, m_books.size());
        m_storedPaths.resize(m_books.size());
        m_thumbnails.resize(m_books.size());
        QVector<qint64> gone;
        std::vector<std::pair<int, QVector<ColumnValue>>> changed;
        // The row keeping record `id`, or -1 when none does or another row already has.
        const auto keeper = [&](qint64 id, QByteArray path, QByteArray thumbnail) {
            const auto found = keepers.constFind(id);
            if (found == keepers.cend()) {
                gone.append(id);
                return -1;
            }
            const int i = *found;
            if (!m_added.at(i))
                return -1;
            m_added[i] = false;
            m_storedPaths[i] = std::move(path);
            m_thumbnails[i] = std::move(thumbnail);
            return i;
        };
        const auto compare = [&](int i, const SqliteRow &stored) {
            QVector<ColumnValue> values = changes(i, stored);
            if (!values.isEmpty())
                changed.emplace_back(i, std::move(values));
        };
        if (m_writeBack && m_writeBack->storedBooks) {
            // Only the records of rows that changed since they were loaded are read again.
            SqliteStatement stored = m_database.prepare(StoredBooks + QStringLiteral(" where _id=?"));
            for (const PreviousBook &book : *m_writeBack->storedBooks) {
                const int i = keeper(book.id, book.filePath, book.thumbnail);
                if (i < 0 || m_writeBack->rowsShowingStored.value(i))
                    continue;
                stored.bindInteger(1, book.id);
                if (stored.nextRow())
                    compare(i, stored.row());
                stored.reset();
            }
        } else {
            m_database.forEachRow(StoredBooks, [&](const SqliteRow &row) {
                const int i = keeper(row.integer(0), row.bytes(8).toByteArray(), row.bytes(9).toByteArray());
                if (i >= 0)
                    compare(i, row);
            });
        }
        qint64 next = nextId(m_database, LibrarySchema::Books.name);
        m_ids.reserve(m_books.size());
        for (int i = 0; i < m_books.size(); ++i)
            m_ids.append(m_added.at(i) ? next++ : m_books.at(i).record_id.toLongLong());

        SqliteStatement remove = m_database.prepare(QStringLiteral("delete from books where _id=?"));
        for (const qint64 id : std::as_const(gone)) {
            remove.bindInteger(1, id);
            remove.execute();
        }
        for (const auto &[i, values] : changed)
            update(LibrarySchema::Books.name, m_ids.at(i), values);

        SqliteStatement insert = m_database.prepare(
            QStringLiteral("insert into books (_id, title, author, source_id, added_date, modified_date, reading_time, "
                           "file_path, file_name, file_size, thumbnail, mime_type, prevent_delete) "
                           "values(?,?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (int i = 0; i < m_books.size(); ++i) {
            const BookRow &book = m_books.at(i);
            const qint64 id = m_ids.at(i);
            if (m_added.at(i)) {
                const QString title = titleWritten(i);
                m_storedPaths[i] = ReaderLayout::storedBookPath(book.relative_path).toUtf8();
                m_thumbnails[i] = ReaderLayout::storedThumbnailUtf8(id);
                const ColumnValue values[] = {
                    integer(QLatin1String("_id"), id),
                    text(QLatin1String("title"), title),
                    text(QLatin1String("author"), book.author),
                    integer(QLatin1String("source_id"), 0),
                    number(QLatin1String("added_date"), book.added_date),
                    number(QLatin1String("modified_date"), book.modified_date),
                    number(QLatin1String("reading_time"), book.added_date),
                    utf8(QLatin1String("file_path"), m_storedPaths.at(i)),
                    text(QLatin1String("file_name"), title),
                    number(QLatin1String("file_size"), book.file_size.text()),
                    utf8(QLatin1String("thumbnail"), m_thumbnails.at(i)),
                    text(QLatin1String("mime_type"), book.mime_type),
                    integer(QLatin1String("prevent_delete"), 0),
                };
                for (int value = 0; value < int(std::size(values)); ++value)
                    values[value].bind(insert, value + 1);
                insert.execute();
            }
        }
    }

    // Row `i`'s title, written: from now on the row is cleaned on success.
    QString titleWritten(int i)
    {
        m_titleWritten[i] = true;
        const QString title = writtenTitle(m_books.at(i).title);
        if (title != m_books.at(i).title) {
            BookRow cleaned = m_books.at(i);
            cleaned.title = title;
            cleaned.file_name = title;
            m_cleanedRows.insert(i, std::move(cleaned));
        }
        return title;
    }
    // Row `i` as the library orders it: its title as written.
    const BookRow &writtenRow(int i) const
    {
        const auto cleaned = m_cleanedRows.constFind(i);
        return cleaned == m_cleanedRows.cend() ? m_books.at(i) : *cleaned;
    }

    void writeThumbnails()
    {
        const int count = int(m_books.size());
        for (int i = 0; m_hooks.writeThumbnail && i < count; ++i) {
            const QString recordId = QString::number(m_ids.at(i));
            const ThumbnailOutcome outcome =
                m_hooks.writeThumbnail(ThumbnailJob{i + 1, count, writtenRow(i), recordId, m_added.at(i),
                                                    m_added.at(i) ? QByteArray() : m_thumbnails.at(i)});
            // An added record was inserted naming its thumbnail where the reader keeps it.
            if (outcome == ThumbnailOutcome::Written && !m_added.at(i)) {
                QByteArray standard = ReaderLayout::storedThumbnailUtf8(m_ids.at(i));
                if (m_thumbnails.at(i) != standard) {
                    update(LibrarySchema::Books.name, m_ids.at(i), {utf8(QLatin1String("thumbnail"), standard)});
                    m_thumbnails[i] = std::move(standard);
                }
            } else if (outcome == ThumbnailOutcome::None && !m_thumbnails.at(i).isEmpty()) {
                m_database.execute(QStringLiteral("update books set thumbnail=NULL where _id=") +
                                   QString::number(m_ids.at(i)));
                m_thumbnails[i].clear();
            }
        }
    }

    void writeCollections()
    {
        QHash<qint64, QString> stored;
        QHash<QString, QVector<qint64>> byTitle;
        m_database.forEachRow(QStringLiteral("select _id, title from collection order by _id"),
                              [&](const SqliteRow &row) {
                                  stored.insert(row.integer(0), row.text(1));
                                  byTitle[row.text(1)].append(row.integer(0));
                              });
        QSet<qint64> kept;
        QVector<qint64> ids;
        qint64 next = nextId(m_database, LibrarySchema::Collection.name);
        for (const CollectionRecord &collection : std::as_const(m_collections)) {
            bool isNumber = false;
            qint64 id = collection.record_id.toLongLong(&isNumber);
            if (!isNumber || !stored.contains(id) || kept.contains(id)) {
                id = 0;
                // A collection of the creation page keeps the reader's record of that title.
                for (const qint64 same : byTitle.value(collection.name))
                    if (!m_writeBack && id == 0 && !kept.contains(same))
                        id = same;
            }
            if (id != 0)
                kept.insert(id);
            ids.append(id);
        }
        SqliteStatement remove = m_database.prepare(QStringLiteral("delete from collection where _id=?"));
        for (auto collection = stored.cbegin(); collection != stored.cend(); ++collection) {
            if (kept.contains(collection.key()))
                continue;
            remove.bindInteger(1, collection.key());
            remove.execute();
        }
        SqliteStatement insert =
            m_database.prepare(QStringLiteral("insert into collection (_id, title, source_id) values(?,?,0)"));
        for (int i = 0; i < m_collections.size(); ++i) {
            CollectionRecord &collection = m_collections[i];
            if (ids.at(i) == 0) {
                ids[i] = next++;
                insert.bindInteger(1, ids.at(i));
                insert.bindText(2, collection.name);
                insert.execute();
            } else if (stored.value(ids.at(i)) != collection.name) {
                update(LibrarySchema::Collection.name, ids.at(i), {text(QLatin1String("title"), collection.name)});
            }
            collection.record_id = QString::number(ids.at(i));
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
                return comesEarlierInSeries(writtenRow(a.book), writtenRow(b.book));
            });
            for (int place = 0; place < books.size(); ++place)
                written.append({books.at(place).collection, books.at(place).book, SqliteValue::integer(place + 1)});
        }
        return written;
    }

    // A membership that stays keeps its record; the others go, and the new ones are added.
    void writeMemberships()
    {
        using Pair = std::pair<qint64, qint64>; // collection _id, book _id
        // Held const: the write-back's memberships are shared, not copied.
        const QVector<Membership> memberships =
            inSeriesOrder(m_writeBack ? m_writeBack->memberships : membershipsByName());
        QVector<std::pair<Pair, SqliteValue>> wanted;
        wanted.reserve(memberships.size());
        QHash<Pair, int> present; // -> its place in `wanted`, or -1 once a record holds it
        present.reserve(memberships.size());
        for (const Membership &membership : memberships) {
            if (membership.collection < 0 || membership.collection >= m_collections.size() || membership.book < 0 ||
                membership.book >= m_books.size())
                continue;
            const Pair pair{m_collections.at(membership.collection).record_id.toLongLong(), m_ids.at(membership.book)};
            if (present.contains(pair))
                continue;
            present.insert(pair, int(wanted.size()));
            wanted.append({pair, membership.addedOrder});
        }
        QVector<qint64> gone;
        QVector<std::pair<qint64, SqliteValue>> reordered;
        m_database.forEachRow(QStringLiteral("select _id, collection_id, content_id, added_order from collections"),
                              [&](const SqliteRow &row) {
                                  const auto held = present.find({row.integer(1), row.integer(2)});
                                  if (held == present.end() || *held < 0 ||
                                      row.storedType(1) != SqliteValue::Type::Integer ||
                                      row.storedType(2) != SqliteValue::Type::Integer) {
                                      gone.append(row.integer(0));
                                      return;
                                  }
                                  if (row.value(3) != wanted.at(*held).second)
                                      reordered.append({row.integer(0), wanted.at(*held).second});
                                  *held = -1;
                              });
        SqliteStatement reorder =
            m_database.prepare(QStringLiteral("update collections set added_order=? where _id=?"));
        for (const auto &[id, addedOrder] : std::as_const(reordered)) {
            reorder.bindValue(1, addedOrder);
            reorder.bindInteger(2, id);
            reorder.execute();
        }
        SqliteStatement remove = m_database.prepare(QStringLiteral("delete from collections where _id=?"));
        for (const qint64 id : std::as_const(gone)) {
            remove.bindInteger(1, id);
            remove.execute();
        }
        SqliteStatement insert = m_database.prepare(
            QStringLiteral("insert into collections (collection_id, content_id, added_order) values(?,?,?)"));
        for (const auto &[pair, addedOrder] : std::as_const(wanted)) {
            if (present.value(pair) < 0)
                continue;
            insert.bindInteger(1, pair.first);
            insert.bindInteger(2, pair.second);
            insert.bindValue(3, addedOrder);
            insert.execute();
        }
    }

    // Each noted former book's _id now: its own where its record stays, otherwise the record
    // written for its file (the later one where paths repeat); none for a book that went.
    QHash<qint64, qint64> bookIdsNow(const QHash<qint64, QByteArray> &notedBookPaths) const
    {
        QHash<qint64, qint64> now;
        if (notedBookPaths.isEmpty())
            return now;
        QHash<QByteArray, qint64> idsByPath; // of the noted paths only: 0 until written
        for (const QByteArray &path : notedBookPaths)
            idsByPath.insert(path, 0);
        QSet<qint64> kept;
        for (int i = 0; i < m_storedPaths.size(); ++i) {
            if (const auto noted = idsByPath.find(m_storedPaths.at(i)); noted != idsByPath.end())
                *noted = m_ids.at(i);
            if (!m_added.at(i))
                kept.insert(m_ids.at(i));
        }
        for (auto former = notedBookPaths.cbegin(); former != notedBookPaths.cend(); ++former) {
            const qint64 id = kept.contains(former.key()) ? former.key() : idsByPath.value(former.value());
            if (id != 0)
                now.insert(former.key(), id);
        }
        return now;
    }

    SqliteConnection &m_database;
    QString m_deviceRoot;
    const QVector<BookRow> &m_books; // as given: the rows change only once the library is committed
    QVector<CollectionRecord> m_collections;
    const RebuildHooks &m_hooks;
    const WriteBack *m_writeBack;
    QVector<qint64> m_ids;             // per book row, its record's _id
    QVector<bool> m_added;             // per book row, whether its record is new
    QVector<bool> m_titleWritten;      // per book row, whether its title was written
    QHash<int, BookRow> m_cleanedRows; // the rows whose titles change as written
    QVector<QByteArray> m_storedPaths; // per book row, its file_path
    QVector<QByteArray> m_thumbnails; // per book row, its record's thumbnail: as stored until its turn, then as written
    std::map<QString, SqliteStatement> m_updates; // by their text
    SqliteStatement *m_lastUpdate = nullptr;      // the one last used, with its table and columns
    QString m_lastUpdateTable;
    QVarLengthArray<QLatin1String, 8> m_lastUpdateColumns;
};

} // namespace

qint64 nextBookId(SqliteConnection &database)
{
    if (!database.tableExists(LibrarySchema::Books.name))
        return 1;
    return nextId(database, LibrarySchema::Books.name);
}

bool WrittenBooks::update(int row, BookRow &book) const
{
    bool changed = false;
    const auto set = [&changed](QString &field, const QString &value) {
        if (field != value) {
            field = value;
            changed = true;
        }
    };
    if (m_rows.titleWritten.at(row)) {
        set(book.title, writtenTitle(book.title));
        set(book.file_name, book.title);
    }
    // A kept record's row names it already.
    if (m_rows.added.at(row))
        set(book.record_id, QString::number(m_rows.ids.at(row)));
    set(book.root, book.record_id);
    return changed;
}

WrittenBooks writeLibrary(SqliteConnection &database, const QString &deviceRoot, const QVector<BookRow> &books,
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
    collections = rebuild.takeCollections();
    return rebuild.takeWrittenBooks();
}

void rebuildLibrary(SqliteConnection &database, const QString &deviceRoot, QVector<BookRow> &books,
                    QVector<CollectionRecord> &collections, const RebuildHooks &hooks, const WriteBack *writeBack)
{
    const WrittenBooks written = writeLibrary(database, deviceRoot, books, collections, hooks, writeBack);
    for (int row = 0; row < books.size(); ++row)
        written.update(row, books[row]);
}
