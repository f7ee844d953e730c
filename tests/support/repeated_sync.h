#pragma once

#include "collections/library_page.h"
#include "support/library_scenario.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVector>

#include <memory>

class FileOperations;
class Progress;

// One synchronisation to run many times, each time from a copy of the same reader: the reader it
// starts from, the user's books and choices, and which files of the reader it moves.
struct RepeatedSync
{
    LibraryScenario books;
    QTemporaryDir start{inMemoryFolderTemplate()};
    // Attached before the reader. Made here rather than by each run: a run that is killed
    // cleans nothing up.
    QTemporaryDir otherVolume{inMemoryFolderTemplate()};
    QHash<QString, QString> movedOnReader; // stored file_path -> stored file_path

    QString startRoot() const { return start.path() + QLatin1Char('/'); }
    // A copy of the starting reader in `folder`; its root.
    QString copyStart(const QTemporaryDir &folder) const;

    // Runs the synchronisation of `page` on the reader at `root` to its end; `messages` gets what
    // the user was told.
    bool run(LibraryPage &page, const QString &root, FileOperations &files, Progress &progress,
             QStringList *messages = nullptr) const;

    // The first synchronisation of a reader the firmware filled: books from the computer, a folder of
    // the reader's own that stays where it is, and a book of the reader's that moves to a new place.
    static std::unique_ptr<RepeatedSync> first();
    // The first synchronisation run to its end on the starting reader: a reader that holds the library.
    static std::unique_ptr<RepeatedSync> synchronised();
    // The same reader synchronised again after the user changed a book, added two, moved one to
    // another collection and took one out of every collection.
    static std::unique_ptr<RepeatedSync> again();
};

// The books of the page that are in a collection.
QVector<BookRow> inCollections(const LibraryPage &page);
