#include "collections/library_page.h"
#include "collections/statistics.h"

#include <QTest>

namespace {
BookRow book(const QString &path, const QString &collection, const QString &size)
{
    return BookRow{.full_path = path, .collection = collection, .file_size = size};
}

void addCollections(LibraryPage &page, const QStringList &names)
{
    QVector<CollectionRow> rows;
    for (const QString &name : names)
        rows.append({name, QStringLiteral("0"), {}});
    page.collections.appendRows(rows);
}

QString lines(const QStringList &values)
{
    return values.join(QStringLiteral("\r\n"));
}
} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT
private slots:
    void emptyPageShowsOnlyTheFirstStep()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        const PageStatistics statistics = updateStatistics(page);
        QCOMPARE(statistics.valueText, lines({"0 шт.", "0 шт.", "0 шт.", "0 МБ 0 КБ", "0 МБ 0 КБ"}));
        QCOMPARE(statistics.total_size, 0);
        QVERIFY(!statistics.pathPanelVisible);
        QVERIFY(!statistics.collectionPanelVisible);
        QVERIFY(!statistics.bookPanelVisible);
        QVERIFY(!statistics.stepTwoVisible);
        QVERIFY(!statistics.stepThreeVisible);
        QVERIFY(!statistics.defaultCollectionMessage);
    }

    void workedExample()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        page.books.appendRows({book("/a", "A", "1048576"), book("/b", "B", "524288"), book("/c", "A", "1000"),
                               book("/d", "", "999999999"), book("/e", "", "")});
        addCollections(page, {"A", "B"});
        const PageStatistics statistics = updateStatistics(page);
        QCOMPARE(statistics.valueText, lines({"5 шт.", "2 шт.", "3 шт.", "1 МБ 512 КБ", "0 МБ 600 КБ"}));
        QCOMPARE(statistics.total_size, 1048576 + 524288 + 1000);
        QVERIFY(statistics.pathPanelVisible);
        QVERIFY(statistics.collectionPanelVisible);
        QVERIFY(statistics.stepTwoVisible);
        QVERIFY(statistics.stepThreeVisible);
    }

    void sizeAndThumbnailLines_data()
    {
        QTest::addColumn<QStringList>("sizes");
        QTest::addColumn<QString>("sizeLine");
        QTest::addColumn<QString>("thumbnailLine");
        QTest::addColumn<qint64>("total");
        QTest::newRow("one byte short of a megabyte") << QStringList{"1048575"} << "0 МБ 1023 КБ"
                                                      << "0 МБ 200 КБ" << qint64(1048575);
        QTest::newRow("one megabyte") << QStringList{"1048576"} << "1 МБ 0 КБ"
                                      << "0 МБ 200 КБ" << qint64(1048576);
        QTest::newRow("bytes below a kilobyte are dropped") << QStringList{"1023", "1"} << "0 МБ 1 КБ"
                                                            << "0 МБ 400 КБ" << qint64(1024);
        QTest::newRow("twelve books") << QStringList(12, "0") << "0 МБ 0 КБ"
                                      << "2 МБ 352 КБ" << qint64(0);
        QTest::newRow("2 GiB book counts in full") << QStringList{"2147483648"} << "2048 МБ 0 КБ"
                                                   << "0 МБ 200 КБ" << qint64(2147483648LL);
        QTest::newRow("two books over 4 GiB together") << QStringList{"3000000000", "3000000000"} << "5722 МБ 47 КБ"
                                                       << "0 МБ 400 КБ" << qint64(6000000000LL);
        QTest::newRow("leading zeros and a 19-digit size")
            << QStringList{"0001024", "1000000000000000000"} << "953674316406 МБ 257 КБ"
            << "0 МБ 400 КБ" << qint64(1000000000000001024LL);
        QTest::newRow("long text that is not a number")
            << QStringList{QString(18, QChar(0xFFFF)), "zzzzzzzzzzzzzzzzzz"} << "0 МБ 0 КБ"
            << "0 МБ 400 КБ" << qint64(0);
        QTest::newRow("empty and non-numeric sizes count as nothing")
            << QStringList{"", "12kB", "-5", "2048"} << "0 МБ 2 КБ"
            << "0 МБ 800 КБ" << qint64(2048);
    }

    void sizeAndThumbnailLines()
    {
        QFETCH(QStringList, sizes);
        QFETCH(QString, sizeLine);
        QFETCH(QString, thumbnailLine);
        QFETCH(qint64, total);
        for (const LibraryPage::Kind kind : {LibraryPage::Kind::Creation, LibraryPage::Kind::Editing}) {
            LibraryPage page(kind);
            for (int i = 0; i < sizes.size(); ++i)
                page.books.appendRow(book(QString::number(i), "C", sizes[i]));
            addCollections(page, {"C"});
            const PageStatistics statistics = updateStatistics(page);
            const QString count = QString::number(sizes.size()) + " шт.";
            QCOMPARE(statistics.valueText, lines({count, "1 шт.", count, sizeLine, thumbnailLine}));
            QCOMPARE(statistics.total_size, total);
        }
    }

    void absurdSizesSaturateInsteadOfOverflowing()
    {
        LibraryPage page(LibraryPage::Kind::Editing);
        page.books.appendRows(
            {book("/a", "C", "9223372036854775807"), book("/b", "C", "9223372036854775807"), book("/c", "C", "1")});
        addCollections(page, {"C"});
        QCOMPARE(updateStatistics(page).total_size, std::numeric_limits<qint64>::max());
    }

    void booksOutsideCollectionsCountOnlyInTheFirstLine()
    {
        LibraryPage page(LibraryPage::Kind::Creation);
        page.books.appendRows({book("/a", "", "1048576"), book("/b", "", "not a size")});
        addCollections(page, {"Empty"});
        const PageStatistics statistics = updateStatistics(page);
        QCOMPARE(statistics.valueText, lines({"2 шт.", "1 шт.", "0 шт.", "0 МБ 0 КБ", "0 МБ 0 КБ"}));
        QVERIFY(statistics.collectionPanelVisible);
        QVERIFY(!statistics.bookPanelVisible);
    }

    void withoutCollectionsTheShownBooksAreEmptied()
    {
        for (const LibraryPage::Kind kind : {LibraryPage::Kind::Creation, LibraryPage::Kind::Editing}) {
            LibraryPage page(kind);
            page.books.appendRow(book("/a", "", "10"));
            page.shownBooks.showBookRows({0});
            page.shownBooks.setHeaderTexts({"#", "Название книги", "Имя файла"});
            page.shownBooks.shown_collection_row = 0;
            const PageStatistics statistics = updateStatistics(page);
            QCOMPARE(page.shownBooks.rowCount(), 0);
            QVERIFY(!page.shownBooks.hasHeader());
            QCOMPARE(page.shownBooks.shown_collection_row, -1);
            QVERIFY(!statistics.bookPanelVisible);
            QVERIFY(!statistics.collectionPanelVisible);
            QVERIFY(statistics.pathPanelVisible);
        }
    }

    void visibility_data()
    {
        QTest::addColumn<LibraryPage::Kind>("kind");
        QTest::addColumn<bool>("books");
        QTest::addColumn<bool>("collections");
        QTest::addColumn<bool>("shown");
        // expected: path panel, collection panel, book panel, step 2, step 3, default-collection message
        QTest::addColumn<QList<bool>>("expected");
        using K = LibraryPage::Kind;
        QTest::newRow("creation, nothing")
            << K::Creation << false << false << false << QList<bool>{false, false, false, false, false, false};
        QTest::newRow("creation, books only")
            << K::Creation << true << false << false << QList<bool>{true, false, false, true, false, false};
        QTest::newRow("creation, collections, none shown")
            << K::Creation << true << true << false << QList<bool>{true, true, false, true, true, false};
        QTest::newRow("creation, collection shown")
            << K::Creation << true << true << true << QList<bool>{true, true, true, true, true, false};
        QTest::newRow("creation, collection without books")
            << K::Creation << false << true << false << QList<bool>{false, true, false, false, true, false};
        QTest::newRow("editing, nothing")
            << K::Editing << false << false << false << QList<bool>{false, false, false, true, true, true};
        QTest::newRow("editing, books without collections")
            << K::Editing << true << false << false << QList<bool>{true, false, false, true, true, true};
        QTest::newRow("editing, collection shown")
            << K::Editing << true << true << true << QList<bool>{true, true, true, true, true, false};
        QTest::newRow("editing, collection without books")
            << K::Editing << false << true << false << QList<bool>{false, true, false, true, true, false};
    }

    void visibility()
    {
        QFETCH(LibraryPage::Kind, kind);
        QFETCH(bool, books);
        QFETCH(bool, collections);
        QFETCH(bool, shown);
        QFETCH(QList<bool>, expected);
        LibraryPage page(kind);
        if (books)
            page.books.appendRow(book("/a", collections ? "C" : "", "1"));
        if (collections)
            addCollections(page, {"C"});
        if (shown) {
            page.shownBooks.showBookRows({0});
            page.shownBooks.shown_collection_row = 0;
        }
        const PageStatistics s = updateStatistics(page);
        const QList<bool> actual{s.pathPanelVisible, s.collectionPanelVisible, s.bookPanelVisible,
                                 s.stepTwoVisible,   s.stepThreeVisible,       s.defaultCollectionMessage};
        QCOMPARE(actual, expected);
    }

    void fixedTexts()
    {
        QCOMPARE(statisticsCaptionText(), QString("Общее количество книг:\r\nКоличество коллекций:\r\nКниг в "
                                                  "коллекциях:\r\nОбъем книг в коллекциях:\r\nОбъем превьюшек:"));
        QCOMPARE(defaultCollectionMessageText(),
                 QString("Книги без коллекции устройство автоматически \r\nдобавляет в Коллекцию по умолчанию!"));
    }
};

QTEST_GUILESS_MAIN(TestStatistics)
#include "test_statistics.moc"
