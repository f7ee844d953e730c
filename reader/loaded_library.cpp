#include "reader/loaded_library.h"

#include <QHash>

namespace {
// `_id` text -> stored `file_path` of every book; `unique` turns false where an id repeats.
QHash<QString, SqliteValue> bookPaths(SqliteConnection &database, bool &unique)
{
    QHash<QString, SqliteValue> paths;
    unique = true;
    database.forEachRow(QStringLiteral("select _id, file_path from books"), [&](const SqliteRow &row) {
        const QString id = row.text(0);
        unique = unique && !paths.contains(id);
        paths.insert(id, row.value(1));
    });
    return paths;
}
} // namespace

bool LoadedLibrary::holdsSameBooks(SqliteConnection &reader) const
{
    SqliteConnection loaded;
    open(loaded);
    bool loadedUnique = false;
    bool readerUnique = false;
    const QHash<QString, SqliteValue> before = bookPaths(loaded, loadedUnique);
    const QHash<QString, SqliteValue> now = bookPaths(reader, readerUnique);
    // Books told apart only by position cannot be matched to the page's rows again.
    return loadedUnique && readerUnique && before == now;
}
