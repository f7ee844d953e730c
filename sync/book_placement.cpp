#include "sync/book_placement.h"

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
        // Of books bound for one place on the reader only the last would stay there.
        QHash<QString, int> lastForPlace;
        lastForPlace.reserve(books.size());
        for (int i = 0; i < books.size(); ++i)
            lastForPlace.insert(placeKey(books.at(i)), i);

        QVector<std::optional<FileFacts>> sources(books.size());
        m_plan.books.resize(books.size());
        // Kept copies first: a book of the reader's folders that is also kept where it is may be
        // copied from there, but must not be moved away.
        for (int i = 0; i < books.size(); ++i) {
            BookPlacement &placement = m_plan.books[i];
            placement.destination = ReaderLayout::booksFolderPath(m_deviceRoot) + books.at(i).relative_path;
            placement.source = books.at(i).full_path;
            if (lastForPlace.value(placeKey(books.at(i))) != i) {
                placement.how = Placement::Displaced;
                continue;
            }
            sources[i] = fileFacts(placement.source);
            if (sources[i])
                placement.bytes = sources[i]->size;
            const std::optional<FileFacts> copy = fileFacts(placement.destination);
            if (sources[i] && copy && sameBook(*sources[i], *copy)) {
                placement.how = Placement::Keep;
                m_plan.filesStaying.insert(copy->identity);
                m_plan.bytesOnReader += placement.bytes;
                takeOverRecord(placement, copy->identity);
            }
        }
        const ReaderFolders readerFolders(m_deviceRoot);
        QHash<FileIdentity, QString> movedTo;
        for (int i = 0; i < books.size(); ++i) {
            BookPlacement &placement = m_plan.books[i];
            if (placement.how != Placement::Copy || !onReaderAndGoing(readerFolders, placement, sources[i]))
                continue;
            const FileIdentity &identity = sources[i]->identity;
            if (const auto moved = movedTo.constFind(identity); moved != movedTo.cend()) {
                // The same file chosen twice: the second book is copied from where the first went.
                placement.source = *moved;
                continue;
            }
            placement.how = Placement::Move;
            placement.setAside = true;
            placement.source = QFileInfo(placement.source).canonicalFilePath();
            movedTo.insert(identity, placement.destination);
            m_plan.filesMoving.insert(identity);
            m_plan.bytesOnReader += placement.bytes;
            // The notes of the book follow it, whether a record lists it now or an interrupted
            // run had withdrawn it.
            const QByteArray destination = ReaderLayout::storedPathOf(m_deviceRoot, placement.destination).toUtf8();
            m_plan.movedPaths.insert(storedPathOfCanonical(placement.source), destination);
            for (auto record = m_previousByFile.constFind(identity);
                 record != m_previousByFile.cend() && record.key() == identity; ++record)
                m_plan.movedPaths.insert(record->filePath, destination);
            takeOverRecord(placement, identity);
        }
        for (BookPlacement &placement : m_plan.books) {
            if (placement.how != Placement::Displaced)
                continue;
            const std::optional<FileFacts> source = fileFacts(placement.source);
            if (!onReaderAndGoing(readerFolders, placement, source) || m_plan.filesMoving.contains(source->identity))
                continue;
            placement.setAside = true;
            placement.source = QFileInfo(placement.source).canonicalFilePath();
            m_plan.filesMoving.insert(source->identity);
        }
        for (const FileIdentity &file : std::as_const(m_plan.filesStaying)) {
            for (auto record = m_previousByFile.constFind(file);
                 record != m_previousByFile.cend() && record.key() == file; ++record)
                m_plan.recordsStaying.insert(record->id);
        }
        return std::move(m_plan);
    }

private:
    // A file of the reader, named by its resolved path, as the database stores it.
    QByteArray storedPathOfCanonical(const QString &canonicalPath) const
    {
        return QDir::fromNativeSeparators(canonicalPath.mid(m_canonicalRoot.size())).toUtf8();
    }

    // Whether the book is a file of the reader's own folders that the clearing would delete.
    bool onReaderAndGoing(const ReaderFolders &readerFolders, const BookPlacement &placement,
                          const std::optional<FileFacts> &source) const
    {
        return source && source->isRegularFile && !m_plan.filesStaying.contains(source->identity) &&
               readerFolders.holds(placement.source, *source);
    }

    // The book takes over the thumbnail of a previous record of its file, once.
    void takeOverRecord(BookPlacement &placement, const FileIdentity &file)
    {
        for (auto record = m_previousByFile.constFind(file); record != m_previousByFile.cend() && record.key() == file;
             ++record) {
            const QString id = QString::number(record->id);
            if (record->thumbnail != ReaderLayout::storedThumbnailPath(id).toUtf8() ||
                m_plan.thumbnailsTakenOver.contains(record->id))
                continue;
            placement.previousRecord = record->id;
            m_plan.thumbnailsTakenOver.insert(record->id);
            return;
        }
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
