#include "support/repeated_sync.h"

#include "sync/creation_sync.h"
#include "core/file_operations.h"
#include "support/fixed_volumes.h"
#include "support/fixture_reader.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"

QVector<BookRow> inCollections(const LibraryPage &page)
{
    QVector<BookRow> chosen;
    for (const BookRow &book : page.books.rows())
        if (!book.collection.isEmpty())
            chosen << book;
    return chosen;
}

QString RepeatedSync::copyStart(const QTemporaryDir &folder) const
{
    copyReader(start.path(), folder.path());
    return folder.path() + QLatin1Char('/');
}

bool RepeatedSync::run(LibraryPage &page, const QString &root, FileOperations &files, Progress &progress,
                       QStringList *messages) const
{
    FixedVolumes volumes({otherVolume.path() + QLatin1Char('/'), root});
    ScriptedDialogs dialogs;
    CreationSync sync(page, volumes, dialogs, progress, files);
    qint64 totalSize = 0;
    for (const BookRow &book : inCollections(page))
        totalSize += book.file_size.bytes();
    const bool succeeded = sync.run(totalSize);
    if (messages)
        *messages = dialogs.messages();
    return succeeded;
}

std::unique_ptr<RepeatedSync> RepeatedSync::first()
{
    auto sync = std::make_unique<RepeatedSync>();
    FixtureReader::build(sync->startRoot(), FixtureReader::Contents::Library);
    sync->books.collections = {
        {"Классика/Война и мир.fb2", "Классика"},
        {"Документы/history.pdf", "Документы"},
        {"Классика/Рыбы/test2.1.fb2", "Классика"},
        {"Документы/Зимнее утро.txt", "Документы"},
        {"wasteland.epub", "Поэзия"},
        {"Фантастика/Стругацкие/Пикник на обочине.fb2", "С устройства"},
        {"notes.txt", "С устройства"},
    };
    sync->books.fromReader = {"Фантастика", "notes.txt"};
    sync->movedOnReader = {{"Sony_Reader/media/books/notes.txt", "Sony_Reader/media/books/books/notes.txt"}};
    return sync;
}

std::unique_ptr<RepeatedSync> RepeatedSync::synchronised()
{
    std::unique_ptr<RepeatedSync> sync = first();
    LibraryPage page(LibraryPage::Kind::Creation);
    sync->books.fillPage(page, sync->startRoot());
    FileOperations files;
    RecordingProgress progress;
    if (!sync->run(page, sync->startRoot(), files, progress))
        return nullptr;
    sync->books.collections.remove("notes.txt");
    sync->books.collections.insert("books/notes.txt", "С устройства");
    sync->books.fromReader = {"Фантастика", "books/notes.txt"};
    sync->movedOnReader.clear();
    return sync;
}

std::unique_ptr<RepeatedSync> RepeatedSync::again()
{
    std::unique_ptr<RepeatedSync> sync = synchronised();
    if (!sync)
        return nullptr;
    LibraryScenario &books = sync->books;
    books.change("Классика/Война и мир.fb2");
    books.place("fb2/test2.1.fb2", "Новые/Рыбы.fb2");
    books.collections.insert("Новые/Рыбы.fb2", "Классика");
    books.collections.insert("Разное/meta.fb2", "Разное");
    books.collections.insert("Документы/history.pdf", "Поэзия");
    books.collections.remove("Документы/Зимнее утро.txt");
    return sync;
}
