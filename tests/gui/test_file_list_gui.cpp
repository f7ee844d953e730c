#include "app/library_page_widget.h"
#include "app/page_layout.h"
#include "support/page_window.h"
#include "test_paths.h"
#include "widgets/grid_view.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <functional>

namespace {
const QString samples = QStringLiteral(TESSALY_SAMPLES_DIR);

// The main window shown, on the page asked for, with books below a temporary folder.
struct Window : PageWindow
{
    QTemporaryDir folder;

    explicit Window(bool editing = false) : PageWindow(editing) {}

    // Copies a sample book to `relative` below the temporary folder.
    QString book(const QString &sample, const QString &relative) const
    {
        const QString target = folder.filePath(relative);
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFile::copy(samples + "/" + sample, target))
            qWarning("cannot copy %s", qPrintable(sample));
        return QDir::toNativeSeparators(target);
    }
    // The folder "Книги": a book at its top, one in "Фантастика" and one below that in "Лем".
    QString library() const
    {
        book("fb2/minimal.fb2", "Книги/top.fb2");
        book("txt/Зимнее утро.txt", "Книги/Фантастика/winter.txt");
        book("fb2/meta.fb2", "Книги/Фантастика/Лем/meta.fb2");
        return QDir::toNativeSeparators(folder.filePath("Книги"));
    }
    void addFolder(const QString &path)
    {
        dialogs.folderAnswers.enqueue(path);
        QTest::mouseClick(widget->button("AddDirButton"), Qt::LeftButton);
    }
    QAbstractButton *automaticButton() const
    {
        return widget->button(page.kind == LibraryPage::Kind::Editing ? "SpeedButton4" : "autocollectionbutton");
    }

    // Each collection as its name and book count.
    QStringList names() const
    {
        QStringList result;
        for (const CollectionRow &row : page.collections.rows())
            result << row.name + " " + row.book_count;
        return result;
    }
    QStringList fullPaths() const { return fieldTexts(page.books, &BookRow::full_path); }

    static void clickHeader(GridView *grid, int column)
    {
        QHeaderView *header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    }
    static int selectedRow(GridView *grid)
    {
        const QModelIndexList rows = grid->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }
};

// Rows of the reader's library as the editing page holds them: the reader's forward slashes
// in `full_path`, the book's top folder below the books folder as `root`.
QVector<BookRow> readerBooks(const QString &deviceRoot)
{
    const QString books = deviceRoot + "Sony_Reader/media/books/";
    const auto row = [&](const QString &top, const QString &below, const QString &collection) {
        return BookRow{.full_path = books + top + "/" + below,
                       .collection = collection,
                       .file_size = "2048",
                       .title = below,
                       .root = QDir::toNativeSeparators(books + top)};
    };
    return {row("Fantasy", "a.fb2", "Загруженная"), row("Fantasy", "Series/b.fb2", "Загруженная"),
            row("Poems", "c.txt", QString())};
}
} // namespace

class TestFileListGui : public QObject
{
    Q_OBJECT
private slots:
    void automaticButtonMakesOneCollectionPerFolder()
    {
        Window window;
        const QString library = window.library();
        window.addFolder(library);
        QVERIFY(window.automaticButton()->isVisible());
        QVERIFY(!window.shown("collectionpanel"));

        QTest::mouseClick(window.automaticButton(), Qt::LeftButton);

        QVERIFY(window.dialogs.messages().isEmpty());
        QCOMPARE(window.names(), (QStringList{"Книги 1", "Книги_Фантастика 1", "Книги_Фантастика_Лем 1"}));
        for (const BookRow &book : window.page.books.rows()) {
            const QString folder = QFileInfo(book.full_path).dir().dirName();
            QCOMPARE(book.collection, folder == "Лем"          ? QString("Книги_Фантастика_Лем")
                                      : folder == "Фантастика" ? QString("Книги_Фантастика")
                                                               : QString("Книги"));
        }
        QVERIFY(window.shown("collectionpanel"));
        QVERIFY(window.shown("bookpanel"));
        QCOMPARE(Window::selectedRow(window.widget->collectionList()), 0);
        QCOMPARE(window.page.shownBooks.rowCount(), 1);
        QCOMPARE(window.page.shownBooks.row(0).full_path, library + QDir::separator() + "top.fb2");
        QVERIFY(window.statistics().startsWith("3 шт.\n3 шт.\n3 шт.\n"));
        QVERIFY(window.widget->button("Synchronizebutton")->isVisible());
    }

