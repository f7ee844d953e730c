#include "collections/file_list_editing.h"
#include "support/page_columns.h"
#include "support/recording_file_opener.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {
// Books 0..4: two in A, one in B, one in none, one more in A; A counts 5 as a hand-edited
// list may, B counts 1.
void fill(LibraryPage &page)
{
    const QStringList collections{"A", "B", "", "A", "A"};
    QVector<BookRow> books;
    for (int i = 0; i < collections.size(); ++i)
        books.append(BookRow{.full_path = QString("/l/book%1.fb2").arg(i),
                             .collection = collections[i],
                             .file_size = "100",
                             .title = QString("Книга %1").arg(i)});
    page.books.appendRows(books);
    page.books.setHeaderTexts({"Полный путь к файлу", "Коллекция"});
    page.collections.appendRows({{"A", "5", {}}, {"B", "1", {}}});
}

QStringList paths(const LibraryPage &page)
{
    return fieldTexts(page.books, &BookRow::full_path);
}

QStringList counts(const LibraryPage &page)
{
    return fieldTexts(page.collections, &CollectionRow::book_count);
}
} // namespace

class TestFileListEditing : public QObject
{
    Q_OBJECT
private slots:
    void deleteCountsDownEachCollectionOncePerBook()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        fill(page);
        ScriptedDialogs dialogs;

        // Rows 0 to 2: a book of A, one of B and one in no collection.
        const PageUpdate update = removeFileListRows(page, dialogs, 0, 3);

