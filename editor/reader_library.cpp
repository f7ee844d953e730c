#include "editor/reader_library.h"

#include "booklist/book_table_layout.h"
#include "collections/collection_operations.h"
#include "collections/library_page.h"
#include "core/progress.h"
#include "editor/reader_database_image.h"
#include "editor/reader_paths.h"
#include "editor/rows_by_id.h"
#include "editor/shared_texts.h"
#include "reader/reader_database.h"
#include "reader/reader_layout.h"
#include "sqlite/sqlite_connection.h"
#include "sqlite/sqlite_error.h"

#include <QFileInfo>

namespace {

// The queries of the reader's library: its collections, its books and the memberships joining them.
const QString CollectionsQuery = QStringLiteral("select _id, title from collection");
enum CollectionField { CollectionId, CollectionTitle };

const QString BooksQuery = QStringLiteral(
    "select title, author, added_date, modified_date, file_path, file_name, file_size, mime_type, _id from books");
enum BookField { Title, Author, AddedDate, ModifiedDate, FilePath, FileName, FileSize, MimeType, BookId };

const QString MembershipsQuery = QStringLiteral("select collection_id, content_id from collections");
enum MembershipField { MembershipCollection, MembershipBook };

const QString LoadingCaption = QStringLiteral("Загружаю библиотеку с устройства...");
constexpr int LoadSteps = 100;

class LibraryLoad
{
public:
    LibraryLoad(const QString &deviceRoot, Progress &progress)
        : m_deviceRoot(deviceRoot), m_places(deviceRoot), m_progress(progress)
    {}

    ReaderLibrary run()
    {
        const QString path = ReaderLayout::databasePath(m_deviceRoot);
        m_showProgress = QFileInfo(path).size() >= LargeReaderDatabaseBytes;
        if (m_showProgress) {
            ProgressSteps::open(m_progress, LoadSteps, LoadingCaption);
            m_progress.processEvents();
        }
        m_library.loaded.database = imageOfReaderDatabase(m_deviceRoot);
        phase(40);
        SqliteConnection database;
        database.openImage(m_library.loaded.database);
        // A database that another program made may lack the collection tables: no collections.
        if (database.tableExists(QStringLiteral("collection")))
            readCollections(database);
        readBooks(database);
        phase(80);
        if (database.tableExists(QStringLiteral("collections")))
            readMemberships(database);
        phase(90);
        for (int row = 0; row < m_library.collections.size(); ++row)
            m_library.collections[row].book_count = QString::number(m_bookCounts.at(row));
        m_library.loaded.deviceRoot = m_deviceRoot;
        if (m_showProgress)
            ProgressSteps::close(m_progress, LoadSteps);
        return std::move(m_library);
    }

private:
    void phase(int position)
    {
        if (!m_showProgress)
            return;
        ProgressSteps::phase(m_progress, position, QString(), Progress::Repaint::Window);
        m_progress.processEvents();
    }

    void readCollections(SqliteConnection &database)
    {
        database.forEachRow(CollectionsQuery, [this](const SqliteRow &row) {
            m_library.collections.append({row.text(CollectionTitle), QString(), row.text(CollectionId)});
        });
        m_bookCounts.fill(0, m_library.collections.size());
    }

    void readBooks(SqliteConnection &database)
    {
        // Counted first, so the rows of a large library are not moved while it grows; without
        // the table the query below reports it.
        if (database.tableExists(QStringLiteral("books")))
            database.forEachRow(QStringLiteral("select count(*) from books"),
                                [this](const SqliteRow &row) { m_library.books.reserve(row.integer(0)); });
        database.forEachRow(BooksQuery, [this](const SqliteRow &row) {
            ReaderBookPlace place = m_places.place(row.text(FilePath));
            BookRow book;
            book.full_path = std::move(place.full_path);
            book.file_size = row.text(FileSize);
            book.author = m_authors.text(row, Author);
            book.title = row.text(Title);
            book.root = std::move(place.root);
            book.file_name = row.text(FileName);
            book.display_name = book.file_name;
            book.added_date = row.text(AddedDate);
            book.modified_date = row.text(ModifiedDate);
            book.mime_type = m_mimeTypes.text(row, MimeType);
            book.relative_path = std::move(place.relative_path);
            book.record_id = row.text(BookId);
            m_library.books.append(std::move(book));
        });
    }

    // Each membership names one collection and one book by id. The book's cell shows the
    // collection of the last membership that names both, its others hold the earlier ones, and
    // every collection named counts the book.
    void readMemberships(SqliteConnection &database)
    {
        const RowsById collectionRows(m_library.collections);
        const RowsById bookRows(m_library.books);
        database.forEachRow(MembershipsQuery, [&](const SqliteRow &row) {
            const int firstBook = bookRows.firstRow(row, MembershipBook);
            if (firstBook < 0)
                return;
            int books = 0;
            for (int book = firstBook; book >= 0; book = bookRows.nextRow(book))
                ++books;
            for (int collection = collectionRows.firstRow(row, MembershipCollection); collection >= 0;
                 collection = collectionRows.nextRow(collection)) {
                m_bookCounts[collection] += books;
                const QString &name = m_library.collections.at(collection).name;
                // A collection without a name has no members on the page.
                if (name.isEmpty())
                    continue;
                for (int book = firstBook; book >= 0; book = bookRows.nextRow(book)) {
                    // The collection the book was shown in so far becomes one of its others.
                    BookRow &member = m_library.books[book];
                    if (!member.collection.isEmpty())
                        member.other_collections.append(member.collection);
                    member.collection = name;
                }
            }
        });
    }

    QString m_deviceRoot;
    ReaderBookPlaces m_places;
    SharedTexts m_authors;
    SharedTexts m_mimeTypes;
    Progress &m_progress;
    bool m_showProgress = false;
    ReaderLibrary m_library;
    QVector<qint64> m_bookCounts; // per collection row
};

} // namespace

ReaderLibrary readReaderLibrary(const QString &deviceRoot, Progress &progress)
{
    try {
        return LibraryLoad(deviceRoot, progress).run();
    } catch (const SqliteError &error) {
        throw TessalyError(
            readerDatabaseMessage(error.code(), ReaderLayout::databasePath(deviceRoot), error.message()));
    }
}

void installReaderLibrary(LibraryPage &page, ReaderLibrary library)
{
    page.books.appendRows(std::move(library.books));
    setBookTableWidths(page.books);
    page.books.setHeaderTexts(bookTableHeaderTexts());
    page.books.setHeaderAlignment(CollectionColumn, Qt::AlignHCenter);
    page.books.setHeaderAlignment(FileSizeColumn, Qt::AlignHCenter);

    page.collections.appendRows(std::move(library.collections));
    applyCollectionListLayout(page);
    // Loaded cells keep the default alignment; a collection added later centres its columns.
    page.collections.setColumnAlignment(CollectionNumberColumn, Qt::AlignLeft);
    page.collections.setColumnAlignment(CollectionBookCountColumn, Qt::AlignLeft);

    page.reader = std::move(library.loaded);
    page.rememberLoadedRows();
}