    void automaticButtonOnTheEditingPageTakesTheReadersFolders()
    {
        Window window(true);
        window.page.books.appendRows(readerBooks("/media/u/READER/"));
        window.page.collections.appendRow({"Загруженная", "2", "5"});
        window.mainWindow.refreshStatistics(*window.widget);
        window.dialogs.shown.clear();

        QTest::mouseClick(window.automaticButton(), Qt::LeftButton);

        QVERIFY(window.dialogs.messages().isEmpty());
        QCOMPARE(window.names(), (QStringList{"Fantasy 1", "Fantasy_Series 1", "Poems 1"}));
        QCOMPARE(window.membership(), (QStringList{"Fantasy", "Fantasy_Series", "Poems"}));
        QCOMPARE(window.page.shownBooks.rowCount(), 1);
        QVERIFY(window.shown("ecollectionpanel"));
        QCOMPARE(window.mainWindow.creation().collections.rowCount(), 0);
    }

    // The arrow beside the automatic button builds by what it names at once; both pages' buttons,
    // and those of the next run, go on building so.
    void sourceMenuBuildsAtOnceAndIsRemembered()
    {
        Window window;
        window.book("fb2/example.fb2", "Книги/Толстой/1.fb2");
        window.book("fb2/fblib-test.fb2", "Книги/2.fb2");
        window.book("fb2/minimal.fb2", "Книги/Черчилль/3.fb2");
        window.addFolder(QDir::toNativeSeparators(window.folder.filePath("Книги")));
        QVERIFY(window.shown("autocollectionsource"));
        const auto entries = [](const LibraryPageWidget *page, const char *name) {
            return page->findChild<QToolButton *>(name)->menu()->actions();
        };
        const QList<QAction *> creation = entries(window.widget, "autocollectionsource");
        QCOMPARE(creation.at(0)->text(), QString("Создать коллекции по папкам"));
        QVERIFY(creation.at(0)->isChecked());

        creation.at(1)->trigger();
        QCOMPARE(window.names(), (QStringList{"Детство, Отрочество, Юность 2", "Книги_Черчилль 1"}));
        QVERIFY(window.page.collections.row(0).series_order);
        QVERIFY(entries(window.mainWindow.editorpage(), "SpeedButton4source").at(1)->isChecked());

        const MainWindow nextRun(window.dialogs, window.clock, window.progress, window.volumes, window.fileOpener);
        QVERIFY(entries(nextRun.editorpage(), "SpeedButton4source").at(1)->isChecked());
        QCOMPARE(nextRun.creatorpage()->button("autocollectionbutton")->toolTip(),
                 QString("Создать коллекции автоматически по сериям книг в списке файлов (книги без серии - по папкам) "
                         "(Ctrl+Shift+N)"));

        // Chosen on the other page, by authors: its empty list refuses, this page's button follows.
        entries(window.mainWindow.editorpage(), "SpeedButton4source").at(2)->trigger();
        QCOMPARE(window.dialogs.messages(), QStringList{"Книги не обнаружены или были удалены из списка!"});
        QTest::mouseClick(window.automaticButton(), Qt::LeftButton);
        QCOMPARE(window.names(), (QStringList{"Лев Толстой 2", "Уинстон Черчилль 1"}));
        QVERIFY(!window.page.collections.row(0).series_order);
    }

    // The reader's database keeps no series: the editing page reads its books' heads first.
    void editingPageReadsTheSeriesOfTheReadersBooks()
    {
        Window window(true);
        const QString books = "READER/Sony_Reader/media/books/";
        const auto onReader = [&](const QString &sample, const QString &folder) {
            const QString path = window.book(sample, books + folder + "/" + QFileInfo(sample).fileName());
            return BookRow{.full_path = path, .file_size = "2048", .root = QFileInfo(path).path()};
        };
        window.page.books.appendRows({onReader("fb2/example.fb2", "Толстой"), onReader("fb2/minimal.fb2", "Черчилль")});
        window.mainWindow.refreshStatistics(*window.widget);
        window.dialogs.shown.clear();

        window.widget->findChild<QToolButton *>("SpeedButton4source")->menu()->actions().at(1)->trigger();
        QCOMPARE(window.names(), (QStringList{"Детство, Отрочество, Юность 1", "Черчилль 1"}));
        QVERIFY(window.dialogs.messages().isEmpty());
        QVERIFY(!window.progress.visible);
        QVERIFY(!window.mainWindow.longOperationRunning());
    }

