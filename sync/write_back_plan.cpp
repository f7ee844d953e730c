#include "sync/write_back_plan.h"

#include "editor/reader_paths.h"
#include "editor/rows_by_id.h"
#include "reader/loaded_library.h"

#include <QHash>

#include <vector>

namespace {
// Looks texts up in `index` once for each text in memory: the loaded rows share one text for each
// collection's name and id, so most lookups cost a pointer's hash rather than the text's.
template <typename Value> class SharedTextLookup
{
public:
    explicit SharedTextLookup(const QHash<QString, Value> &index) : m_index(index) {}

    const Value *find(const QString &text)
    {
        const std::pair<const void *, qsizetype> key(text.constData(), text.size());
        auto seen = m_seen.constFind(key);
        if (seen == m_seen.cend()) {
            const auto found = m_index.constFind(text);
            seen = m_seen.insert(key, found == m_index.cend() ? nullptr : &*found);
        }
        return *seen;
    }

private:
    const QHash<QString, Value> &m_index;
    QHash<std::pair<const void *, qsizetype>, const Value *> m_seen;
};

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
        // first, then its others, the book's from m_firstSlot[book].
        m_firstSlot.reserve(books.size() + 1);
        m_firstSlot.push_back(0);
        SharedTextLookup names(nameIndex);
        const auto indexOf = [&names](const QString &name) {
            const int *index = names.find(name);
            return index ? *index : -1;
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
        SharedTextLookup rowsByRecord(m_rowsByRecord);
        for (const LoadedMembership &membership : loaded) {
            const int book = membership.book.isEmpty() ? -1 : m_bookRows.firstRow(membership.book);
            if (book < 0)
                continue;
            const QVector<int> *holding = rowsByRecord.find(membership.collection);
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
        const QVector<PreviousBook> &records = sync.previousBooks();
        // Rows as loaded come in the records' order; the index is made once they do not.
        QHash<qint64, const PreviousBook *> previous;
        const auto recordOf = [&](qsizetype row, qint64 id) {
            if (row < records.size() && records.at(row).id == id)
                return &records.at(row);
            if (previous.isEmpty()) {
                previous.reserve(records.size());
                for (const PreviousBook &book : records)
                    previous.insert(book.id, &book);
            }
            return previous.value(id);
        };
        ReaderBookPlaces places(deviceRoot);
        QVector<ThumbnailOrigin> origins;
        origins.reserve(m_books.size());
        for (qsizetype row = 0; row < m_books.size(); ++row) {
            const BookRow &book = m_books.at(row);
            const qint64 id = book.record_id.toLongLong();
            const PreviousBook *stored = recordOf(row, id);
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
