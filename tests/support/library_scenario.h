#pragma once

#include "collections/library_page.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A template for QTemporaryDir in memory where the system has it: flushing a volume there costs
// nothing, so a test that runs hundreds of synchronisations does not wait on the disk.
QString inMemoryFolderTemplate();

// A user's book folder and the choices of a synchronisation, for tests that run the same
// synchronisation many times: the files stay, so their times stay, and a copy of a reader made
// by a first run keeps matching them.
class LibraryScenario
{
public:
    // The sample books of SyncScene::usualBooks() below a folder "Книги".
    LibraryScenario();

    QString sourceFolder() const { return m_folder.path() + QStringLiteral("/Книги"); }
    // Places a sample book at `placedAt` below "Книги".
    void place(const QString &sample, const QString &placedAt);
    // Changes the book at `placedAt`: its size and time change with it.
    void change(const QString &placedAt);

    // The collection of each book, by its path below "Книги", or for a book taken from the reader
    // by its path below the reader's books folder; a book not named here is in none.
    QHash<QString, QString> collections;
    // Folders and files of the reader's books folder that the user adds as well, in order.
    QStringList fromReader;

    // Fills the page as the user's list would be for the reader at `root`: the intake of "Книги",
    // then of `fromReader`, each book in its collection, the collections in order of appearance.
    void fillPage(LibraryPage &page, const QString &root) const;

private:
    QTemporaryDir m_folder{inMemoryFolderTemplate()};
};

// Copies the reader at `from` into the existing folder `to` with every file's time.
void copyReader(const QString &from, const QString &to);
