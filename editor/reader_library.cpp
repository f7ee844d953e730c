#include "editor/reader_library.h"

#include "booklist/book_table_layout.h"
#include "collections/collection_operations.h"
#include "collections/library_page.h"
#include "core/progress.h"
#include "core/text_block.h"
#include "editor/reader_paths.h"
#include "editor/rows_by_id.h"
#include "editor/settled_reader_database.h"
#include "editor/shared_texts.h"
#include "reader/database_check.h"
#include "reader/reader_database.h"
#include "reader/reader_layout.h"
#include "sqlite/sqlite_connection.h"
#include "sqlite/sqlite_error.h"
#include "sqlite/table_columns.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace {

// The queries of the reader's library: its collections, its books and the memberships joining them.
const QString CollectionsQuery = QStringLiteral("select _id, title from collection");
enum CollectionField { CollectionId, CollectionTitle };

const QString BooksQuery = QStringLiteral(
    "select title, author, added_date, modified_date, file_path, file_name, file_size, mime_type, _id, %1 from books");
enum BookField { Title, Author, AddedDate, ModifiedDate, FilePath, FileName, FileSize, MimeType, BookId, Thumbnail };
// Each end read from the table's key alone, where `_id` is that key.
const QString IdSpanQuery = QStringLiteral("select (select max(_id) from books) - (select min(_id) from books) + 1");
// Fewer bytes than any record of the reader's `books` takes in the file, with its cell and pointer.
constexpr qint64 LeastBookRecordBytes = 32;

