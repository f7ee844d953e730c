#pragma once

#include "booklist/book_row.h"

// A book's memberships: the collection its `collection` cell names and, on the editing page,
// the others the reader holds it in. Each names a collection; a book is listed under every
// collection it is a member of, and the cell shows one of them while there is any.

bool isMemberOf(const BookRow &book, const QString &name);

// Ends one membership of `name`; when that was the cell's, the next membership takes the cell.
// Returns whether the book was a member.
bool leaveCollection(BookRow &book, const QString &name);

// Ends every membership of a collection in `names`.
template <typename Names> bool leaveCollections(BookRow &book, const Names &names)
{
    bool left = false;
    for (qsizetype i = book.other_collections.size() - 1; i >= 0; --i) {
        if (names.contains(book.other_collections.at(i))) {
            book.other_collections.removeAt(i);
            left = true;
        }
    }
    if (!book.collection.isEmpty() && names.contains(book.collection)) {
        leaveCollection(book, book.collection);
        left = true;
    }
    return left;
}

// Moves one membership of `from` to `to`; `from` empty moves the cell's (a book in no
// collection joins `to`). A book already in `to` keeps that one membership and the moved one
// ends. Returns whether `to` gained a member.
bool moveMembership(BookRow &book, const QString &from, const QString &to);

// Gives every membership of `from` the name `to`; an empty `to` ends them.
bool renameMemberships(BookRow &book, const QString &from, const QString &to);