    void automaticButtonRefusesAnEmptyList_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("message");
        QTest::newRow("creation page") << false << "Сначала добавьте книги в программу!";
        QTest::newRow("editing page") << true << "Книги не обнаружены или были удалены из списка!";
    }

    void automaticButtonRefusesAnEmptyList()
    {
        QFETCH(bool, editing);
        QFETCH(QString, message);
        Window window(editing);
        // The creation page hides its button without books; its handler still refuses.
        window.automaticButton()->click();
        QCOMPARE(window.dialogs.messages(), QStringList{message});
        QCOMPARE(window.page.collections.rowCount(), 0);
    }

    void deleteRemovesTheSelectedBooksAfterTheQuestion()
    {
        Window window;
        window.addFolder(window.library());
        // In path order: the book at the top, the one in "Фантастика", the one in "Лем".
        Window::clickHeader(window.pathList(), FullPathColumn);
        QTest::mouseClick(window.automaticButton(), Qt::LeftButton);
        const QStringList paths = window.fullPaths();
        QVERIFY(paths[2].endsWith("meta.fb2"));
        window.dialogs.shown.clear();

        // No keeps everything.
        Window::selectRows(window.pathList(), 0, 1);
        window.dialogs.confirmAnswers.enqueue(false);
        QTest::keyClick(window.pathList(), Qt::Key_Delete);
        QCOMPARE(window.fullPaths(), paths);

        window.dialogs.shown.clear();
        QTest::keyClick(window.pathList(), Qt::Key_Delete);
        QCOMPARE(window.dialogs.shown.size(), 1);
        QCOMPARE(window.dialogs.shown[0].caption, QString("Подтверждение удаления файлов"));
        QCOMPARE(window.dialogs.shown[0].text, QString("Вы действительно хотите удалить выделенные файлы"));
        QCOMPARE(window.fullPaths(), QStringList{paths[2]});
        QCOMPARE(window.names(), (QStringList{"Книги 0", "Книги_Фантастика 0", "Книги_Фантастика_Лем 1"}));
        QCOMPARE(Window::selectedRow(window.pathList()), 0);
        QCOMPARE(Window::selectedRow(window.widget->collectionList()), 0);
        QCOMPARE(window.page.shownBooks.rowCount(), 0);
        QVERIFY(window.statistics().startsWith("1 шт.\n3 шт.\n1 шт.\n"));
        // The files stay on disk.
        for (const QString &path : paths)
            QVERIFY(QFile::exists(path));

        // The last book: the list loses its headers and its panel.
        Window::selectRows(window.pathList(), 0, 0);
        QTest::keyClick(window.pathList(), Qt::Key_Delete);
        QCOMPARE(window.dialogs.shown.last().text, QString("Вы действительно хотите удалить выделенный файл?"));
        QCOMPARE(window.page.books.rowCount(), 0);
        QVERIFY(!window.page.books.hasHeader());
        QVERIFY(!window.shown("pathpanel"));
    }

    void theEditingPagesFileListIgnoresDelete()
    {
        Window window(true);
        window.page.books.appendRows(readerBooks("/media/u/READER/"));
        window.mainWindow.refreshStatistics(*window.widget);
        window.dialogs.shown.clear();
        Window::selectRows(window.pathList(), 0, 1);
        QTest::keyClick(window.pathList(), Qt::Key_Delete);
        QVERIFY(window.dialogs.shown.isEmpty());
        QCOMPARE(window.page.books.rowCount(), 3);
    }

    void doubleClickOpensTheBook_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::newRow("creation page") << false;
        QTest::newRow("editing page") << true;
    }

    void doubleClickOpensTheBook()
    {
        QFETCH(bool, editing);
        Window window(editing);
        const QString present = window.book("fb2/minimal.fb2", "Книги/present.fb2");
        const QString gone = window.book("fb2/meta.fb2", "Книги/gone.fb2");
        window.page.books.appendRows({BookRow{.full_path = present}, BookRow{.full_path = gone}});
        window.mainWindow.refreshStatistics(*window.widget);
        window.dialogs.shown.clear();
        QVERIFY(QFile::remove(gone));

        Window::doubleClick(window.pathList(), 0);
        Window::doubleClick(window.pathList(), 1);

        QCOMPARE(window.fileOpener.opened, QStringList{present});
        QVERIFY(window.dialogs.shown.isEmpty());
    }

    // The reader came back under another root after its library was loaded: a double click on
    // the editing page opens the book where the reader is now.
    void doubleClickFindsTheBookOnTheReaderAttachedNow()
    {
        Window window(true);
        const QString relative = QDir::toNativeSeparators("Sony_Reader/media/books/book.fb2");
        const QString loadedFrom = QDir::toNativeSeparators(window.folder.filePath("E")) + QDir::separator();
        const QString now = QDir::toNativeSeparators(window.folder.filePath("F")) + QDir::separator();
        window.book("fb2/minimal.fb2", "F/Sony_Reader/media/books/book.fb2");
        window.book("fb2/minimal.fb2", "F/Sony_Reader/database/books.db");
        window.page.reader.deviceRoot = loadedFrom;
        window.page.books.appendRows({BookRow{.full_path = loadedFrom + relative}});
        window.mainWindow.refreshStatistics(*window.widget);
        window.dialogs.shown.clear();
        window.volumes.setRoots({QDir::rootPath(), now});

        Window::doubleClick(window.pathList(), 0);

        QCOMPARE(window.fileOpener.opened, QStringList{now + relative});
    }

    void headerClickWaitsForTheIntake()
    {
        Window window;
        window.addFolder(window.library());
        const QString more = window.book("fb2/example.fb2", "Ещё/b.fb2");
        window.book("fb2/writer.fb2", "Ещё/a.fb2");
        window.book("fb2/minimal.fb2", "Ещё/c.fb2");
        const QStringList before = window.fullPaths();

        // Clicks on the header while the size pass walks the rows.
        bool clicked = false;
        std::function<void()> clickDuringSizes = [&] {
            if (window.progress.mainPosition < 15) {
                window.progress.onEvents = clickDuringSizes;
                return;
            }
            clicked = true;
            Window::clickHeader(window.pathList(), FullPathColumn);
            Window::clickHeader(window.pathList(), FullPathColumn);
        };
        window.progress.onEvents = clickDuringSizes;
        window.addFolder(QFileInfo(more).absolutePath());

        QVERIFY(clicked);
        const QStringList after = window.fullPaths();
        QCOMPARE(after.mid(0, before.size()), before);
        QCOMPARE(after.size(), before.size() + 3);
        for (const BookRow &book : window.page.books.rows()) {
            QVERIFY2(!book.file_size.isEmpty() && !book.added_date.isEmpty(), qPrintable(book.full_path));
            QVERIFY2(!book.mime_type.isEmpty(), qPrintable(book.full_path));
        }

        // Once the intake has ended, the header sorts again, one way and then the other.
        Window::clickHeader(window.pathList(), FullPathColumn);
        const QStringList ascending = window.fullPaths();
        Window::clickHeader(window.pathList(), FullPathColumn);
        QStringList descending = window.fullPaths();
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(descending, ascending);
        QVERIFY(ascending != after || window.fullPaths() != after);
    }

    void resizingLaysOutBothPagesWhicheverIsShown_data()
    {
        QTest::addColumn<int>("shownPage");
        QTest::addColumn<QSize>("size");
        QTest::newRow("creation page shown, minimum") << 0 << QSize(800, 600);
        QTest::newRow("editing page shown, minimum") << 1 << QSize(800, 600);
        QTest::newRow("editing page shown, odd width") << 1 << QSize(1001, 700);
    }

    void resizingLaysOutBothPagesWhicheverIsShown()
    {
        QFETCH(int, shownPage);
        QFETCH(QSize, size);
        Window window(shownPage == 1);
        QCOMPARE(window.mainWindow.pager()->currentIndex(), shownPage);
        window.mainWindow.resize(size);
        QTRY_COMPARE(window.mainWindow.size(), size);

        const QWidget *page = window.mainWindow.pager()->currentPage();
        const PanelLayout expected = panelLayout(page->width(), page->height(), 259);
        for (const char *prefix : {"", "e"}) {
            QCOMPARE(window.mainWindow.findChild<QWidget *>(QString(prefix) + "pathpanel")->geometry(),
                     expected.pathPanel);
            QCOMPARE(window.mainWindow.findChild<QWidget *>(QString(prefix) + "collectionpanel")->geometry(),
                     expected.collectionPanel);
            QCOMPARE(window.mainWindow.findChild<QWidget *>(QString(prefix) + "bookpanel")->geometry(),
                     expected.bookPanel);
            QCOMPARE(window.mainWindow.findChild<QWidget *>(QString(prefix) + "infopanel")->height(), page->height());
        }
    }
};

QTEST_MAIN(TestFileListGui)
#include "test_file_list_gui.moc"
