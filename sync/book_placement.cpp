#include "sync/book_placement.h"

#include "core/zipped_fb2.h"
#include "reader/reader_layout.h"

#include <QDir>
#include <QFileInfo>

namespace {
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity PathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity PathCase = Qt::CaseSensitive;
#endif

// The reader's FAT volume does not tell names apart by case.
QString placeKey(const BookRow &book)
{
    return QDir::fromNativeSeparators(book.relative_path).toCaseFolded();
}

// `path` with links resolved and a trailing '/', or empty when it does not exist.
QString canonicalFolder(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return {};
    return canonical.endsWith(QLatin1Char('/')) ? canonical : canonical + QLatin1Char('/');
}

// The folders whose contents a synchronisation deletes.
class ReaderFolders
{
public:
    explicit ReaderFolders(const QString &deviceRoot)
    {
        for (const QString &folder :
             {ReaderLayout::booksFolderPath(deviceRoot), ReaderLayout::thumbnailsFolderPath(deviceRoot)}) {
            const QString canonical = canonicalFolder(folder);
            if (!canonical.isEmpty())
                m_folders << canonical;
            if (const std::optional<FileFacts> facts = fileFacts(folder))
                m_devices.insert(facts->identity.device);
        }
    }
    // Whether the file of `path` lies in one of them. A file on another volume is not resolved:
    // the books of a computer's disk are not looked at twice.
    bool holds(const QString &path, const FileFacts &facts) const
    {
        if (facts.identity.device != 0 && !m_devices.contains(facts.identity.device))
            return false;
        const QString canonicalPath = QFileInfo(path).canonicalFilePath();
        for (const QString &folder : m_folders)
            if (canonicalPath.startsWith(folder, PathCase))
                return true;
        return false;
    }

private:
    QStringList m_folders;
    QSet<quint64> m_devices;
};

bool sameBook(const FileFacts &source, const FileFacts &copy)
{
    return source.isRegularFile && copy.isRegularFile &&
           (source.identity == copy.identity ||
            (source.size == copy.size && sameModificationTime(source.modifiedMs, copy.modifiedMs)));
}

class Planner
{
public:
    Planner(const QString &deviceRoot, const QVector<PreviousBook> &previous)
        : m_deviceRoot(deviceRoot), m_canonicalRoot(canonicalFolder(deviceRoot))
    {
        for (const PreviousBook &book : previous) {
            const std::optional<FileFacts> facts =
                fileFacts(ReaderLayout::onDevice(m_deviceRoot, QString::fromUtf8(book.filePath)));
            if (facts)
                m_previousByFile.insert(facts->identity, book);
        }
    }

    PlacementPlan plan(const QVector<BookRow> &books)
    {
        // Of books bound for one place on the reader only one is written there: the one already
        // there, which may be the only copy of it, or else the last.
        QHash<QString, int> lastForPlace;
        QHash<QString, int> alreadyThere;
        lastForPlace.reserve(books.size());
        for (int i = 0; i < books.size(); ++i) {
            const QString key = placeKey(books.at(i));
            lastForPlace.insert(key, i);
            const std::optional<FileFacts> source = fileFacts(books.at(i).full_path);
            const std::optional<FileFacts> there =
                source ? fileFacts(ReaderLayout::booksFolderPath(m_deviceRoot) + books.at(i).relative_path)
                       : std::nullopt;
            if (there && source->identity == there->identity)
                alreadyThere.insert(key, i);
        }
        for (auto book = alreadyThere.cbegin(); book != alreadyThere.cend(); ++book)
            lastForPlace.insert(book.key(), book.value());

        const ReaderFolders readerFolders(m_deviceRoot);
        QSet<qint64> recordsKept;
        m_plan.books.resize(books.size());
        for (int i = 0; i < books.size(); ++i) {
            BookPlacement &placement = m_plan.books[i];
            placement.destination = ReaderLayout::booksFolderPath(m_deviceRoot) + books.at(i).relative_path;
            placement.source = books.at(i).full_path;
            if (lastForPlace.value(placeKey(books.at(i))) != i) {
                placement.how = Placement::Displaced;
                continue;
            }
            std::optional<FileFacts> source = fileFacts(placement.source);
            // A zipped book is judged by the book it unpacks to, which carries the archive's time.
            if (source && isZippedBookName(placement.source))
                source->size = zippedFb2Size(placement.source).value_or(-1);
            if (source)
                placement.bytes = std::max<qint64>(0, source->size);
            const std::optional<FileFacts> copy = fileFacts(placement.destination);
            if (source && copy && sameBook(*source, *copy)) {
                placement.how = Placement::Keep;
                placement.keptRecord = previousOf(copy->identity, recordsKept).id;
                recordsKept.insert(placement.keptRecord);
                m_plan.bytesKept += placement.bytes;
                continue;
            }
            // An archive in the reader's folders is unpacked from where it is, and stays there.
            if (!source || !source->isRegularFile || !readerFolders.holds(placement.source, *source) ||
                isZippedBookName(placement.source))
                continue;
            placement.fromReader = true;
            placement.source = QFileInfo(placement.source).canonicalFilePath();
            placement.previous = previousOf(source->identity, {});
            // The notes of the book follow it to its new place.
            const QByteArray destination = ReaderLayout::storedPathOf(m_deviceRoot, placement.destination).toUtf8();
            m_plan.movedPaths.insert(storedPathOfCanonical(placement.source), destination);
            for (auto record = m_previousByFile.constFind(source->identity);
                 record != m_previousByFile.cend() && record.key() == source->identity; ++record)
                m_plan.movedPaths.insert(record->filePath, destination);
        }
        return std::move(m_plan);
    }

private:
    // A file of the reader, named by its resolved path, as the database stores it.
    QByteArray storedPathOfCanonical(const QString &canonicalPath) const
    {
        return QDir::fromNativeSeparators(canonicalPath.mid(m_canonicalRoot.size())).toUtf8();
    }

    // The record of the previous library with the lowest id that names `file` and is not in
    // `taken`; one with id 0: none.
    PreviousBook previousOf(const FileIdentity &file, const QSet<qint64> &taken) const
    {
        PreviousBook found{};
        for (auto record = m_previousByFile.constFind(file); record != m_previousByFile.cend() && record.key() == file;
             ++record)
            if (!taken.contains(record->id) && (found.id == 0 || record->id < found.id))
                found = *record;
        return found;
    }

    QString m_deviceRoot;
    QString m_canonicalRoot; // ends in '/'
    QMultiHash<FileIdentity, PreviousBook> m_previousByFile;
    PlacementPlan m_plan;
};
} // namespace

PlacementPlan planPlacements(const QString &deviceRoot, const QVector<BookRow> &books,
                             const QVector<PreviousBook> &previous)
{
    return Planner(deviceRoot, previous).plan(books);
}
