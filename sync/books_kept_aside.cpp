#include "sync/books_kept_aside.h"

#include "core/file_operations.h"
#include "reader/reader_layout.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QLatin1String FolderPrefix("tessaly-kept-");
const QLatin1String PlacesFile("places.txt");

// Paths in the list are relative to the reader's root: the reader may come back under another root.
QString relativeTo(const QString &root, const QString &path)
{
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QString canonicalPath = QFileInfo(path).canonicalFilePath();
    if (!canonicalRoot.isEmpty() && canonicalPath.startsWith(canonicalRoot + QLatin1Char('/')))
        return canonicalPath.mid(canonicalRoot.size() + 1);
    return ReaderLayout::storedPathOf(root, path);
}

QString readerFolder(const QString &deviceRoot)
{
    return ReaderLayout::onDevice(deviceRoot, ReaderLayout::ReaderFolder);
}

// Moves `from` back to `to` unless something else stands there now.
bool moveBack(FileOperations &files, const QString &from, const QString &to)
{
    return !QFileInfo::exists(to) && files.move(from, to);
}

bool isEmptyBut(const QString &folder, const QString &only)
{
    const QStringList left =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return left.isEmpty() || left == QStringList{only};
}

void removeKeptFolder(FileOperations &files, const QString &folder)
{
    files.removeFile(QDir(folder).filePath(PlacesFile));
    files.removeFolder(folder);
}
} // namespace

BooksKeptAside::BooksKeptAside(const QString &deviceRoot, FileOperations &files)
    : m_deviceRoot(deviceRoot), m_files(files)
{}

BooksKeptAside::~BooksKeptAside()
{
    if (!m_ended)
        returnAll();
}

QStringList BooksKeptAside::moveAside(const QVector<Move> &moves)
{
    QStringList notMoved;
    if (moves.isEmpty())
        return notMoved;
    QString folder;
    do
        folder = readerFolder(m_deviceRoot) + FolderPrefix + QString::number(QDateTime::currentMSecsSinceEpoch(), 36);
    while (QFileInfo::exists(folder));

    // The list is written first, so that whatever happens next the books can be found.
    QByteArray places;
    QVector<Entry> entries;
    for (int i = 0; i < moves.size(); ++i) {
        const Move &move = moves.at(i);
        // Numbered, so books of the same name cannot meet; the extension stays, as it tells the
        // book's kind to the thumbnail.
        const QString suffix = QFileInfo(move.file).suffix();
        const QString name = QString::number(i) + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
        entries.append({QDir(folder).filePath(name), move.file, move.destination});
        const QString destination =
            move.destination.isEmpty() ? QString() : ReaderLayout::storedPathOf(m_deviceRoot, move.destination);
        places +=
            name.toUtf8() + '\t' + relativeTo(m_deviceRoot, move.file).toUtf8() + '\t' + destination.toUtf8() + '\n';
    }
    if (!m_files.makeFolder(folder) || !m_files.writeFile(QDir(folder).filePath(PlacesFile), places)) {
        m_files.removeFolder(folder);
        for (const Move &move : moves)
            notMoved << move.file;
        return notMoved;
    }
    m_folder = folder;
    for (const Entry &entry : std::as_const(entries)) {
        if (m_files.move(entry.original, entry.aside))
            m_entries.insert(entry.original, entry);
        else
            notMoved << entry.original;
    }
    return notMoved;
}

bool BooksKeptAside::place(const QString &file)
{
    const auto entry = m_entries.find(file);
    if (entry == m_entries.end() || !m_files.move(entry->aside, entry->destination))
        return false;
    entry->placed = true;
    return true;
}

bool BooksKeptAside::finish()
{
    return end(false);
}

bool BooksKeptAside::returnAll()
{
    return end(true);
}

bool BooksKeptAside::end(bool returnPlaced)
{
    m_ended = true;
    if (m_folder.isEmpty())
        return true;
    for (auto entry = m_entries.begin(); entry != m_entries.end();) {
        bool done = entry->placed && !returnPlaced;
        if (!entry->placed)
            done = moveBack(m_files, entry->aside, entry->original);
        else if (returnPlaced)
            done = !QFileInfo::exists(entry->destination) || moveBack(m_files, entry->destination, entry->original);
        entry = done ? m_entries.erase(entry) : std::next(entry);
    }
    // The list stays as long as it names a book that is not where it belongs.
    if (!m_entries.isEmpty() || !isEmptyBut(m_folder, PlacesFile))
        return false;
    removeKeptFolder(m_files, m_folder);
    m_folder.clear();
    return true;
}

QStringList BooksKeptAside::recover(const QString &deviceRoot, FileOperations &files,
                                    const std::function<bool(const QByteArray &storedPath)> &isListed)
{
    QStringList staying;
    const QDir reader(readerFolder(deviceRoot));
    const QStringList folders = reader.entryList({FolderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden);
    for (const QString &name : folders) {
        const QString folder = reader.filePath(name);
        QFile list(QDir(folder).filePath(PlacesFile));
        if (list.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : list.readAll().split('\n')) {
                const QList<QByteArray> fields = line.split('\t');
                if (fields.size() != 3)
                    continue;
                if (fields.at(0).isEmpty() || fields.at(1).isEmpty())
                    continue;
                const QString aside = QDir(folder).filePath(QString::fromUtf8(fields.at(0)));
                const QString original = ReaderLayout::onDevice(deviceRoot, QString::fromUtf8(fields.at(1)));
                const QString destination = ReaderLayout::onDevice(deviceRoot, QString::fromUtf8(fields.at(2)));
                if (QFileInfo::exists(aside))
                    moveBack(files, aside, original);
                else if (!fields.at(2).isEmpty() && QFileInfo(destination).isFile() && !isListed(fields.at(2)))
                    moveBack(files, destination, original);
            }
            list.close();
        }
        if (isEmptyBut(folder, PlacesFile))
            removeKeptFolder(files, folder);
        else
            staying << folder;
    }
    return staying;
}
