#pragma once

#include "reader/library_rebuild.h"

class BookTable;
class CollectionTable;

// The rebuild of rebuildLibrary() from a page's tables: on success the tables take what was
// written (cleaned titles, new record ids), each row in place; on failure they are unchanged.

// Opens the reader's books.db below `deviceRoot` for the rebuild and closes it after.
void rebuildLibrary(const QString &deviceRoot, BookTable &books, CollectionTable &collections,
                    const RebuildHooks &hooks = {});

// Through a connection the caller has open on the reader's books.db, in a transaction of its own or none;
// tells what the rows' records are now.
WrittenBooks rebuildLibrary(SqliteConnection &database, const QString &deviceRoot, BookTable &books,
                            CollectionTable &collections, const RebuildHooks &hooks = {},
                            const WriteBack *writeBack = nullptr);
