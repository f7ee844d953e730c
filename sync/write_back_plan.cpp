#include "sync/write_back_plan.h"

#include "editor/reader_paths.h"
#include "reader/loaded_library.h"

#include <QHash>

namespace {
class WriteBackPlanner
{
public:
    WriteBackPlanner(const LoadedLibrary &loaded, const QVector<BookRow> &books,
                     const QVector<CollectionRow> &collections)
        : m_loaded(loaded), m_books(books)
    {
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

    // Exactly the memberships the page holds: each book's cell and its others. One that was
    // loaded keeps its place and order, in the row now holding its collection (renamed or
    // merged into another); one made on the page follows them, in the first row of its name.
    QVector<Membership> memberships()
    {
        const QVector<LoadedMembership> &loaded = m_loaded.memberships;
        // Whether each membership of each book is written yet, the book's from firstSlot[book].
        QVector<int> firstSlot(m_books.size() + 1, 0);
        for (int book = 0; book < m_books.size(); ++book)
            firstSlot[book + 1] = firstSlot[book] + membershipCount(book);
        QVector<bool> written(firstSlot.last(), false);

        QVector<Membership> memberships;
        memberships.reserve(loaded.size() + m_books.size());
        for (const LoadedMembership &membership : loaded) {
            const int book = m_bookRows.value(membership.book, -1);
            if (book < 0)
                continue;
            for (int i = 0; i < membershipCount(book); ++i) {
                const int collection = holdingRow(membershipName(book, i), membership.collection);
                if (collection < 0 || written[firstSlot[book] + i])
                    continue;
                memberships.append({collection, book, membership.addedOrder});
                written[firstSlot[book] + i] = true;
                break;
            }
        }
        for (int book = 0; book < m_books.size(); ++book) {
            for (int i = 0; i < membershipCount(book); ++i) {
                const auto named = m_rowsByName.constFind(membershipName(book, i));
                if (!written[firstSlot[book] + i] && named != m_rowsByName.cend())
                    memberships.append({named->first(), book, {}});
            }
        }
        return memberships;
    }

    // `sync` has the reader open, holding the books as loaded. A book's file is looked for only
    // where its thumbnail is to be made.
    QVector<ThumbnailOrigin> thumbnails(const QString &deviceRoot, const ReaderSync &sync)
    {
        QHash<qint64, const PreviousBook *> previous;
        previous.reserve(sync.previousBooks().size());
        for (const PreviousBook &book : sync.previousBooks())
            previous.insert(book.id, &book);
        ReaderBookPlaces places(deviceRoot);
        QVector<ThumbnailOrigin> origins;
        origins.reserve(m_books.size());
        for (const BookRow &book : m_books) {
            const qint64 id = book.record_id.toLongLong();
            const PreviousBook *stored = previous.value(id);
            const bool madeFromFile =
                stored && !stored->filePath.isEmpty() && !sync.keepsThumbnail(id, stored->thumbnail);
            origins.append(
                {id, madeFromFile ? places.place(QString::fromUtf8(stored->filePath)).full_path : QString()});
        }
        return origins;
    }

private:
    // The collections `book` is in: its cell's (0), then its others; none for an empty cell.
    int membershipCount(int book) const
    {
        const BookRow &row = m_books.at(book);
        return row.collection.isEmpty() ? 0 : 1 + int(row.other_collections.size());
    }
    const QString &membershipName(int book, int i) const
    {
        const BookRow &row = m_books.at(book);
        return i == 0 ? row.collection : row.other_collections.at(i - 1);
    }

    // The row named `name` that holds the loaded collection `recordId`, or -1.
    int holdingRow(const QString &name, const QString &recordId) const
    {
        const auto named = m_rowsByName.constFind(name);
        const auto holding = m_rowsByRecord.constFind(recordId);
        if (named == m_rowsByName.cend() || holding == m_rowsByRecord.cend())
            return -1;
        for (const int row : *named)
            if (holding->contains(row))
                return row;
        return -1;
    }

    const LoadedLibrary &m_loaded;
    const QVector<BookRow> &m_books;
    QHash<QString, QVector<int>> m_rowsByName;
    QHash<QString, QVector<int>> m_rowsByRecord; // a loaded collection's id -> the rows holding it
    QHash<QString, int> m_bookRows;              // a loaded book's id -> its row
};
} // namespace

WriteBackPlan planWriteBack(const LoadedLibrary &loaded, const QVector<BookRow> &books,
                            const QVector<CollectionRow> &collections, const QString &deviceRoot,
                            const ReaderSync &sync)
{
    WriteBackPlanner planner(loaded, books, collections);
    return {{planner.memberships()}, planner.thumbnails(deviceRoot, sync)};
}
