#include "bench/null_progress.h"
#include "collections/library_page.h"
#include "core/tessaly_error.h"
#include "editor/reader_library.h"
#include "fuzz/fuzz_targets.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
// A reader's drive in a temporary folder, its books.db written from each input.
class ScratchReader
{
public:
    ScratchReader() { QDir(m_root.path()).mkpath(QStringLiteral("Sony_Reader/database")); }

    QString root() const { return m_root.path() + u'/'; }

    bool holdDatabase(QByteArrayView bytes) const
    {
        const QString path = m_root.filePath(QStringLiteral("Sony_Reader/database/books.db"));
        for (const char *suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(path + QLatin1StringView(suffix));
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size();
    }

private:
    QTemporaryDir m_root;
};
} // namespace

// A reader's books.db may come from any program; the editing page loads it and shows it.
void fuzzReaderDatabase(QByteArrayView input)
{
    static const ScratchReader reader;
    if (!reader.holdDatabase(input))
        return;
    NullProgress progress;
    LibraryPage page(LibraryPage::Kind::Editing);
    try {
        installReaderLibrary(page, readReaderLibrary(reader.root(), progress));
    } catch (const TessalyError &) {
        // A damaged or foreign database is refused with a message; that is the expected answer.
    }
}
