#include "collections/shown_books.h"

#include "collections/selection_range.h"
#include "core/dialogs.h"
#include "core/prefetch_ahead.h"

#include <QSet>

#include <algorithm>

void clearShownBooks(LibraryPage &page)
{
    page.shownBooks.clear();
    page.shownBooks.shown_collection_row = -1;
}

PageUpdate showCollectionBooks(LibraryPage &page, int collectionRow)
{
    if (collectionRow < 0 || collectionRow >= page.collections.rowCount())
        return {};
    const QString &name = page.collections.row(collectionRow).name;
    QVector<ShownBookRow> members;
    // An empty `collection` means no collection, so a collection named "" has no members.
    if (!name.isEmpty()) {
        const QVector<BookRow> &books = page.books.rows();
        // The count is only a hint (a reader's list can be wrong), but mostly saves regrowing.
        members.reserve(std::min<qsizetype>(page.collections.bookCount(collectionRow), books.size()));
        for (qsizetype index = 0; index < books.size(); ++index) {
            prefetchAhead(books, index, &BookRow::collection);
            const BookRow &book = books[index];
            if (book.collection == name)
                members.append({book.title, book.full_path});
        }
    }
    page.shownBooks.replaceRows(std::move(members));
    page.shownBooks.shown_collection_row = collectionRow;
    page.shownBooks.applyLayout();
    return {.rerunStatistics = true};
}

PageUpdate renameBook(LibraryPage &page, Dialogs &dialogs, int row)
{
    ShownBooksTable &shown = page.shownBooks;
    if (row < 0 || row >= shown.rowCount())
        return {};
    const QString old = shown.row(row).title;
    const QString title = dialogs.inputBox(QStringLiteral("Изменение названия книги"),
                                           QStringLiteral("Введите новое или измените старое название книги"), old);
    if (title == old)
        return {};
    for (const ShownBookRow &book : shown.rows()) {
        if (book.title == title) {
            dialogs.message(QStringLiteral("Книга с таким названием уже существует!"));
            return {};
        }
    }
    // Every book of the old title is renamed, so the list shows the new title on each of them.
    shown.updateRows([&](ShownBookRow &book) {
        if (book.title != old)
            return false;
        book.title = title;
        return true;
    });
    page.books.updateRows([&](BookRow &book) {
        if (book.title != old)
            return false;
        book.title = title;
        return true;
    });
    return {};
}

PageUpdate removeShownBooks(LibraryPage &page, Dialogs &dialogs, int first, int count)
{
    ShownBooksTable &shown = page.shownBooks;
    if (!clipSelection(first, count, shown.rowCount()))
        return {};
    const QString question = count < 2 ? QStringLiteral("Вы действительно хотите удалить выделенную книгу?")
                                       : QStringLiteral("Вы действительно хотите удалить выделенные книги?");
    if (!dialogs.confirm(QStringLiteral("Подтверждение удаления книги"), question))
        return {};

    QVector<ShownBookRow> remaining = shown.rows();
    QSet<QString> paths;
    for (int row = first; row < first + count; ++row)
        paths.insert(remaining.at(row).full_path);
    if (shown.shown_collection_row >= 0 && shown.shown_collection_row < page.collections.rowCount())
        page.collections.adjustBookCount(shown.shown_collection_row, -count);
    page.books.updateRows([&paths](BookRow &book) {
        if (book.collection.isEmpty() || !paths.contains(book.full_path))
            return false;
        book.collection.clear();
        return true;
    });
    remaining.remove(first, count);

    if (remaining.isEmpty()) {
        clearShownBooks(page);
        return {.rerunStatistics = true};
    }
    // One reset renumbers the rows that stay.
    shown.replaceRows(std::move(remaining));
    return {.rerunStatistics = true, .selectShownBookRow = 0};
}
