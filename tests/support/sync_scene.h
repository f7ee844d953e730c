#pragma once

#include "collections/library_page.h"
#include "core/file_operations.h"
#include "covers/book_formats.h"
#include "support/fixed_volumes.h"
#include "support/fixture_reader.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"

#include <QMap>
#include <QTemporaryDir>

#include <memory>

// Records each message into the progress calls as "message", so a test sees whether the
// progress window was up when it showed.
class WatchingDialogs : public ScriptedDialogs
{
public:
    explicit WatchingDialogs(RecordingProgress &progress) : m_progress(progress) {}
    void message(const QString &text) override
    {
        m_progress.calls << QStringLiteral("message");
        ScriptedDialogs::message(text);
    }

private:
    RecordingProgress &m_progress;
};

// One book for the creation page: a sample file placed below the folder the user adds, and
// the collection it goes to (empty: none).
struct SceneBook
{
    QString sample;   // below the samples folder
    QString placedAt; // below the added folder "Книги"
    QString collection;
};

// A synchronisation ready to run in-process: a reader (a fixture library) behind a dummy
// first volume, a creation page filled by the real intake from sample books, scripted
// answers and recorded progress.
class SyncScene
{
public:
    // The reader is made in `readerRoot` (an existing folder, ending in a separator), or in a
    // temporary folder of its own when that is empty.
    explicit SyncScene(const QString &readerRoot = {},
                       FixtureReader::Contents contents = FixtureReader::Contents::Library);

    // The usual library: two FB2 books (JPEG and PNG covers), a PDF, a TXT and an EPUB in four
    // collections ("Пустая" with none), and one FB2 in no collection.
    static QList<SceneBook> usualBooks();
    // Places the books and adds the folder "Книги" through the intake; the collection list
    // gets the collections in order of first appearance, then `extraCollections`.
    void addBooks(const QList<SceneBook> &books, const QStringList &extraCollections = {});
    // Adds any path (a file on the reader, say) through the intake, into `collection`.
    void addPath(const QString &path, const QString &collection);

    // `total_size` as the statistics leave it.
    qint64 totalSize();
    bool run();
    bool run(qint64 totalSize);

    QString root() const { return m_readerRoot; }
    QString databasePath() const;
    QString booksFolder() const;
    QString thumbnailsFolder() const;
    QString sourceFolder() const { return m_sources.path() + QStringLiteral("/Книги"); }
    // Every file below the reader's root with its bytes, folders as "path/".
    QMap<QString, QByteArray> readerFiles() const;
    // Every file and empty folder below the reader's Sony_Reader, and the database's rows.
    struct Snapshot
    {
        QMap<QString, QByteArray> files;
        QList<QVariantList> database;
        bool operator==(const Snapshot &) const = default;
    };
    Snapshot snapshot() const;

    QTemporaryDir firstVolume;
    FixedVolumes volumes;
    RecordingProgress progress;
    WatchingDialogs dialogs{progress};
    LibraryPage page{LibraryPage::Kind::Creation};
    // The reader's file operations; a test may put a counting or failing one in their place.
    FileOperations realFiles;
    FileOperations *files = &realFiles;
    // The formats beyond plain FB2 that the intake and the synchronisation read.
    BookFormats formats;

private:
    QTemporaryDir m_sources;
    std::unique_ptr<FixtureReader> m_ownReader;
    QString m_readerRoot;
};

// The sample file's path.
QString samplePath(const QString &sample);
