#include "collections/collection_operations.h"

#include "collections/book_memberships.h"
#include "collections/selection_range.h"
#include "collections/shown_books.h"
#include "core/dialogs.h"

#include <QSet>

namespace {
QString duplicateNameMessage()
{
    return QStringLiteral("Коллекция с таким названием уже существует!");
}

// Ends the membership of every book in one of `names`; one change notice for the file list.
void leaveCollections(BookTable &books, const QSet<QString> &names)
{
    books.updateRows([&names](BookRow &book) { return ::leaveCollections(book, names); });
}
} // namespace

void applyCollectionListLayout(LibraryPage &page)
{
    // The editing page keeps the reader's collection id out of sight.
    page.collections.applyLayout(page.kind == LibraryPage::Kind::Editing);
}

PageUpdate addCollection(LibraryPage &page, Dialogs &dialogs)
{
    const QString name = dialogs.inputBox(QStringLiteral("Добавление коллекции"),
                                          QStringLiteral("Введите название новой коллекции"), QString());
    if (name.isEmpty())
        return {};
    if (page.collections.indexOfName(name) >= 0) {
        dialogs.message(duplicateNameMessage());
        return {};
    }
    page.collections.appendRow({name, QStringLiteral("0"), QString()});
    applyCollectionListLayout(page);
    return {.rerunStatistics = true};
}

PageUpdate renameCollection(LibraryPage &page, Dialogs &dialogs, int row)
{
    if (row < 0 || row >= page.collections.rowCount())
        return {};
    const QString old = page.collections.row(row).name;
    const QString name = dialogs.inputBox(QStringLiteral("Изменение названия коллекции"),
                                          QStringLiteral("Введите новое или измените старое название коллекции"), old);
    if (name == old)
        return {};
    if (page.collections.indexOfName(name) >= 0) {
        dialogs.message(duplicateNameMessage());
        return {};
    }
    page.collections.updateRow(row, [&name](CollectionRow &collection) { collection.name = name; });
    // A collection with an empty name has no members: the books in no collection stay there.
    if (!old.isEmpty())
        page.books.updateRows([&](BookRow &book) { return renameMemberships(book, old, name); });
    return {};
}

PageUpdate deleteCollections(LibraryPage &page, Dialogs &dialogs, int first, int count)
{
    if (!clipSelection(first, count, page.collections.rowCount()))
        return {};
    const QString question = count < 2 ? QStringLiteral("Вы действительно хотите удалить выделенную коллекцию?")
                                       : QStringLiteral("Вы действительно хотите удалить выделенные коллекции?");
    if (!dialogs.confirm(QStringLiteral("Подтверждение удаления коллекции"), question))
        return {};

    QVector<CollectionRow> remaining = page.collections.rows();
    QSet<QString> names;
    for (int row = first; row < first + count; ++row)
        names.insert(remaining.at(row).name);
    leaveCollections(page.books, names);
    remaining.remove(first, count);

    if (remaining.isEmpty()) {
        page.collections.clear();
        page.shownBooks.empty();
        return {.rerunStatistics = true};
    }
    // One reset renumbers the rows that stay.
    page.collections.replaceRows(std::move(remaining));
    PageUpdate update = showCollectionBooks(page, 0);
    update.selectCollectionRow = 0;
    return update;
}
