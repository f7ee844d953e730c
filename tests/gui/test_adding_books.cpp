#include "app/library_page_widget.h"
#include "support/window_under_test.h"
#include "support/windows1251_names.h"
#include "test_paths.h"
#include "widgets/grid_view.h"
#include "widgets/page_control.h"

#include <QAbstractButton>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QMimeData>
#include <QScopeGuard>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <functional>
#include <memory>

namespace {
const QString samples = QStringLiteral(TESSALY_SAMPLES_DIR);

struct Window : WindowUnderTest
{
    QTemporaryDir folder;

    LibraryPage &creation() { return mainWindow.creation(); }
    QString path(const QString &relative) const { return QDir::toNativeSeparators(folder.filePath(relative)); }

    // Copies a sample book to `relative` below the temporary folder.
    QString book(const QString &sample, const QString &relative)
    {
        const QString target = folder.filePath(relative);
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!QFile::copy(samples + "/" + sample, target))
            qWarning("cannot copy %s", qPrintable(sample));
        return QDir::toNativeSeparators(target);
    }
    QString emptyFolder(const QString &relative)
    {
        QDir().mkpath(folder.filePath(relative));
        return path(relative);
    }
    QStringList fullPaths()
    {
        QStringList paths;
        for (const BookRow &row : creation().books.rows())
            paths << row.full_path;
        return paths;
    }
    QAbstractButton *button(const char *name) { return mainWindow.findChild<QAbstractButton *>(name); }
    bool pathPanelShown()
    {
        return mainWindow.findChild<QWidget *>("pathpanel")->isVisibleTo(mainWindow.creatorpage());
    }
    bool headerShown()
    {
        auto *grid = mainWindow.findChild<GridView *>("PathList");
        return grid->horizontalHeader()->isVisibleTo(grid);
    }
};

