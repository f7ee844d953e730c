#pragma once

#include "app/library_page_widget.h"
#include "collections/collection_operations.h"
#include "support/page_columns.h"
#include "support/window_under_test.h"
#include "widgets/grid_view.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>

inline BookRow book(const QString &path, const QString &title, const QString &collection, const QString &size)
{
    BookRow row;
    row.full_path = path;
    row.title = title;
    row.collection = collection;
    row.file_size = size;
    return row;
}

// The main window on one of its pages, its lists filled as the intake or the reader's load
// leaves them; every step goes through the real widgets.
struct PageWindow : WindowUnderTest
{
    bool editing;
    LibraryPageWidget *widget;
    LibraryPage &page;

    explicit PageWindow(bool onEditingPage)
        : editing(onEditingPage), widget(editing ? mainWindow.editorpage() : mainWindow.creatorpage()),
          page(editing ? mainWindow.editing() : mainWindow.creation())
    {
        mainWindow.setWindowState(Qt::WindowNoState);
        mainWindow.resize(1200, 800);
        mainWindow.show();
        if (!QTest::qWaitForWindowExposed(&mainWindow))
            qWarning("the window was not exposed");
        if (editing) {
            mainWindow.pager()->setCurrentIndex(1);
            if (mainWindow.pager()->currentIndex() != 1)
                qWarning("the editing page was not shown");
        }
        dialogs.shown.clear();
    }

    // Five books: two in "Фантастика", one in "Стихи", two in none, one of them sharing a
    // title with a book in a collection; "Пустая" has no books.
    void fill(bool withCollections = true)
    {
        const QString root = editing ? "/media/u/READER/Sony_Reader/media/books/" : "/home/u/Books/";
        const auto in = [&](const QString &collection) { return withCollections ? collection : QString(); };
        page.books.appendRows({book(root + "Fantasy/dune.fb2", "Дюна", in("Фантастика"), "1048576"),
                               book(root + "Poems/winter.txt", "Зимнее утро", in("Стихи"), "1000"),
                               book(root + "Fantasy/solaris.fb2", "Солярис", in("Фантастика"), "524288"),
                               book(root + "Poems/autumn.txt", "Осень", {}, "2048"),
                               book(root + "Other/dune.epub", "Дюна", {}, "4096")});
        page.books.setHeaderTexts({"Полный путь к файлу", "Коллекция"});
        if (withCollections) {
            page.collections.appendRows({{"Фантастика", "2", {}}, {"Стихи", "1", {}}, {"Пустая", "0", {}}});
            applyCollectionListLayout(page);
        }
        refresh();
        dialogs.shown.clear();
    }
    void refresh()
    {
        if (editing)
            mainWindow.refreshStatistics(*mainWindow.editorpage());
        else
            mainWindow.refreshStatistics(*mainWindow.creatorpage());
    }

    GridView *pathList() const { return widget->pathList(); }
    GridView *collectionList() const { return widget->collectionList(); }
    GridView *bookList() const { return widget->bookList(); }

    static QPoint cellCentre(GridView *grid, int row, int column)
    {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    static void click(GridView *grid, int row, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cellCentre(grid, row, 1));
    }
    // What the platform sends for a double click: a press and release, then the double
    // click and its release.
    static void doubleClick(GridView *grid, int row, int column = 1)
    {
        const QPoint centre = cellCentre(grid, row, column);
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, centre);
    }
    static void selectRows(GridView *grid, int first, int last)
    {
        click(grid, first);
        if (last != first)
            click(grid, last, Qt::ShiftModifier);
    }
    void clickAddButton()
    {
        QTest::mouseClick(widget->button(editing ? "SpeedButton3" : "addcollectionbutton"), Qt::LeftButton);
    }

    QStringList collectionColumn(int column) const
    {
        QStringList cells;
        for (int row = 0; row < page.collections.rowCount(); ++row)
            cells << page.collections.cellText(row, column);
        return cells;
    }
    QStringList names() const { return collectionColumn(CollectionNameColumn); }
    QStringList counts() const { return collectionColumn(CollectionBookCountColumn); }
    QStringList numbers() const { return collectionColumn(CollectionNumberColumn); }
    QStringList shownTitles() const { return fieldTexts(page.shownBooks, &ShownBookRow::title); }
    QStringList membership() const { return fieldTexts(page.books, &BookRow::collection); }
    QStringList bookTitles() const { return fieldTexts(page.books, &BookRow::title); }
    QString statistics() const
    {
        return mainWindow.findChild<QLabel *>(editing ? "Label13" : "statisctilabelvalue")->text();
    }
    bool shown(const char *name) const
    {
        auto *control = widget->findChild<QWidget *>(QString::fromLatin1(name));
        if (!control)
            qWarning("no widget named %s", name);
        return control && control->isVisibleTo(widget);
    }
    bool collectionPanelShown() const { return widget->collectionPanel()->isVisibleTo(widget); }
    bool bookPanelShown() const { return widget->bookPanel()->isVisibleTo(widget); }
    GridView::RowRange selected(GridView *grid) const { return grid->selectedRowRange(); }
};

// One data row per page, for tests that run on both.
inline void addPages()
{
    QTest::addColumn<bool>("editing");
    QTest::newRow("creation page") << false;
    QTest::newRow("editing page") << true;
}
