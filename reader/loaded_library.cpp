#include "reader/loaded_library.h"

#include "core/decimal_digits.h"
#include "reader/library_rebuild.h"
#include "reader/reader_layout.h"
#include "sqlite/sqlite_connection.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace {
constexpr size_t Seed = 0x5eed0fb00c5ull;

// A cell's hash with its storage class: 1 and '1' are different values.
size_t hashOf(const SqliteRow &row, int column, size_t seed)
{
    const SqliteValue::Type type = row.storedType(column);
    seed ^= size_t(type) * 0x9E3779B97F4A7C15ull;
    switch (type) {
    case SqliteValue::Type::Integer:
        return qHash(row.integer(column), seed);
    case SqliteValue::Type::Float:
        return qHash(row.real(column), seed);
    case SqliteValue::Type::Null:
        return seed;
    case SqliteValue::Type::Text:
    case SqliteValue::Type::Blob:
        break;
    }
    return qHash(row.bytes(column), seed);
}
} // namespace

void LoadedBookPaths::add(const SqliteRow &row, int id, int path)
{
    ++m_count;
    // The path's hash is seeded with its id's, which ties the two together; sums do not depend
    // on the order the records come in, and the second sum is not linear in the first.
    const quint64 pair = hashOf(row, path, hashOf(row, id, Seed));
    m_sum += pair;
    m_mixed += pair * (pair | 1);
}

void LoadedBookPathsReader::add(const SqliteRow &row, int id, int path)
{
    m_paths.add(row, id, path);
    if (row.storedType(id) == SqliteValue::Type::Integer)
        m_integerIds.push_back(row.integer(id));
    else
        m_otherIds << row.text(id);
}

LoadedBookPaths LoadedBookPathsReader::take()
{
    bool repeated = false;
    if (m_otherIds.isEmpty()) {
        // Integers repeat exactly where their texts do.
        std::sort(m_integerIds.begin(), m_integerIds.end());
        repeated = std::adjacent_find(m_integerIds.cbegin(), m_integerIds.cend()) != m_integerIds.cend();
    } else {
        QSet<QString> texts(m_otherIds.cbegin(), m_otherIds.cend());
        for (const qint64 id : m_integerIds)
            texts.insert(QString::number(id));
        repeated = texts.size() != qsizetype(m_integerIds.size()) + m_otherIds.size();
    }
    if (repeated)
        m_paths.markRepeatedIds();
    return std::exchange(m_paths, {});
}

LoadedBookPaths LoadedBookPathsReader::read(SqliteConnection &database)
{
    LoadedBookPathsReader books;
    database.forEachRow(QStringLiteral("select _id, file_path from books"),
                        [&](const SqliteRow &row) { books.add(row, 0, 1); });
    return books.take();
}

bool LoadedLibrary::holdsSameBooks(const LoadedBookPaths &now) const
{
    // Books told apart only by position cannot be matched to the page's rows again.
    return books.uniqueIds() && now.uniqueIds() && books == now;
}

namespace {
// Whether the text a load makes of the cell gives back, in UTF-8, the cell's bytes as stored.
bool textGivesStoredBytes(const SqliteRow &row, int column)
{
    const SqliteValue::Type type = row.storedType(column);
    if (type != SqliteValue::Type::Text && type != SqliteValue::Type::Blob)
        return true;
    const QByteArrayView bytes = row.bytes(column);
    return bytes.isValidUtf8() && !bytes.startsWith("\xEF\xBB\xBF");
}
} // namespace

void LoadedLibrary::noteRecord(const SqliteRow &row, int id, int path, int thumbnail)
{
    if (row.storedType(id) != SqliteValue::Type::Integer)
        m_recordsKnown = false;
    if (!m_recordsKnown)
        return;
    LoadedRecord &record = records.emplace_back();
    record.id = row.integer(id);
    record.pathFromRow = textGivesStoredBytes(row, path);
    if (!record.pathFromRow)
        otherPaths.insert(record.id, row.storedUtf8(path));
    const SqliteValue::Type thumbnailType = row.storedType(thumbnail);
    const bool inBytes = thumbnailType == SqliteValue::Type::Text || thumbnailType == SqliteValue::Type::Blob;
    const QByteArrayView stored = inBytes ? row.bytes(thumbnail) : QByteArrayView();
    if (thumbnailType == SqliteValue::Type::Null || (inBytes && stored.isEmpty())) {
        record.thumbnail = LoadedRecord::Thumbnail::None;
    } else if (thumbnailType == SqliteValue::Type::Text &&
               ReaderLayout::isStoredThumbnailPathOf(stored, DecimalDigits(record.id).view())) {
        record.thumbnail = LoadedRecord::Thumbnail::Standard;
    } else {
        record.thumbnail = LoadedRecord::Thumbnail::Other;
        otherThumbnails.insert(record.id, row.storedUtf8(thumbnail));
    }
}

void LoadedLibrary::noteShownFields(const QVector<BookRow> &rows)
{
    if (!m_recordsKnown || qsizetype(records.size()) != rows.size()) {
        m_recordsKnown = false;
        records = {};
        return;
    }
    for (qsizetype row = 0; row < rows.size(); ++row)
        records[row].shownFields = shownFieldsDigest(rows.at(row));
    // The reader's table returns its books by `_id`, mostly.
    const auto byId = [](const LoadedRecord &a, const LoadedRecord &b) { return a.id < b.id; };
    if (!std::is_sorted(records.cbegin(), records.cend(), byId))
        std::sort(records.begin(), records.end(), byId);
}

std::optional<RecordsAsLoaded> LoadedLibrary::recordsAsLoaded(const QVector<BookRow> &rows) const
{
    if (!m_recordsKnown || !books.uniqueIds())
        return std::nullopt;
    RecordsAsLoaded loaded;
    loaded.books.reserve(qsizetype(records.size()));
    loaded.rowsShowingLoaded.fill(false, rows.size());
    std::vector<bool> shown(records.size(), false);
    const auto byId = [](const LoadedRecord &record, qint64 id) { return record.id < id; };
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const BookRow &book = rows.at(row);
        bool isNumber = false;
        const qint64 id = book.record_id.toLongLong(&isNumber);
        if (!isNumber)
            continue;
        // Rows not sorted since the load are in the records' order.
        auto record = records.cbegin() + std::min(row, qsizetype(records.size()));
        if (record == records.cend() || record->id != id)
            record = std::lower_bound(records.cbegin(), records.cend(), id, byId);
        if (record == records.cend() || record->id != id || shown[record - records.cbegin()])
            continue;
        shown[record - records.cbegin()] = true;
        if (record->pathFromRow && !book.full_path.startsWith(deviceRoot))
            return std::nullopt;
        loaded.rowsShowingLoaded[row] = record->shownFields == shownFieldsDigest(book);
        PreviousBook &stored = loaded.books.emplace_back();
        stored.id = id;
        stored.filePath =
            record->pathFromRow ? QStringView(book.full_path).sliced(deviceRoot.size()).toUtf8() : otherPaths.value(id);
        if (record->thumbnail == LoadedRecord::Thumbnail::Standard)
            stored.thumbnail = ReaderLayout::storedThumbnailUtf8(id);
        else if (record->thumbnail == LoadedRecord::Thumbnail::Other)
            stored.thumbnail = otherThumbnails.value(id);
    }
    for (std::size_t record = 0; record < records.size(); ++record)
        if (!shown[record])
            loaded.books.append({records[record].id, {}, {}});
    return loaded;
}