std::unique_ptr<QMimeData> urlsOf(const QStringList &paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

// Drags `paths` over the main window and drops them, as the file manager does; true when
// the window took the drop.
bool drop(MainWindow &mainWindow, const QStringList &paths)
{
    const std::unique_ptr<QMimeData> data = urlsOf(paths);
    QDragEnterEvent enter(QPoint(400, 300), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(&mainWindow, &enter);
    QDropEvent event(QPointF(400, 300), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    event.setAccepted(false);
    QApplication::sendEvent(&mainWindow, &event);
    return enter.isAccepted() && event.isAccepted();
}

// What the progress window shows through an intake whose passes go over `count` rows.
QStringList intakeStates(int count)
{
    QStringList states{
        "max main 30", "pos item 0", "caption item ", "pos main 5", "caption main Идет загрузка файлов...", "show"};
    const auto pass = [&](int position, const QString &caption) {
        states << QString("pos main %1").arg(position) << "caption main " + caption << QString("max item %1").arg(count)
               << "pos item 0"
               << "caption item ";
        for (int i = 1; i <= count; ++i)
            states << QString("pos item %1").arg(i) << QString("caption item Книга №%1 из %2").arg(i).arg(count);
    };
    pass(15, "Получаю размер файлов...");
    pass(25, "Получаю данные о книгах...");
    states << "pos main 30"
           << "pos main 30"
           << "hide";
    return states;
}
} // namespace

class TestAddingBooks : public QObject
{
    Q_OBJECT
private slots:
    void addFileButtonAddsTheChosenBook()
    {
        Window window;
        const QString book = window.book("fb2/meta.fb2", "Books/Fiction/meta.fb2");
        window.dialogs.fileAnswers.enqueue(book);
        QTest::mouseClick(window.button("AddFileButton"), Qt::LeftButton);

        QCOMPARE(window.dialogs.shown.first().kind, QString("openFile"));
        QCOMPARE(window.dialogs.shown.first().text, QString("Все поддерживаемые файлы|*.pdf;*.fb2;*.txt;*.epub"));
        QCOMPARE(window.fullPaths(), QStringList(book));
        const BookRow &row = window.creation().books.row(0);
        QCOMPARE(row.relative_path, QDir::toNativeSeparators("Fiction/meta.fb2"));
        QCOMPARE(row.title, QString("Book title"));
        QCOMPARE(window.progress.states(), intakeStates(1));
        QVERIFY(!window.progress.visible);
        QVERIFY(window.pathPanelShown());
        QVERIFY(window.headerShown());
        QCOMPARE(window.creation().books.headerTexts().value(0), QString("Полный путь к файлу"));
        QVERIFY(window.mainWindow.findChild<QWidget *>("addcollectionbutton")
                    ->isVisibleTo(window.mainWindow.creatorpage()));
    }

    void cancelledDialogsChangeNothing()
    {
        Window window;
        QTest::mouseClick(window.button("AddFileButton"), Qt::LeftButton);
        QTest::mouseClick(window.button("AddDirButton"), Qt::LeftButton);
        QCOMPARE(window.dialogs.shown.size(), 2);
        QCOMPARE(window.dialogs.shown.last().kind, QString("browseForFolder"));
        QCOMPARE(window.dialogs.shown.last().caption, QString("Укажите папку с книгами"));
        QVERIFY(window.progress.calls.isEmpty());
        QCOMPARE(window.creation().books.rowCount(), 0);
    }

    void addDirButtonScansTheChosenFolder()
    {
        Window window;
        window.book("txt/Зимнее утро.txt", "Poems/Зимнее утро.txt");
        window.book("epub/test.epub", "Poems/Deeper/test.epub");
        window.dialogs.folderAnswers.enqueue(window.path("Poems"));
        QTest::mouseClick(window.button("AddDirButton"), Qt::LeftButton);

        QCOMPARE(window.creation().books.rowCount(), 2);
        QVERIFY(window.fullPaths().contains(window.path("Poems/Deeper/test.epub")));
        for (const BookRow &row : window.creation().books.rows()) {
            QCOMPARE(row.root, window.path("Poems"));
            QVERIFY(row.relative_path.startsWith(QString("Poems") + QDir::separator()));
        }
        QCOMPARE(window.progress.states(), intakeStates(2));
        QCOMPARE(window.progress.calls.count("events"), 2 + 2 * 2);
    }

    void emptyFolderStillOpensAndClosesTheProgressWindow()
    {
        Window window;
        window.dialogs.folderAnswers.enqueue(window.emptyFolder("Nothing"));
        QTest::mouseClick(window.button("AddDirButton"), Qt::LeftButton);

        QCOMPARE(window.progress.states(), intakeStates(0));
        QCOMPARE(window.progress.calls.first(), QString("max main 30"));
        QVERIFY(window.progress.calls.contains("show"));
        QCOMPARE(window.progress.calls.last(), QString("hide"));
        QCOMPARE(window.progress.itemMaximum, 0);
        QVERIFY(!window.progress.visible);
        QCOMPARE(window.creation().books.rowCount(), 0);
        QVERIFY(!window.headerShown());
        QVERIFY(!window.pathPanelShown());
        QVERIFY(!window.creation().books.hasHeader());
    }

    void droppedFilesAndFoldersAppendInDropOrder()
    {
        Window window;
        const QString first = window.book("fb2/minimal.fb2", "Drop/First/one.fb2");
        const QString single = window.book("pdf/project-history.en.pdf", "Drop/b.PDF");
        const QString nested = window.book("epub/test.epub", "Drop/Second/Sub/two.epub");
        window.book("fb2/badfile.zip", "Drop/Second/skipped.zip");
        const QString notABook = window.book("fb2/badfile.zip", "Drop/notes.zip");

        QVERIFY(drop(window.mainWindow, {window.path("Drop/First"), single, notABook, window.path("Drop/Second")}));
        QTRY_COMPARE(window.creation().books.rowCount(), 3);
        QCOMPARE(window.fullPaths(), QStringList({first, single, nested}));
        const QVector<BookRow> &rows = window.creation().books.rows();
        QCOMPARE(rows.at(0).relative_path, QDir::toNativeSeparators("First/one.fb2"));
        QCOMPARE(rows.at(1).relative_path, QDir::toNativeSeparators("Drop/b.PDF"));
        QCOMPARE(rows.at(1).root, window.path("Drop"));
        QCOMPARE(rows.at(2).relative_path, QDir::toNativeSeparators("Second/Sub/two.epub"));
        QCOMPARE(window.progress.states(), intakeStates(3));

        // The same folder dropped again adds nothing new.
        QVERIFY(drop(window.mainWindow, {window.path("Drop/First")}));
        QTRY_VERIFY(window.progress.calls.count("hide") == 2);
        QCOMPARE(window.fullPaths(), QStringList({first, single, nested}));
    }

    // Books whose names are not UTF-8 cannot be added; the user is told once, with the books
    // that could not be read.
    void booksNamedOutsideUtf8AreReportedOnce()
    {
#ifndef Q_OS_UNIX
        QSKIP("file names are always text on this system");
#else
        Window window;
        const QString books = window.emptyFolder("Старые");
        const auto removeFolder = qScopeGuard([&] { removeTreeOfAnyNames(books); });
        window.book("fb2/minimal.fb2", "Старые/ok.fb2");
        QVERIFY(makeWindows1251Entry(books, "Роман.fb2"));
        QVERIFY(makeWindows1251Entry(books, "Повесть.txt"));
        window.dialogs.folderAnswers.enqueue(books);

        QTest::mouseClick(window.button("AddDirButton"), Qt::LeftButton);

        QCOMPARE(window.fullPaths(), QStringList{window.path("Старые/ok.fb2")});
        const QStringList messages = window.dialogs.messages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().startsWith("Не удалось добавить файлы книг (2 шт.)"));
        QVERIFY(messages.first().contains(window.path("Старые/Роман.fb2")));
        QVERIFY(messages.first().contains(window.path("Старые/Повесть.txt")));
#endif
    }

    void dropsAreIgnoredOnTheEditingPage()
    {
        Window window;
        const QString book = window.book("fb2/minimal.fb2", "one.fb2");
        window.mainWindow.pager()->setCurrentIndex(1);
        QCOMPARE(window.mainWindow.pager()->currentIndex(), 1);

        QVERIFY(!drop(window.mainWindow, {book}));
        // Nor does a drop taken just before the switch add anything once it runs.
        window.mainWindow.addDroppedPaths({book});
        QCoreApplication::processEvents();
        QVERIFY(window.progress.calls.isEmpty());
        QCOMPARE(window.creation().books.rowCount(), 0);
        QCOMPARE(window.mainWindow.editing().books.rowCount(), 0);
    }

    void nothingElseStartsWhileAnIntakeRuns()
    {
        Window window;
        window.book("fb2/minimal.fb2", "Busy/one.fb2");
        const QString other = window.book("fb2/meta.fb2", "Other/two.fb2");
        window.dialogs.folderAnswers.enqueue(window.path("Busy"));
        window.dialogs.folderAnswers.enqueue(window.path("Other"));
        window.dialogs.fileAnswers.enqueue(other);
        bool dropTaken = true;
        window.progress.onEvents = [&] {
            QVERIFY(window.mainWindow.longOperationRunning());
            window.mainWindow.addBookFolder();
            window.mainWindow.addBookFile();
            dropTaken = drop(window.mainWindow, {other});
            window.mainWindow.pager()->setCurrentIndex(1);
        };
        QTest::mouseClick(window.button("AddDirButton"), Qt::LeftButton);
        QCoreApplication::processEvents();

        QVERIFY(!dropTaken);
        QCOMPARE(window.dialogs.shown.size(), 1); // neither the second picker nor the mode question
        QCOMPARE(window.mainWindow.pager()->currentIndex(), 0);
        QCOMPARE(window.fullPaths(), QStringList(window.path("Busy/one.fb2")));
        QCOMPARE(window.progress.calls.count("show"), 1);
        QVERIFY(!window.mainWindow.longOperationRunning());

        // Once it has ended, the next one starts.
        QTest::mouseClick(window.button("AddDirButton"), Qt::LeftButton);
        QCOMPARE(window.creation().books.rowCount(), 2);
    }
};

QTEST_MAIN(TestAddingBooks)
#include "test_adding_books.moc"
