#include "sync/write_back_plan.h"

#include "editor/reader_paths.h"
#include "editor/rows_by_id.h"
#include "reader/loaded_library.h"

#include <QHash>

#include <vector>

namespace {
class WriteBackPlanner
{
public:
    WriteBackPlanner(const LoadedLibrary &loaded, const QVector<BookRow> &books,
                     const QVector<CollectionRow> &collections)
        : m_loaded(loaded), m_books(books), m_bookRows(books)
    {
        QHash<QString, int> nameIndex;
        for (int row = 0; row < collections.size(); ++row) {
            const CollectionRow &collection = collections.at(row);
            auto named = nameIndex.constFind(collection.name);
            if (named == nameIndex.cend()) {
                named = nameIndex.insert(collection.name, int(m_rowsOfName.size()));
                m_rowsOfName.emplace_back();
            }
            m_rowsOfName[*named].append(row);
            if (!collection.record_id.isEmpty())
                m_rowsByRecord[collection.record_id].append(row);
            for (const QString &merged : collection.merged_record_ids)
                m_rowsByRecord[merged].append(row);
        }
        // Each book's memberships as the names' indexes, -1 for a name no row has: its cell's
        // first, then its others, the book's from m_firstSlot[book]. The books of a collection
        // mostly follow one another.
        m_firstSlot.reserve(books.size() + 1);
        m_firstSlot.push_back(0);
        const QString *lastName = nullptr;
        int lastIndex = -1;
        const auto indexOf = [&](const QString &name) {
            if (!lastName || *lastName != name) {
                lastName = &name;
                lastIndex = nameIndex.value(name, -1);
            }
            return lastIndex;
        };
        for (int row = 0; row < books.size(); ++row) {
            const BookRow &book = books.at(row);
            if (!book.collection.isEmpty()) {
                m_slotNames.push_back(indexOf(book.collection));
                for (const QString &other : book.other_collections)
                    m_slotNames.push_back(indexOf(other));
            }
            m_firstSlot.push_back(int(m_slotNames.size()));
        }
    }

    // Exactly the memberships the page holds: each book's cell and its others. One that was
    // loaded keeps its place and order, in the row now holding its collection (renamed or
    // merged into another); one made on the page follows them, in the first row of its name.
    QVector<Membership> memberships()
    {
        const QVector<LoadedMembership> &loaded = m_loaded.memberships;
        std::vector<bool> written(m_slotNames.size(), false);
        QVector<Membership> memberships;
        memberships.reserve(loaded.size() + m_books.size());
        // The memberships of one collection mostly follow one another.
        const QString *lastRecord = nullptr;
        const QVector<int> *holding = nullptr;
        for (const LoadedMembership &membership : loaded) {
            const int book = membership.book.isEmpty() ? -1 : m_bookRows.firstRow(membership.book);
            if (book < 0)
                continue;
            if (!lastRecord || *lastRecord != membership.collection) {
                lastRecord = &membership.collection;
                const auto rows = m_rowsByRecord.constFind(membership.collection);
                holding = rows == m_rowsByRecord.cend() ? nullptr : &*rows;
            }
            if (!holding)
                continue;
            for (int slot = m_firstSlot[book]; slot < m_firstSlot[book + 1]; ++slot) {
                const int collection = holdingRow(m_slotNames[slot], *holding);
                if (collection < 0 || written[slot])
                    continue;
                memberships.append({collection, book, membership.addedOrder});
                written[slot] = true;
                break;
            }
        }
        for (int book = 0; book < m_books.size(); ++book)
            for (int slot = m_firstSlot[book]; slot < m_firstSlot[book + 1]; ++slot)
                if (!written[slot] && m_slotNames[slot] >= 0)
                    memberships.append({m_rowsOfName[m_slotNames[slot]].first(), book, {}});
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
                stored && !stored->filePath.isEmpty() && !sync.keepsThumbnail(id, book.record_id, stored->thumbnail);
            origins.append({stored ? stored->thumbnail : QByteArray(),
                            madeFromFile ? places.place(QString::fromUtf8(stored->filePath)).full_path : QString()});
        }
        return origins;
    }

private:
    // The row of the name with index `name` that is among `holding`, or -1.
    int holdingRow(int name, const QVector<int> &holding) const
    {
        if (name < 0)
            return -1;
        for (const int row : m_rowsOfName[name])
            if (holding.contains(row))
                return row;
        return -1;
    }

    const LoadedLibrary &m_loaded;
    const QVector<BookRow> &m_books;
    std::vector<QVector<int>> m_rowsOfName;      // by a name's index: the rows of that name
    QHash<QString, QVector<int>> m_rowsByRecord; // a loaded collection's id -> the rows holding it
    RowsById m_bookRows;
    std::vector<int> m_firstSlot; // per book row, then one past the last
    std::vector<int> m_slotNames;
};
} // namespace

WriteBackPlan planWriteBack(const LoadedLibrary &loaded, const QVector<BookRow> &books,
                            const QVector<CollectionRow> &collections, const QString &deviceRoot,
                            const ReaderSync &sync)
{
    WriteBackPlanner planner(loaded, books, collections);
    return {{planner.memberships()}, planner.thumbnails(deviceRoot, sync)};
}
