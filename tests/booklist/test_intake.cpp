#include "booklist/book_intake.h"
#include "booklist/book_table.h"
#include "booklist/book_table_layout.h"
#include "booklist/duplicate_books.h"
#include "support/fixed_clock.h"
#include "support/recording_progress.h"
#include "support/windows1251_names.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <optional>

#include <sys/stat.h>

namespace {
void writeFile(const QString &path, const QByteArray &bytes = "book")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool isBookName(const QString &name)
{
    const QString upper = name.toUpper();
    return upper.endsWith(".PDF") || upper.endsWith(".FB2") || upper.endsWith(".TXT") || upper.endsWith(".EPUB");
}

// The book files below `folder` in the order the file system lists them, depth first.
QStringList booksInDirectoryOrder(const QString &folder)
{
    QStringList paths;
    for (const auto &entry : std::filesystem::directory_iterator(folder.toStdString())) {
        const QString path = QString::fromStdString(entry.path().string());
        if (entry.is_symlink())
            continue;
        if (entry.is_directory())
            paths += booksInDirectoryOrder(path);
        else if (isBookName(QFileInfo(path).fileName()))
            paths << path;
    }
    return paths;
}

QStringList column(const BookTable &books, int column)
{
    QStringList values;
    for (int row = 0; row < books.rowCount(); ++row)
        values << books.cellText(row, column);
    return values;
}
} // namespace

