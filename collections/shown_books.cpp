#include "collections/shown_books.h"

#include "collections/selection_range.h"
#include "core/dialogs.h"

#include <QSet>

PageUpdate showCollectionBooks(LibraryPage &page, int collectionRow)
{
    if (collectionRow < 0 || collectionRow >= page.collections.rowCount())
        return {};
    // An empty `collection` means no collection, so a collection named "" has no members.
    page.shownBooks.showBookRows(page.books.collectionSummary().rowsOf(page.collections.row(collectionRow).name));
    page.shownBooks.shown_collection_row = collectionRow;
    page.shownBooks.applyLayout();
    return {.rerunStatistics = true};
}

PageUpdate renameBook(LibraryPage &page, Dialogs &dialogs, int row)
{
    ShownBooksTable &shown = page.shownBooks;
    if (row < 0 || row >= shown.rowCount())
        return {};
    const QString old = page.books.row(shown.bookRow(row)).title;
    const QString title = dialogs.inputBox(QStringLiteral("Изменение названия книги"),
                                           QStringLiteral("Введите новое или измените старое название книги"), old);
    if (title == old)
        return {};
    for (const int book : shown.bookRows()) {
        if (page.books.row(book).title == title) {
            dialogs.message(QStringLiteral("Книга с таким названием уже существует!"));
            return {};
        }
    }
    // Every book of the old title is renamed, so the list shows the new title on each of them.
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

    QVector<int> remaining = shown.bookRows();
    QSet<QString> paths;
    for (int row = first; row < first + count; ++row)
        paths.insert(page.books.row(remaining.at(row)).full_path);
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
        page.shownBooks.empty();
        return {.rerunStatistics = true};
    }
    // One reset renumbers the rows that stay.
    shown.showBookRows(std::move(remaining));
    return {.rerunStatistics = true, .selectShownBookRow = 0};
}