// The order of each membership goes with the page's rows for writing them back.
const QString MembershipsQuery = QStringLiteral("select collection_id, content_id, %1 from collections");
enum MembershipField { MembershipCollection, MembershipBook, MembershipOrder };

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
        const qint64 databaseBytes = QFileInfo(path).size();
        m_showProgress = databaseBytes >= LargeReaderDatabaseBytes;
        if (m_showProgress) {
            ProgressSteps::open(m_progress, LoadSteps, LoadingCaption);
            m_progress.processEvents();
        }
        SqliteConnection database;
        openSettledReaderDatabase(m_deviceRoot, database);
        phase(40);
        // The rows are read where they lie, all in one read transaction: one state of the
        // database, whatever another program writes meanwhile.
        database.beginTransaction();
        // Checked beside the reads, and waited for after them: no thread outlives the load.
        const DatabaseCheckMeanwhile check(path);
        // A database that another program made may lack the collection tables: no collections.
        if (database.tableExists(QStringLiteral("collection")))
            readCollections(database);
        readBooks(database, databaseBytes);
        m_bookRows.emplace(m_library.books);
        if (m_bookRows->hasRepeatedIds())
            m_library.loaded.books.markRepeatedIds();
        phase(80);
        if (database.tableExists(QStringLiteral("collections")))
            readMemberships(database);
        // Taken while the read transaction holds: the file the rows were read from.
        m_library.loaded.databaseDigest = check.digest();
        database.commit();
        m_library.loaded.noteShownFields(m_library.books);
        m_library.loaded.soundDigest = check.soundDigest();
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

    void readBooks(SqliteConnection &database, qint64 databaseBytes)
    {
        // Room for every row first, so the rows of a large library are not moved while it grows.
        // The reader's ids are its table's key, distinct integers: their span bounds the count
        // without the scan of the whole table a count takes. The file's size bounds the room a
        // sparse span would ask for, and room never written to takes no memory. Where the bound
        // falls short (ids of another kind), the rows grow as they come. Without the table the
        // query below reports it.
        if (database.tableExists(QStringLiteral("books")))
            database.forEachRow(IdSpanQuery, [&](const SqliteRow &row) {
                const qint64 room = std::clamp(row.integer(0), qint64(0), databaseBytes / LeastBookRecordBytes);
                m_library.books.reserve(room);
                m_library.loaded.records.reserve(std::size_t(room));
            });
        // A table another program made may have no thumbnails.
        const bool withThumbnails =
            columnIndex(tableColumns(database, QStringLiteral("books")), QStringLiteral("thumbnail")) >= 0;
        const QString query = BooksQuery.arg(withThumbnails ? QStringLiteral("thumbnail") : QStringLiteral("null"));
        database.forEachRow(query, [this](const SqliteRow &row) {
            // Before the texts are made: making a blob's text changes the storage class SQLite reports.
            m_library.loaded.books.add(row, BookId, FilePath);
            m_library.loaded.noteRecord(row, BookId, FilePath, Thumbnail);
            BookRow &book = m_library.books.emplace_back();
            book.author = m_authors.text(row, Author);
            book.mime_type = m_mimeTypes.text(row, MimeType);
            writeOwnTexts(row, book);
            if (m_pendingTexts.size() == BooksPerTextBlock)
                takeOwnTexts();
        });
        takeOwnTexts();
    }

    // The texts of each book that are its own alone go into one block of memory with those of
    // the books beside it; those that repeat from book to book are shared with the books before.
    static constexpr std::size_t BooksPerTextBlock = 64;
    // A book's texts by their numbers in the block.
    struct OwnTexts
    {
        int fullPath, fileName, title, fileSize, addedDate, modifiedDate, recordId, relativePath;
    };

    void writeOwnTexts(const SqliteRow &row, BookRow &book)
    {
        TextBlock &texts = m_bookTexts;
        texts.append(m_deviceRoot);
        row.appendText(FilePath, texts);
        const int fullPath = texts.end();
        ReaderBookPlaces::PlaceInBlock place = m_places.placeIn(texts, fullPath);
        book.root = std::move(place.root);
        row.appendText(FileName, texts);
        const int fileName = texts.endAsTailOf(fullPath);
        const int title = endedText(row, Title);
        const int fileSize = endedText(row, FileSize);
        const int addedDate = endedText(row, AddedDate);
        const int modifiedDate = endedText(row, ModifiedDate);
        const int recordId = endedText(row, BookId);
        m_pendingTexts.push_back(
            {fullPath, fileName, title, fileSize, addedDate, modifiedDate, recordId, place.relative_path});
    }

    // Writes the cell's text as a text of its own in the block.
    int endedText(const SqliteRow &row, int column)
    {
        row.appendText(column, m_bookTexts);
        return m_bookTexts.end();
    }

    // Makes the block of the books written since the last one and gives them their texts.
    void takeOwnTexts()
    {
        TextBlock &texts = m_bookTexts;
        texts.seal();
        auto book = m_library.books.end() - qsizetype(m_pendingTexts.size());
        for (const OwnTexts &own : m_pendingTexts) {
            book->full_path = texts.take(own.fullPath);
            book->file_size = texts.take(own.fileSize);
            book->title = texts.take(own.title);
            book->file_name = texts.take(own.fileName);
            book->display_name = book->file_name;
            book->added_date = texts.take(own.addedDate);
            book->modified_date = texts.take(own.modifiedDate);
            book->relative_path = texts.take(own.relativePath);
            book->record_id = texts.take(own.recordId);
            ++book;
        }
        texts.clear();
        m_pendingTexts.clear();
    }

    // Each membership names one collection and one book by id. The book's cell shows the
    // collection of the last membership that names both, its others hold the earlier ones, and
    // every collection named counts the book.
    void readMemberships(SqliteConnection &database)
    {
        const RowsById collectionRows(m_library.collections);
        // Nearly every book is in some collection, many in more than one.
        m_library.loaded.memberships.reserve(m_library.books.size() + m_library.books.size() / 4);
        const bool ordered =
            columnIndex(tableColumns(database, QStringLiteral("collections")), QStringLiteral("added_order")) >= 0;
        database.forEachRow(MembershipsQuery.arg(ordered ? QStringLiteral("added_order") : QStringLiteral("null")),
                            [&](const SqliteRow &row) {
                                const int firstBook = m_bookRows->firstRow(row, MembershipBook);
                                if (firstBook < 0)
                                    return;
                                int books = 0;
                                for (int book = firstBook; book >= 0; book = m_bookRows->nextRow(book))
                                    ++books;
                                const int firstCollection = collectionRows.firstRow(row, MembershipCollection);
                                if (firstCollection >= 0)
                                    m_library.loaded.memberships.append(
                                        {m_library.collections.at(firstCollection).record_id,
                                         m_library.books.at(firstBook).record_id, row.value(MembershipOrder)});
                                for (int collection = firstCollection; collection >= 0;
                                     collection = collectionRows.nextRow(collection)) {
                                    m_bookCounts[collection] += books;
                                    const QString &name = m_library.collections.at(collection).name;
                                    // A collection without a name has no members on the page.
                                    if (name.isEmpty())
                                        continue;
                                    for (int book = firstBook; book >= 0; book = m_bookRows->nextRow(book)) {
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
    TextBlock m_bookTexts;                // the own texts of the books read since the last block
    std::vector<OwnTexts> m_pendingTexts; // their numbers in it, book by book
    Progress &m_progress;
    bool m_showProgress = false;
    ReaderLibrary m_library;
    QVector<qint64> m_bookCounts;       // per collection row
    std::optional<RowsById> m_bookRows; // once the books are read
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

    // The layout first, so that the views fit the columns to the rows once, as they come in.
    applyCollectionListLayout(page);
    // Loaded cells keep the default alignment; a collection added later centres its columns.
    page.collections.setColumnAlignment(CollectionNumberColumn, Qt::AlignLeft);
    page.collections.setColumnAlignment(CollectionBookCountColumn, Qt::AlignLeft);
    page.collections.appendRows(std::move(library.collections));

    page.reader = std::move(library.loaded);
    page.rememberLoadedRows();
}
