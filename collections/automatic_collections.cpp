#include "collections/automatic_collections.h"

#include "booklist/book_passes.h"
#include "collections/case_blind_order.h"
#include "collections/collection_operations.h"
#include "collections/file_list_editing.h"
#include "collections/shown_books.h"
#include "core/dialogs.h"
#include "core/progress.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <vector>

namespace {
QString withNativeSeparators(const QString &path, QChar separator)
{
    QString native = path;
    return native.replace(u'/', separator);
}

// What lies below `folder` in `path`, or nothing when the path is not below it.
QStringView pathBelow(QStringView path, QStringView folder, QChar separator)
{
    if (path.size() > folder.size() && path.startsWith(folder) && path[folder.size()] == separator)
        return path.sliced(folder.size() + 1);
    const QString prefix = folder.toString() + separator;
    const qsizetype at = path.indexOf(prefix);
    return at < 0 ? QStringView() : path.sliced(at + prefix.size());
}

QString noBooksMessage(const LibraryPage &page)
{
    return page.kind == LibraryPage::Kind::Editing ? QStringLiteral("Книги не обнаружены или были удалены из списка!")
                                                   : QStringLiteral("Сначала добавьте книги в программу!");
}

// One derived name: its exact text and how many books carry it.
struct FolderName
{
    QString name;
    int books = 0;
    bool bySeries = false; // some book carries it as its series
};

QString nameOfFolder(QStringView root, QStringView path, QChar separator)
{
    QStringView folder = root;
    while (!folder.isEmpty() && folder.back() == separator)
        folder.chop(1);
    const QStringView folderName = folder.sliced(folder.lastIndexOf(separator) + 1);
    const QStringView below = pathBelow(path, folder, separator);
    const qsizetype fileStart = below.lastIndexOf(separator);

    QString name;
    name.reserve(folderName.size() + std::max<qsizetype>(fileStart, 0) + 1);
    name += folderName;
    if (fileStart > 0) {
        for (const QStringView subFolder : below.first(fileStart).tokenize(separator, Qt::SkipEmptyParts)) {
            if (!name.isEmpty())
                name += u'_';
            name += subFolder;
        }
    }
    name.remove(u':');
    return name;
}

// The collection names of the books' folders, each worked out once: a name depends only on
// the book's root and the folder part of its path, and the books of one folder mostly follow
// one another. It keeps views of the rows' texts, which must not change while it is used.
class FolderNames
{
public:
    explicit FolderNames(PathSeparators separators) : m_separators(separators) {}

    // Valid until the next call.
    const QString &of(const BookRow &book)
    {
        const Key key{book.root, folderPart(book.full_path)};
        if (m_last == m_names.end() || m_last.key() != key) {
            m_last = m_names.find(key);
            if (m_last == m_names.end())
                m_last = m_names.insert(key, folderCollectionName(book.root, book.full_path, m_separators));
        }
        return *m_last;
    }

private:
    using Key = std::pair<QStringView, QStringView>; // root, the path up to its last separator

    QStringView folderPart(QStringView path) const
    {
        qsizetype end = path.size();
        while (end > 0 && path[end - 1] != m_separators.native && !(m_separators.slash && path[end - 1] == u'/'))
            --end;
        return path.first(end);
    }

    PathSeparators m_separators;
    QHash<Key, QString> m_names;
    QHash<Key, QString>::iterator m_last = m_names.end();
};

// What the book's head says for `source`, without the blanks around it; letter case aside,
// the collation merges the names. Empty for the folder build.
QStringView namedInBook(const BookRow &book, CollectionSource source)
{
    if (source == CollectionSource::Folders)
        return {};
    return QStringView(source == CollectionSource::Series ? book.series : book.author).trimmed();
}
} // namespace

QString folderCollectionName(const QString &root, const QString &fullPath, PathSeparators separators)
{
    const QChar separator = separators.native;
    if (separators.slash && separator != u'/')
        return nameOfFolder(withNativeSeparators(root, separator), withNativeSeparators(fullPath, separator),
                            separator);
    return nameOfFolder(root, fullPath, separator);
}

PageUpdate buildFolderCollections(LibraryPage &page, Dialogs &dialogs)
{
    return buildAutomaticCollections(page, dialogs, CollectionSource::Folders);
}