        QCOMPARE(dialogs.shown.size(), 1);
        QCOMPARE(dialogs.shown[0].caption, QString("Подтверждение удаления файлов"));
        QCOMPARE(dialogs.shown[0].text, QString("Вы действительно хотите удалить выделенные файлы"));
        QCOMPARE(paths(page), (QStringList{"/l/book3.fb2", "/l/book4.fb2"}));
        QCOMPARE(counts(page), (QStringList{"4", "0"}));
        QCOMPARE(update.selectFileRow, 0);
        QCOMPARE(update.selectCollectionRow, 0);
        QVERIFY(update.rerunStatistics);
        // The first collection is shown with the books it still has.
        QCOMPARE(page.shownBooks.shown_collection_row, 0);
        QCOMPARE(page.shownBooks.rowCount(), 2);
        QCOMPARE(page.shownBooks.row(0).full_path, QString("/l/book3.fb2"));
    }

    void threeBooksOfTwoCollectionsLeaveTheirCounts()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        fill(page);
        // A, then A, A, B selected together.
        page.books.removeRowRange(2, 1);
        QVector<BookRow> rows = page.books.rows();
        std::swap(rows[1], rows[3]);
        page.books.replaceRows(rows);
        ScriptedDialogs dialogs;
        removeFileListRows(page, dialogs, 1, 3);
        QCOMPARE(paths(page), QStringList{"/l/book0.fb2"});
        QCOMPARE(counts(page), (QStringList{"3", "0"}));
    }

    void oneRowAsksTheSingularQuestion()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        fill(page);
        ScriptedDialogs dialogs;
        removeFileListRows(page, dialogs, 1, 1);
        QCOMPARE(dialogs.shown[0].text, QString("Вы действительно хотите удалить выделенный файл?"));
        QCOMPARE(counts(page), (QStringList{"5", "0"}));
    }

    void noChangesNothing()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        fill(page);
        const QVector<BookRow> books = page.books.rows();
        ScriptedDialogs dialogs;
        dialogs.confirmAnswers.enqueue(false);
        const PageUpdate update = removeFileListRows(page, dialogs, 0, 2);
        QCOMPARE(page.books.rows(), books);
        QCOMPARE(counts(page), (QStringList{"5", "1"}));
        QVERIFY(!update.rerunStatistics);
    }

    void deletingEveryRowClearsTheHeaders()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        fill(page);
        page.collections.clear();
        ScriptedDialogs dialogs;
        const PageUpdate update = removeFileListRows(page, dialogs, 0, 5);
        QCOMPARE(page.books.rowCount(), 0);
        QVERIFY(!page.books.hasHeader());
        QCOMPARE(update.selectFileRow, -1);
        QCOMPARE(update.selectCollectionRow, -1);
        QVERIFY(update.rerunStatistics);
    }

    void aBookInNoCollectionLeavesAnUnnamedCollectionAlone()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        fill(page);
        // A collection renamed to nothing keeps its count; the book in none is not its member.
        page.collections.appendRow({"", "2", {}});
        ScriptedDialogs dialogs;
        removeFileListRows(page, dialogs, 2, 1);
        QCOMPARE(counts(page), (QStringList{"5", "1", "2"}));
    }

    void nothingHappensWithoutRowsOrOnTheEditingPage_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<bool>("empty");
        QTest::newRow("empty creation list") << false << true;
        QTest::newRow("editing page") << true << false;
    }

    void nothingHappensWithoutRowsOrOnTheEditingPage()
    {
        QFETCH(bool, editing);
        QFETCH(bool, empty);
        LibraryPage page(editing ? LibraryPage::Kind::Editing : LibraryPage::Kind::Creation);
        if (!empty)
            fill(page);
        const int rows = page.books.rowCount();
        ScriptedDialogs dialogs;
        const PageUpdate update = removeFileListRows(page, dialogs, 0, 1);
        QVERIFY(dialogs.shown.isEmpty());
        QCOMPARE(page.books.rowCount(), rows);
        QVERIFY(!update.rerunStatistics);
    }

    void selectionPastTheLastRowIsClipped()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        fill(page);
        ScriptedDialogs dialogs;
        removeFileListRows(page, dialogs, 4, 3);
        QCOMPARE(dialogs.shown[0].text, QString("Вы действительно хотите удалить выделенный файл?"));
        QCOMPARE(page.books.rowCount(), 4);
    }

    void opensOnlyExistingBookFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opened");
        QTest::newRow("book") << "Книга.fb2" << true;
        QTest::newRow("book kind in capitals") << "REPORT.PDF" << true;
        QTest::newRow("file gone from the disk") << "missing.epub" << false;
        QTest::newRow("folder named like a book") << "folder.epub" << false;
        QTest::newRow("program") << "setup.sh" << false;
        QTest::newRow("link to a book") << "link.txt" << true;
        QTest::newRow("program behind a book's name") << "trap.pdf" << false;
        QTest::newRow("pipe named like a book") << "pipe.txt" << false;
    }

    void opensOnlyExistingBookFiles()
    {
        QFETCH(QString, name);
        QTemporaryDir folder;
        const QString base = folder.path() + "/";
        for (const QString &file : QStringList{"Книга.fb2", "REPORT.PDF", "setup.sh", "real.txt"}) {
            QFile made(base + file);
            QVERIFY(made.open(QIODevice::WriteOnly));
            made.write("x");
        }
        QFile(base + "setup.sh").setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(QDir().mkdir(base + "folder.epub"));
        QVERIFY(QFile::link(base + "real.txt", base + "link.txt"));
        QVERIFY(QFile::link(base + "setup.sh", base + "trap.pdf"));
#ifdef Q_OS_UNIX
        QCOMPARE(mkfifo(QFile::encodeName(base + "pipe.txt").constData(), 0600), 0);
#endif
        LibraryPage page(LibraryPage::Kind::Editing);
        page.books.appendRow(BookRow{.full_path = base + name});
        RecordingFileOpener opener;

        openFileListBook(page, opener, 0);
        openFileListBook(page, opener, 1);
        openFileListBook(page, opener, -1);

        QFETCH(bool, opened);
        QCOMPARE(opener.opened, opened ? QStringList{base + name} : QStringList{});
    }

    // The reader came back under another root since its library was loaded (on Windows, another
    // drive letter): its books are opened where they are now. Other paths stay as they are.
    void aReaderBookOpensWhereTheReaderIsNow()
    {
        QTemporaryDir then;
        QTemporaryDir now;
        const QString relative = "Sony_Reader/media/books/Книга.fb2";
        QVERIFY(QDir().mkpath(now.path() + "/Sony_Reader/media/books"));
        QFile book(now.path() + "/" + relative);
        QVERIFY(book.open(QIODevice::WriteOnly));
        book.write("x");
        book.close();
        QFile elsewhere(now.path() + "/elsewhere.fb2");
        QVERIFY(elsewhere.open(QIODevice::WriteOnly));
        elsewhere.close();

        LibraryPage page(LibraryPage::Kind::Editing);
        page.reader.deviceRoot = then.path() + "/";
        page.books.appendRows(
            {BookRow{.full_path = then.path() + "/" + relative}, BookRow{.full_path = now.path() + "/elsewhere.fb2"}});
        RecordingFileOpener opener;
        openFileListBook(page, opener, 0);
        QVERIFY(opener.opened.isEmpty()); // no reader attached: nothing where it was loaded from
        openFileListBook(page, opener, 0, now.path() + "/");
        openFileListBook(page, opener, 1, now.path() + "/");
        QCOMPARE(opener.opened, QStringList({now.path() + "/" + relative, now.path() + "/elsewhere.fb2"}));
    }
};

QTEST_GUILESS_MAIN(TestFileListEditing)
#include "test_file_list_editing.moc"
