#include "sync/write_back_plan.h"

#include "editor/reader_paths.h"
#include "reader/loaded_library.h"

#include <QHash>
#include <QSet>

namespace {
// One membership record of the library as loaded.
struct LoadedMembership
{
    QString collection; // `collection_id` as the page's record ids read
    QString book;       // `content_id`
    SqliteValue addedOrder;
};

class WriteBackPlanner
{
public:
    WriteBackPlanner(const LoadedLibrary &loaded, const QVector<BookRow> &books,
                     const QVector<CollectionRow> &collections)
        : m_books(books)
    {
        loaded.open(m_database);
        for (int row = 0; row < collections.size(); ++row) {
            const CollectionRow &collection = collections.at(row);
            m_rowsByName[collection.name].append(row);
            if (!collection.record_id.isEmpty())
                m_rowsByRecord[collection.record_id].append(row);
            for (const QString &merged : collection.merged_record_ids)
                m_rowsByRecord[merged].append(row);
        }
        m_bookRows.reserve(books.size());
        for (int row = 0; row < books.size(); ++row)
            if (!books.at(row).record_id.isEmpty())
                m_bookRows.insert(books.at(row).record_id, row);
    }

    QVector<Membership> memberships()
    {
        const QVector<LoadedMembership> loaded = readMemberships();
        // The membership that named the collection each book was shown in: the last one of a
        // collection that was loaded, as the page was filled.
        QHash<QString, int> shown;
        for (int i = 0; i < loaded.size(); ++i)
            if (m_loadedCollections.contains(loaded.at(i).collection))
                shown.insert(loaded.at(i).book, i);

        QVector<Membership> written;
        written.reserve(loaded.size() + m_books.size());
        QVector<bool> shownWritten(m_books.size(), false);
        for (int i = 0; i < loaded.size(); ++i) {
            const LoadedMembership &membership = loaded.at(i);
            const int book = m_bookRows.value(membership.book, -1);
            if (book < 0)
                continue;
            if (shown.value(membership.book, -1) == i) {
                // Kept in its place while the book is still shown in that collection.
                const int collection = shownCollection(book, membership.collection);
                if (collection >= 0 && holds(collection, membership.collection)) {
                    written.append({collection, book, membership.addedOrder});
                    shownWritten[book] = true;
                }
                continue;
            }
            for (const int collection : m_rowsByRecord.value(membership.collection))
                written.append({collection, book, membership.addedOrder});
        }
        // Books put in a collection on the page.
        for (int book = 0; book < m_books.size(); ++book) {
            if (shownWritten.at(book))
                continue;
            const auto loadedShown = shown.constFind(m_books.at(book).record_id);
            const int collection =
                shownCollection(book, loadedShown == shown.cend() ? QString() : loaded.at(*loadedShown).collection);
            if (collection >= 0)
                written.append({collection, book, {}});
        }
        return written;
    }

    QVector<ThumbnailOrigin> thumbnails(const QString &deviceRoot)
    {
        QHash<QString, QString> storedPaths;
        m_database.forEachRow(QStringLiteral("select _id, file_path from books"),
                              [&](const SqliteRow &row) { storedPaths.insert(row.text(0), row.text(1)); });
        ReaderBookPlaces places(deviceRoot);
        QVector<ThumbnailOrigin> origins;
        origins.reserve(m_books.size());
        for (const BookRow &book : m_books) {
            const auto path = storedPaths.constFind(book.record_id);
            origins.append({book.record_id.toLongLong(),
                            path == storedPaths.cend() || path->isEmpty() ? QString() : places.place(*path).full_path});
        }
        return origins;
    }

private:
    QVector<LoadedMembership> readMemberships()
    {
        QVector<LoadedMembership> memberships;
        if (!m_database.tableExists(QStringLiteral("collection")) ||
            !m_database.tableExists(QStringLiteral("collections")))
            return memberships;
        m_database.forEachRow(QStringLiteral("select _id from collection"),
                              [this](const SqliteRow &row) { m_loadedCollections.insert(row.text(0)); });
        m_database.forEachRow(QStringLiteral("select collection_id, content_id, added_order from collections"),
                              [&memberships](const SqliteRow &row) {
                                  memberships.append({row.text(0), row.text(1), row.value(2)});
                              });
        return memberships;
    }

    bool holds(int collection, const QString &recordId) const
    {
        return m_rowsByRecord.value(recordId).contains(collection);
    }

    // The row of the collection the page shows `book` in; where names repeat, the one holding
    // `loadedCollection`, the collection it was loaded in. -1 for a book in no collection.
    int shownCollection(int book, const QString &loadedCollection) const
    {
        const QString &name = m_books.at(book).collection;
        if (name.isEmpty())
            return -1;
        const QVector<int> named = m_rowsByName.value(name);
        if (named.isEmpty())
            return -1;
        for (const int row : named)
            if (holds(row, loadedCollection))
                return row;
        return named.first();
    }

    const QVector<BookRow> &m_books;
    SqliteConnection m_database;
    QHash<QString, QVector<int>> m_rowsByName;
    QHash<QString, QVector<int>> m_rowsByRecord; // a loaded collection's id -> the rows holding it
    QHash<QString, int> m_bookRows;              // a loaded book's id -> its row
    QSet<QString> m_loadedCollections;
};
} // namespace

WriteBackPlan planWriteBack(const LoadedLibrary &loaded, const QVector<BookRow> &books,
                            const QVector<CollectionRow> &collections, const QString &deviceRoot)
{
    WriteBackPlanner planner(loaded, books, collections);
    return {{loaded.database, planner.memberships()}, planner.thumbnails(deviceRoot)};
}