PageUpdate buildAutomaticCollections(LibraryPage &page, Dialogs &dialogs, CollectionSource source)
{
    BookTable &books = page.books;
    if (books.rowCount() == 0) {
        dialogs.message(noBooksMessage(page));
        return {};
    }
    const PathSeparators separators{QDir::separator(), page.kind == LibraryPage::Kind::Editing};

    // One pass derives, counts and gives each book its name, the text shared with the list;
    // each book remembers its name by index in case a name gives way to another form below.
    // The names are looked up by views of the rows' texts and of the folders' names, which live
    // through the pass; the books of a series or a folder mostly follow one another.
    QVector<BookRow> &rows = books.rowsForQuietEdit();
    QVector<FolderName> names;
    QHash<QStringView, int> indexOfName;
    std::vector<int> nameOfBook(size_t(rows.size()));
    QVector<qint64> bytesOfBook(rows.size());
    FolderNames folderNames(separators);
    QStringView lastText;
    int lastName = -1;
    const auto nameIndex = [&](QStringView text, const QString &whole) {
        if (lastName >= 0 && text.size() == lastText.size() && (text.data() == lastText.data() || text == lastText))
            return lastName;
        auto found = indexOfName.constFind(text);
        if (found == indexOfName.cend()) {
            found = indexOfName.insert(text, int(names.size()));
            names.append({text.size() == whole.size() ? whole : text.toString(), 0});
        }
        lastText = text;
        return lastName = *found;
    };
    for (qsizetype row = 0; row < rows.size(); ++row) {
        BookRow &book = rows[row];
        const QStringView inBook = namedInBook(book, source);
        int name;
        if (inBook.isEmpty()) {
            const QString &folderName = folderNames.of(book);
            name = nameIndex(folderName, folderName);
        } else {
            name = nameIndex(inBook, source == CollectionSource::Series ? book.series : book.author);
            names[name].bySeries |= source == CollectionSource::Series;
        }
        FolderName &named = names[name];
        ++named.books;
        nameOfBook[size_t(row)] = name;
        bytesOfBook[row] = book.file_size.bytes();
        book.collection = named.name;
        book.other_collections.clear();
    }

    QVector<QString> namesOfKeys; // a name's key in the brief is its index plus one
    namesOfKeys.reserve(names.size());
    for (const FolderName &name : std::as_const(names))
        namesOfKeys.append(name.name);
    const CaseBlindOrder forms = caseBlindOrder(namesOfKeys);
    std::vector<int> booksOfKept(size_t(names.size()), 0);
    bool formsMerged = false;
    for (qsizetype name = 0; name < names.size(); ++name) {
        booksOfKept[size_t(forms.kept[size_t(name)])] += names[name].books;
        names[forms.kept[size_t(name)]].bySeries |= names[name].bySeries;
        formsMerged |= forms.kept[size_t(name)] != name;
    }
    // Every book carries the form its collection is listed under, and the brief of the rows'
    // collections is handed over as this pass knows it.
    QVector<quint32> keyOfBook(rows.size());
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const int kept = forms.kept[size_t(nameOfBook[size_t(row)])];
        if (formsMerged && kept != nameOfBook[size_t(row)])
            rows[row].collection = names[kept].name;
        keyOfBook[row] = names[kept].name.isEmpty() ? BookCollectionSummary::NoCollection : quint32(kept + 1);
    }
    books.setColumnAlignment(CollectionColumn, Qt::AlignHCenter);
    books.setHeaderAlignment(CollectionColumn, Qt::AlignHCenter);
    books.setHeaderAlignment(FileSizeColumn, Qt::AlignHCenter);
    books.announceAllRowsChanged(
        BookCollectionSummary::ofKnownKeys(std::move(keyOfBook), std::move(bytesOfBook), namesOfKeys));

    QVector<CollectionRow> collections;
    collections.reserve(names.size());
    for (const int name : forms.order) {
        // An empty `collection` means no collection, wherever the collation sorts it.
        if (forms.kept[size_t(name)] != name || names[name].name.isEmpty())
            continue;
        collections.append({.name = names[name].name,
                            .book_count = QString::number(booksOfKept[size_t(name)]),
                            .series_order = names[name].bySeries});
    }
    if (collections.isEmpty()) {
        page.collections.clear();
        page.shownBooks.empty();
        return {.rerunStatistics = true};
    }
    page.collections.replaceRows(std::move(collections));
    applyCollectionListLayout(page);
    PageUpdate update = showCollectionBooks(page, 0);
    update.selectCollectionRow = 0;
    return update;
}

QStringList readSeriesOnReader(LibraryPage &page, Progress &progress, const BookFormats &formats,
                               const QString &readerRootNow)
{
    constexpr int steps = 10;
    ProgressSteps::open(progress, steps, QStringLiteral("Читаю серии книг с устройства..."));
    const QStringList unreadable = runSeriesPass(page.books, progress, formats, [&](const QString &fullPath) {
        return bookFileNow(page, fullPath, readerRootNow);
    });
    ProgressSteps::close(progress, steps);
    return unreadable;
}
