#include "collections/shown_books.h"

#include "booklist/series_order.h"
#include "collections/book_memberships.h"
#include "collections/selection_range.h"
#include "core/dialogs.h"

#include <QSet>

#include <algorithm>

namespace {
// The file-list rows of the members of `name`, in file-list order: the books whose cell names
// it and, on the editing page, those the reader holds in it besides.
QVector<int> memberRows(const LibraryPage &page, const QString &name)
{
    QVector<int> rows = page.books.collectionSummary().rowsOf(name);
    if (page.kind != LibraryPage::Kind::Editing || name.isEmpty())
        return rows;
    QVector<int> others;
    for (int row = 0; row < page.books.rowCount(); ++row) {
        const BookRow &book = page.books.row(row);
        if (!book.other_collections.isEmpty() && book.collection != name && book.other_collections.contains(name))
            others.append(row);
    }
    if (others.isEmpty())
        return rows;
    QVector<int> all(rows.size() + others.size());
    std::merge(rows.cbegin(), rows.cend(), others.cbegin(), others.cend(), all.begin());
    return all;
}
} // namespace

PageUpdate showCollectionBooks(LibraryPage &page, int collectionRow)
{
    if (collectionRow < 0 || collectionRow >= page.collections.rowCount())
        return {};
    // An empty `collection` means no collection, so a collection named "" has no members. A
    // series shows its books in the order the reader will list them.
    const CollectionRow &collection = page.collections.row(collectionRow);
    QVector<int> rows = memberRows(page, collection.name);
    if (collection.series_order)
        std::stable_sort(rows.begin(), rows.end(),
                         [&](int a, int b) { return comesEarlierInSeries(page.books.row(a), page.books.row(b)); });
    page.shownBooks.showBookRows(std::move(rows));
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
    QString name;
    if (shown.shown_collection_row >= 0 && shown.shown_collection_row < page.collections.rowCount()) {
        page.collections.adjustBookCount(shown.shown_collection_row, -count);
        name = page.collections.row(shown.shown_collection_row).name;
    }
    // Only the membership of the shown collection ends; a book in others stays in them.
    page.books.updateRows([&](BookRow &book) { return paths.contains(book.full_path) && leaveCollection(book, name); });
    remaining.remove(first, count);

    if (remaining.isEmpty()) {
        page.shownBooks.empty();
        return {.rerunStatistics = true};
    }
    // One reset renumbers the rows that stay.
    shown.showBookRows(std::move(remaining));
    return {.rerunStatistics = true, .selectShownBookRow = 0};
}