class TestIntake : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    RecordingProgress m_progress;
    FixedClock m_clock{QDateTime(QDate(2024, 3, 1), QTime(12, 0))};

    QString path(const QString &relative) const { return m_dir->filePath(relative); }

    QStringList intake(BookTable &books, const QStringList &paths)
    {
        BookIntake bookIntake(books, m_progress, m_clock);
        bookIntake.open();
        for (const QString &added : paths)
            bookIntake.addPath(added);
        return bookIntake.finish();
    }

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        m_progress = RecordingProgress();
    }

    void scanIsDepthFirstInDirectoryOrder()
    {
        for (const char *name : {"Lib/a.fb2", "Lib/m/x.pdf", "Lib/m/deep/y.txt", "Lib/m/deep/y2.txt", "Lib/b.epub",
                                 "Lib/z/z.fb2", "Lib/c.txt", "Lib/m/w.fb2", "Lib/k/k1.pdf", "Lib/k/k2.pdf"})
            writeFile(path(name));
        BookTable books;
        intake(books, {path("Lib")});
        QCOMPARE(column(books, FullPathColumn), booksInDirectoryOrder(path("Lib")));

        // A sub-folder's rows lie together where the sub-folder was listed.
        const QStringList paths = column(books, FullPathColumn);
        const auto first = paths.indexOf(path("Lib/m/deep/y.txt"));
        QCOMPARE(qAbs(paths.indexOf(path("Lib/m/deep/y2.txt")) - first), 1);
        for (const QString &row : paths)
            QVERIFY(!row.contains("//"));
        QCOMPARE(books.cellText(0, RootColumn), path("Lib"));
        const int deep = int(paths.indexOf(path("Lib/m/deep/y.txt")));
        QCOMPARE(books.cellText(deep, RelativePathColumn), QString("Lib/m/deep/y.txt"));
        QCOMPARE(books.cellText(deep, DisplayNameColumn), QString("y"));
        QCOMPARE(books.cellText(deep, FileNameColumn), QString("y.txt"));
    }

    void hiddenEntriesAndExtensionCases()
    {
        for (const char *name : {"L/.hidden.fb2", "L/.secret/in.pdf", "L/A.PdF", "L/b.Epub", "L/e.TXT", "L/c.fb2.zip",
                                 "L/d.epub2", "L/noext", "L/f.fb", "L/g.doc"})
            writeFile(path(name));
        BookTable books;
        intake(books, {path("L")});
        QStringList names = column(books, FileNameColumn);
        names.sort();
        QCOMPARE(names, QStringList({".hidden.fb2", "A.PdF", "b.Epub", "e.TXT", "in.pdf"}));
        const int pdf = int(column(books, FileNameColumn).indexOf("A.PdF"));
        QCOMPARE(books.cellText(pdf, MimeTypeColumn), QString("application/pdf"));
    }

    void folderNamedLikeABookIsScanned()
    {
        writeFile(path("L/x.fb2/inner.pdf"));
        BookTable books;
        const QStringList unreadable = intake(books, {path("L/x.fb2")});
        QVERIFY(unreadable.isEmpty());
        QCOMPARE(column(books, FullPathColumn), QStringList{path("L/x.fb2/inner.pdf")});
        QCOMPARE(books.cellText(0, RelativePathColumn), QString("x.fb2/inner.pdf"));
    }

    void pathsThatAreNeitherBookNorFolderAddNothing()
    {
        writeFile(path("notes.doc"));
        writeFile(path("real.fb2"));
        QVERIFY(::mkfifo(QFile::encodeName(path("pipe.fb2")).constData(), 0600) == 0);
        QVERIFY(QFile::link(path("gone.fb2"), path("broken.fb2")));
        BookTable books;
        const QStringList unreadable = intake(books, {path("missing.fb2"), path("missing folder"), path("notes.doc"),
                                                      path("pipe.fb2"), path("broken.fb2"), QString()});
        QVERIFY(unreadable.isEmpty());
        QCOMPARE(books.rowCount(), 0);
        QVERIFY(!books.hasHeader());
        QCOMPARE(books.columnWidth(FullPathColumn), 400);
        QVERIFY(!m_progress.visible);

        // A scan skips them too, and takes the real book beside them.
        intake(books, {m_dir->path()});
        QCOMPARE(column(books, FileNameColumn), QStringList{"real.fb2"});
    }

    void symbolicLinksToFoldersAreNotFollowed()
    {
        writeFile(path("L/sub/a.fb2"));
        QVERIFY(QFile::link(path("L"), path("L/sub/loop")));
        QVERIFY(QFile::link(path("L/sub/a.fb2"), path("L/link.fb2")));
        BookTable books;
        intake(books, {path("L")});
        QStringList names = column(books, FullPathColumn);
        names.sort();
        QCOMPARE(names, QStringList({path("L/link.fb2"), path("L/sub/a.fb2")}));
    }

    void namesThatAreNotUtf8AreReportedNotDropped()
    {
#ifndef Q_OS_UNIX
        QSKIP("file names are always text on this system");
#else
        // Qt cannot remove what it cannot name; the system's calls clear the folder.
        const auto removeFolder = qScopeGuard([&] { removeTreeOfAnyNames(path("L")); });
        writeFile(path("L/ok.fb2"));
        QVERIFY(makeWindows1251Entry(path("L"), "Книга.fb2"));
        QVERIFY(makeWindows1251Entry(path("L"), "заметки.doc"));
        QVERIFY(makeWindows1251Entry(path("L"), "Папка/"));
        QVERIFY(makeWindows1251Entry(path("L"), "Папка/a.pdf"));
        QVERIFY(makeWindows1251Entry(path("L"), "Папка/notes.doc"));
        writeFile(path("L/sub/fine.txt"));
        QVERIFY(makeWindows1251Entry(path("L/sub"), "Стихи.txt"));
        // A link to a folder is not followed, whatever its name.
        QVERIFY(QFile::link(path("L/sub"), path("L/link")));
        BookTable books;
        BookIntake bookIntake(books, m_progress, m_clock);
        bookIntake.open();
        bookIntake.addPath(path("L"));
        QVERIFY(bookIntake.finish().isEmpty());

        QStringList added = column(books, FullPathColumn);
        added.sort();
        QCOMPARE(added, (QStringList{path("L/ok.fb2"), path("L/sub/fine.txt")}));
        QStringList reported = bookIntake.undecodableFiles();
        reported.sort();
        QStringList expected{path("L/Книга.fb2"), path("L/Папка/a.pdf"), path("L/sub/Стихи.txt")};
        expected.sort();
        QCOMPARE(reported, expected);
        const QString message = undecodableBooksMessage(reported);
        QVERIFY(message.startsWith("Не удалось добавить файлы книг (3 шт.): их имена или имена их папок записаны не в "
                                   "кодировке UTF-8. Переименуйте их и добавьте снова.\n"));
        QVERIFY(message.endsWith(reported.join('\n')));
        QVERIFY(undecodableBooksMessage({}).isEmpty());
#endif
    }

    void filesAndFoldersAppendInDropOrder()
    {
        writeFile(path("one.fb2"));
        writeFile(path("F/in1.pdf"));
        writeFile(path("two.TXT"));
        BookTable books;
        intake(books, {path("two.TXT"), path("F"), path("one.fb2")});
        QCOMPARE(column(books, FullPathColumn), QStringList({path("two.TXT"), path("F/in1.pdf"), path("one.fb2")}));
        QCOMPARE(column(books, RootColumn), QStringList({m_dir->path(), path("F"), m_dir->path()}));
        const QString top = QFileInfo(m_dir->path()).fileName();
        QCOMPARE(column(books, RelativePathColumn), QStringList({top + "/two.TXT", "F/in1.pdf", top + "/one.fb2"}));
    }

    void addingTheSameFolderTwiceKeepsTheEarlierRows()
    {
        for (const char *name : {"L/a.fb2", "L/s/b.pdf", "L/c.txt"})
            writeFile(path(name));
        BookTable books;
        intake(books, {path("L")});
        const QStringList firstOrder = column(books, FullPathColumn);
        books.setCellText(1, CollectionColumn, "Favourites");
        int removals = 0;
        connect(&books, &QAbstractItemModel::modelReset, this, [&] { ++removals; });
        intake(books, {path("L")});
        QCOMPARE(column(books, FullPathColumn), firstOrder);
        QCOMPARE(books.cellText(1, CollectionColumn), QString("Favourites"));
        QCOMPARE(removals, 1); // all duplicates go in one change
    }

    void pathsDifferingOnlyInCaseAreTheSameBookWhereTheSystemIgnoresCase()
    {
        writeFile(path("L/Book.fb2"));
        writeFile(path("l/book.FB2"));
        writeFile(path("l/other.fb2"));
        BookTable books;
        intake(books, {path("L/Book.fb2"), path("l")});
        QStringList expected{path("L/Book.fb2"), path("l/other.fb2")};
        // Where letter case tells files apart (Linux), the two are both books.
        if (platformPathCase() == Qt::CaseSensitive)
            expected.insert(1, path("l/book.FB2"));
        QStringList paths = column(books, FullPathColumn);
        QCOMPARE(paths.first(), expected.first());
        paths.sort();
        expected.sort();
        QCOMPARE(paths, expected);
    }

    void duplicatesByTheComparisonAsked_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<bool>("ignoringCase");
        QTest::addColumn<QStringList>("kept");
        const QStringList paths{"/l/Book.fb2",  "/l/book.fb2",  "/l/Book.fb2",
                                "/L/КНИГА.txt", "/L/книга.txt", "/l/a.pdf"};
        QTest::newRow("exact, as on Linux")
            << paths << false << QStringList{"/l/Book.fb2", "/l/book.fb2", "/L/КНИГА.txt", "/L/книга.txt", "/l/a.pdf"};
        QTest::newRow("ignoring case, as on Windows")
            << paths << true << QStringList{"/l/Book.fb2", "/L/КНИГА.txt", "/l/a.pdf"};
    }

    void duplicatesByTheComparisonAsked()
    {
        QFETCH(QStringList, paths);
        QFETCH(bool, ignoringCase);
        BookTable books;
        for (const QString &path : paths)
            books.appendRow(BookRow{.full_path = path, .collection = path.right(5)});
        removeDuplicateBooks(books, ignoringCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
        QTEST(column(books, FullPathColumn), "kept");
        QCOMPARE(books.row(0).collection, QString("k.fb2"));
    }

    void finishLaysOutTheTableOnlyWithRows()
    {
        BookTable books;
        QDir().mkpath(path("empty"));
        intake(books, {path("empty")});
        QVERIFY(!books.hasHeader());
        const QList<int> widths{400, 300, 0, 100, 200, 0, 0, 0, 0, 0, 0, 0, 0};
        for (int c = 0; c < BookColumnCount; ++c)
            QCOMPARE(books.columnWidth(c), widths[c]);

        writeFile(path("a.epub"));
        intake(books, {path("a.epub")});
        QCOMPARE(books.headerTexts(), bookTableHeaderTexts());
        QCOMPARE(books.headerTexts().size(), 11);
        QCOMPARE(books.headerTexts().first(), QString("Полный путь к файлу"));
        QCOMPARE(books.headerTexts().last(), QString("mime_type"));
        QCOMPARE(books.headerData(CollectionColumn, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Коллекция"));
        QVERIFY(books.headerAlignment(CollectionColumn) & Qt::AlignHCenter);
        QVERIFY(books.headerData(RelativePathColumn, Qt::Horizontal, Qt::DisplayRole).toString().isEmpty());
    }

    void progressOfAnIntake()
    {
        writeFile(path("L/a.fb2"), "<author><first-name>A</first-name></author>");
        writeFile(path("L/b.pdf"));
        BookTable books;
        intake(books, {path("L")});
        const QStringList expected{
            "max main 30", "pos item 0", "caption item ", "pos main 5", "caption main Идет загрузка файлов...", "show",
            "repaint window",
            // one event turn after each appended file
            "events", "events", "pos main 15", "caption main Получаю размер файлов...", "repaint window", "max item 2",
            "pos item 0", "caption item ", "pos item 1", "caption item Книга №1 из 2", "repaint item caption", "events",
            "pos item 2", "caption item Книга №2 из 2", "repaint item caption", "events", "pos main 25",
            "caption main Получаю данные о книгах...", "repaint window", "max item 2", "pos item 0", "caption item ",
            "pos item 1", "caption item Книга №1 из 2", "repaint item caption", "events", "pos item 2",
            "caption item Книга №2 из 2", "repaint item caption", "events", "pos main 30", "repaint window",
            "pos main 30", "hide"};
        QCOMPARE(m_progress.calls, expected);
    }

    void progressOfAnEmptyIntake()
    {
        QDir().mkpath(path("empty"));
        BookTable books;
        intake(books, {path("empty")});
        const QStringList expected{"max main 30",
                                   "pos item 0",
                                   "caption item ",
                                   "pos main 5",
                                   "caption main Идет загрузка файлов...",
                                   "show",
                                   "pos main 15",
                                   "caption main Получаю размер файлов...",
                                   "max item 0",
                                   "pos item 0",
                                   "caption item ",
                                   "pos main 25",
                                   "caption main Получаю данные о книгах...",
                                   "max item 0",
                                   "pos item 0",
                                   "caption item ",
                                   "pos main 30",
                                   "pos main 30",
                                   "hide"};
        QCOMPARE(m_progress.states(), expected);
        QVERIFY(!m_progress.calls.contains("events"));
        QCOMPARE(m_progress.itemMaximum, 0);
        QVERIFY(!m_progress.visible);
        QCOMPARE(books.rowCount(), 0);
    }

    void aScanReachesTheViewsInOneInsertion()
    {
        for (int i = 0; i < 60; ++i)
            writeFile(path(QString("L/d%1/b%2.txt").arg(i % 4).arg(i)));
        BookTable books;
        QAbstractItemModelTester tester(&books, QAbstractItemModelTester::FailureReportingMode::QtTest);
        int insertions = 0;
        connect(&books, &QAbstractItemModel::rowsInserted, this, [&] { ++insertions; });
        intake(books, {path("L")});
        QCOMPARE(books.rowCount(), 60);
        QCOMPARE(insertions, 1);
    }

    void unreadableBooksAreSkippedAndNamedOnce()
    {
        writeFile(path("L/kept.pdf"), "12345");
        writeFile(path("L/gone.fb2"), "<book-title>T</book-title>");
        writeFile(path("L/gone.pdf"), "x");
        BookTable books;
        QCOMPARE(intake(books, {path("L")}), QStringList());
        for (int row = 0; row < books.rowCount(); ++row)
            books.setCellText(row, FileSizeColumn, "777");
        QVERIFY(QFile::remove(path("L/gone.fb2")));
        QVERIFY(QFile::remove(path("L/gone.pdf")));

        m_progress = RecordingProgress();
        QStringList unreadable = intake(books, {});
        unreadable.sort();
        QCOMPARE(unreadable, QStringList({path("L/gone.fb2"), path("L/gone.pdf")}));
        QVERIFY(!m_progress.visible);
        QCOMPARE(m_progress.calls.last(), QString("hide"));
        const QStringList paths = column(books, FullPathColumn);
        QCOMPARE(books.cellText(int(paths.indexOf(path("L/kept.pdf"))), FileSizeColumn), QString("5"));
        QCOMPARE(books.cellText(int(paths.indexOf(path("L/gone.pdf"))), FileSizeColumn), QString("777"));
        QCOMPARE(books.cellText(int(paths.indexOf(path("L/gone.fb2"))), TitleColumn), QString("T"));

        const QString message = unreadableBooksMessage(unreadable);
        QVERIFY(message.startsWith("Не удалось прочитать файлы книг (2 шт.)"));
        QVERIFY(message.contains(path("L/gone.fb2")) && message.contains(path("L/gone.pdf")));
        QVERIFY(unreadableBooksMessage({}).isEmpty());
    }

    void longListOfUnreadableBooksIsShortened()
    {
        QStringList files;
        for (int i = 0; i < 25; ++i)
            files << QString("/b/%1.fb2").arg(i);
        const QString message = unreadableBooksMessage(files);
        QVERIFY(message.contains("/b/19.fb2"));
        QVERIFY(!message.contains("/b/20.fb2"));
        QVERIFY(message.endsWith("… и еще 5"));
    }
};

QTEST_GUILESS_MAIN(TestIntake)
#include "test_intake.moc"
