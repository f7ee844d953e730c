#include "core/tessaly_error.h"
#include "device/sqlite_connection.h"
#include "fuzz/fuzz_targets.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
// What the editing page reads of a reader's books.db: the collections, the books and the
// memberships, every field as text.
void readReaderDatabase(const QString &databasePath)
{
    SqliteConnection connection;
    connection.open(databasePath);
    for (const QString &sql : {QStringLiteral("select _id, title from collection"),
                               QStringLiteral("select title, author, added_date, modified_date, file_path, "
                                              "file_name, file_size, mime_type, _id from books"),
                               QStringLiteral("select collection_id, content_id from collections")}) {
        for (QueryResult result = connection.query(sql); !result.eof(); result.next()) {
            for (int column = 0; column < result.columnCount(); ++column)
                result.fieldAsText(column);
        }
    }
}

void removeDatabase(const QString &path)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1StringView(suffix));
}
} // namespace

// A reader's books.db may come from any program; the editing page opens and reads it.
void fuzzReaderDatabase(QByteArrayView input)
{
    static const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("books.db"));
    removeDatabase(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(input.data(), input.size()) != input.size())
        return;
    file.close();
    try {
        readReaderDatabase(path);
    } catch (const TessalyError &) {
        // A damaged or foreign database is refused with a message; that is the expected answer.
    }
}
