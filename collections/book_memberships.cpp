#include "collections/book_memberships.h"

bool isMemberOf(const BookRow &book, const QString &name)
{
    // An empty cell is no collection, so a collection named "" has no members.
    if (book.collection.isEmpty())
        return false;
    return book.collection == name || book.other_collections.contains(name);
}

bool leaveCollection(BookRow &book, const QString &name)
{
    if (book.collection.isEmpty())
        return false;
    if (book.collection == name) {
        book.collection = book.other_collections.isEmpty() ? QString() : book.other_collections.takeFirst();
        return true;
    }
    return book.other_collections.removeOne(name);
}

bool moveMembership(BookRow &book, const QString &from, const QString &to)
{
    const QString moved = from.isEmpty() ? book.collection : from;
    if (moved.isEmpty()) {
        book.collection = to;
        return true;
    }
    if (moved == to)
        return false;
    if (isMemberOf(book, to)) {
        leaveCollection(book, moved);
        return false;
    }
    if (book.collection == moved) {
        book.collection = to;
    } else {
        const qsizetype at = book.other_collections.indexOf(moved);
        if (at < 0)
            return false;
        book.other_collections[at] = to;
    }
    return true;
}

bool renameMemberships(BookRow &book, const QString &from, const QString &to)
{
    if (!isMemberOf(book, from))
        return false;
    if (to.isEmpty()) {
        while (leaveCollection(book, from)) {
        }
        return true;
    }
    if (book.collection == from)
        book.collection = to;
    for (QString &other : book.other_collections)
        if (other == from)
            other = to;
    return true;
}
