#include "covers/cover_thumbnail.h"
#include "reader/find_reader.h"
#include "support/sync_scene.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {
const QString successText = "Синхронизация успешно завершена! \r\n"
                            "Отключите устройство и можно сразу же приступать к чтению книг.\r\n"
                            "При возникновении ошибки, перезапустите устройство.";
const QString confirmCaption = "Подтверждение синхронизации с устройством";
const QString confirmText = "Сначала на устройстве будут удалены все книги и коллекции. \r\n"
                            "Потом на устройство будут загружены выбранные книги и созданы \r\n"
                            "пользовательские коллекции. Продолжить?";
const QString noReaderText = deviceNotFoundMessage();

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The picture an FB2 book holds under `id`, decoded here without the program's own decoder.
QByteArray embeddedPicture(const QString &book, const QString &id)
{
    const QString text = QString::fromLatin1(fileBytes(book));
    const QRegularExpression binary("<binary[^>]*id=\"" + QRegularExpression::escape(id) + "\"[^>]*>([^<]*)</binary>");
    return QByteArray::fromBase64(binary.match(text).captured(1).toLatin1());
}

// Sub-folders the clearing of `folder` enters: one turn of the event loop each.
int subfolderCount(const QString &folder)
{
    int count = 0;
    QDirIterator entries(folder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        entries.next();
        ++count;
    }
    return count;
}

QStringList repeated(const QString &call, int times)
{
    return QStringList(times, call);
}

QStringList itemCalls(const QString &prefix, int count)
{
    QStringList calls{QString("max item %1").arg(count)};
    for (int i = 1; i <= count; ++i)
        calls << QString("pos item %1").arg(i) << QString("caption item %1%2 из %3").arg(prefix).arg(i).arg(count)
              << "repaint item caption"
              << "events";
    return calls;
}

QStringList phaseCalls(int position, const QString &caption = {})
{
    QStringList calls{QString("pos main %1").arg(position)};
    if (!caption.isEmpty())
        calls << "caption main " + caption;
    return calls << "repaint main caption";
}
} // namespace

class TestCreationSync : public QObject
{
    Q_OBJECT
private slots:
    void writesTheWholeLibrary()
    {
        SyncScene scene;
        scene.addBooks(SyncScene::usualBooks(), {"Пустая"});
        QVector<BookRow> chosen;
        for (const BookRow &book : scene.page.books.rows())
            if (!book.collection.isEmpty())
                chosen << book;
        QCOMPARE(chosen.size(), 5);

        QVERIFY(scene.run());

        QCOMPARE(scene.dialogs.shown.size(), 2);
        QCOMPARE(scene.dialogs.shown.at(0).kind, QString("confirm"));
        QCOMPARE(scene.dialogs.shown.at(0).caption, confirmCaption);
        QCOMPARE(scene.dialogs.shown.at(0).text, confirmText);
        QCOMPARE(scene.dialogs.messages(), QStringList{successText});
        QVERIFY(!scene.progress.visible);

        // The page keeps the books in collections, in their order, as written.
        const QVector<BookRow> &written = scene.page.books.rows();
        QCOMPARE(written.size(), chosen.size());
        QHash<QString, qlonglong> idOf; // by relative path, '/' separated
        for (int i = 0; i < written.size(); ++i) {
            const BookRow &book = written.at(i);
            QCOMPARE(book.full_path, chosen.at(i).full_path);
            QCOMPARE(book.relative_path, chosen.at(i).relative_path);
            QCOMPARE(book.title, QString(chosen.at(i).title).replace('"', '`'));
            QCOMPARE(book.file_name, book.title);
            // Above every id the reader's library gave.
            QCOMPARE(book.root, QString::number(i + 6));
            idOf.insert(QDir::fromNativeSeparators(book.relative_path), book.root.toLongLong());
        }
        QCOMPARE(
            QSet<QString>(idOf.keyBegin(), idOf.keyEnd()),
            QSet<QString>({"Книги/Классика/Война и мир.fb2", "Книги/Классика/Рыбы/test2.1.fb2",
                           "Книги/Документы/history.pdf", "Книги/Документы/Зимнее утро.txt", "Книги/wasteland.epub"}));
        QVector<CollectionRow> collections = scene.page.collections.rows();
        QCOMPARE(collections.size(), 4);
        for (int i = 0; i < collections.size(); ++i)
            QCOMPARE(collections.at(i).record_id, QString::number(i + 4));

        // Every book file at its place, byte for byte; nothing of the old library left.
        QStringList onReader;
        QDirIterator files(scene.booksFolder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext())
            onReader << QDir(scene.booksFolder()).relativeFilePath(files.next());
        onReader.sort();
        QStringList expectedFiles = idOf.keys();
        expectedFiles.sort();
        QCOMPARE(onReader, expectedFiles);
        for (const BookRow &book : written)
            QCOMPARE(fileBytes(scene.booksFolder() + book.relative_path), fileBytes(book.full_path));

        // Every books row that matters.
        const QList<QVariantList> rows =
            sqliteRows(scene.databasePath(), "select _id, title, author, file_path, file_name, file_size, mime_type, "
                                             "thumbnail, added_date, modified_date, reading_time, source_id, "
                                             "prevent_delete from books order by _id");
        QCOMPARE(rows.size(), written.size());
        for (int i = 0; i < rows.size(); ++i) {
            const BookRow &book = written.at(i);
            const QString thumbnail =
                QString("Sony_Reader/database/cache/books/%1/thumbnail/main_thumbnail.jpg").arg(i + 6);
            QCOMPARE(
                rows.at(i),
                (QVariantList{i + 6, book.title, book.author,
                              "Sony_Reader/media/books/" + QDir::fromNativeSeparators(book.relative_path), book.title,
                              book.file_size.bytes(), book.mime_type, thumbnail, book.added_date.toLongLong(),
                              book.modified_date.toLongLong(), book.added_date.toLongLong(), 0, 0}));
            QCOMPARE(QFileInfo(book.full_path).size(), book.file_size.bytes());
        }
        QCOMPARE(sqliteValue(scene.databasePath(), "select title from books where _id = " +
                                                       QString::number(idOf["Книги/Классика/Война и мир.fb2"])),
                 QVariant("Война и мир"));
        QCOMPARE(sqliteRows(scene.databasePath(), "select _id, title from collection order by _id"),
                 (QList<QVariantList>{{4, "Классика"}, {5, "Документы"}, {6, "Поэзия"}, {7, "Пустая"}}));
        QList<QVariantList> members;
        for (const BookRow &book : written)
            members << QVariantList{
                collections.at(scene.page.collections.indexOfName(book.collection)).record_id.toLongLong(),
                book.root.toLongLong()};
        std::sort(members.begin(), members.end(), [](const QVariantList &a, const QVariantList &b) {
            return std::pair(a[0].toLongLong(), a[1].toLongLong()) < std::pair(b[0].toLongLong(), b[1].toLongLong());
        });
        QCOMPARE(sqliteRows(scene.databasePath(),
                            "select collection_id, content_id from collections order by collection_id, content_id"),
                 members);
        QCOMPARE(sqliteRows(scene.databasePath(), "pragma integrity_check"), QList<QVariantList>{{"ok"}});

        // One thumbnail per book: the FB2 covers, the placeholder for the rest.
        QStringList thumbnails;
        QDirIterator pictures(scene.thumbnailsFolder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (pictures.hasNext())
            thumbnails << QDir(scene.thumbnailsFolder()).relativeFilePath(pictures.next());
        QCOMPARE(thumbnails.size(), written.size());
        const auto thumbnailOf = [&](const QString &relative) {
            return fileBytes(scene.thumbnailsFolder() + QString::number(idOf.value(relative)) +
                             "/thumbnail/main_thumbnail.jpg");
        };
        const QByteArray jpegCover = embeddedPicture(samplePath("fb2/example.fb2"), "cover.jpg");
        QCOMPARE(jpegCover.size(), 35140);
        QCOMPARE(thumbnailOf("Книги/Классика/Война и мир.fb2"), jpegCover);
        // The PNG cover is encoded again: a PNG of the cover's size (its pixels are the thumbnail tests' part).
        const QByteArray pngThumbnail = thumbnailOf("Книги/Классика/Рыбы/test2.1.fb2");
        QVERIFY(pngThumbnail.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)));
        QCOMPARE(pngThumbnail.mid(16, 8), embeddedPicture(samplePath("fb2/test2.1.fb2"), "fish1.png").mid(16, 8));
        for (const char *other :
             {"Книги/Документы/history.pdf", "Книги/Документы/Зимнее утро.txt", "Книги/wasteland.epub"})
            QCOMPARE(thumbnailOf(other), placeholderCover());
    }

    void progressRunsThroughEveryStep()
    {
        SyncScene scene;
        scene.addBooks(SyncScene::usualBooks());
        const int clearingThumbnails = subfolderCount(scene.thumbnailsFolder());
        QVERIFY(clearingThumbnails > 0);

        QVERIFY(scene.run());

        QStringList expected{
            "max main 100", "pos item 0",    "caption item ", "pos main 5", "caption main Удаляю книги с устройства...",
            "show",         "repaint window"};
        expected << phaseCalls(10) << phaseCalls(20) << phaseCalls(40, "Копирую книги на устройство...")
                 << itemCalls("Книга №", 5) << phaseCalls(70, "Заношу информацию о книгах в базу...")
                 << phaseCalls(80, "Создаю превью на устройстве...") << itemCalls("Превью №", 5)
                 << QStringList{"pos item 0", "caption item ", "repaint item caption", "events"}
                 << phaseCalls(85, "Формирую список коллекций...") << phaseCalls(90, "Завершаю подготовку базы..");
        // Once the library is committed, what only the old one used is cleared away, a turn per folder.
        const QStringList &calls = scene.progress.calls;
        QCOMPARE(calls.mid(0, expected.size()), expected);
        const QStringList clearing = calls.mid(expected.size(), calls.size() - expected.size() - 3);
        QVERIFY(clearing.size() >= clearingThumbnails);
        QCOMPARE(clearing, repeated("events", int(clearing.size())));
        QCOMPARE(calls.mid(calls.size() - 3), (QStringList{"pos main 100", "message", "hide"}));
    }

    void refusesWithoutChangingAnything_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("message"); // empty: none shown
        QTest::addColumn<bool>("asked");

        QTest::newRow("no reader attached") << "no reader" << noReaderText << false;
        QTest::newRow("the reader is the first volume") << "reader first" << noReaderText << false;
        QTest::newRow("empty file list") << "no books"
                                         << "Нет книг для добавления!" << false;
        QTest::newRow("no book in a collection")
            << "no collection"
            << "Нет книг для добавления или они не добавлены в коллекции!" << false;
        QTest::newRow("answer No") << "No" << QString() << true;
    }

    void refusesWithoutChangingAnything()
    {
        QFETCH(QString, situation);
        QFETCH(QString, message);
        QFETCH(bool, asked);
        SyncScene scene;
        QTemporaryDir plainVolume;
        if (situation != "no books") {
            QList<SceneBook> books = SyncScene::usualBooks();
            if (situation == "no collection")
                for (SceneBook &book : books)
                    book.collection.clear();
            scene.addBooks(books);
        }
        if (situation == "no reader")
            scene.volumes.setRoots({scene.firstVolume.path() + "/", plainVolume.path() + "/"});
        if (situation == "reader first")
            scene.volumes.setRoots({scene.root(), plainVolume.path() + "/"});
        scene.dialogs.confirmAnswers.enqueue(situation != "No");
        const SyncScene::Snapshot before = scene.snapshot();
        const QVector<BookRow> books = scene.page.books.rows();
        const QVector<CollectionRow> collections = scene.page.collections.rows();

        QVERIFY(!scene.run());

        QCOMPARE(scene.dialogs.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(scene.dialogs.shown.size(), int(asked) + int(!message.isEmpty()));
        if (asked)
            QCOMPARE(scene.dialogs.shown.at(0).caption, confirmCaption);
        QCOMPARE(scene.progress.calls, QStringList(message.isEmpty() ? QStringList() : QStringList{"message"}));
        QCOMPARE(scene.page.books.rows(), books);
        QCOMPARE(scene.page.collections.rows(), collections);
        QVERIFY(scene.snapshot() == before);
    }

    // The reader's FAT volume cannot tell the two places apart: only the later book is
    // stored there, and the earlier one is not listed as if it were.
    void booksBoundForOnePlace()
    {
        SyncScene scene;
        scene.addBooks({{"fb2/example.fb2", "Классика/книга.fb2", "Классика"},
                        {"txt/Зимнее утро.txt", "Зимнее утро.txt", "Классика"}});
        // A second folder of the same name, from elsewhere, with the name in other letters.
        QTemporaryDir elsewhere;
        QVERIFY(QDir().mkpath(elsewhere.path() + "/Книги/КЛАССИКА"));
        QVERIFY(QFile::copy(samplePath("fb2/minimal.fb2"), elsewhere.path() + "/Книги/КЛАССИКА/книга.fb2"));
        scene.addPath(elsewhere.path() + "/Книги", "Классика");
        const QVector<BookRow> before = scene.page.books.rows();
        int later = -1;
        int earlier = -1;
        for (int i = 0; i < before.size(); ++i)
            if (before.at(i).file_name.startsWith("книга"))
                (earlier < 0 ? earlier : later) = i;

        QVERIFY(!scene.run());

        QCOMPARE(scene.dialogs.messages(),
                 QStringList{"Синхронизация завершена, но не все книги попали на устройство.\r\n"
                             "Этих книг нет в библиотеке устройства:\r\n" +
                             before.at(earlier).full_path +
                             " (на устройстве то же место, что у другой книги)\r\nОни остались в списке файлов."});
        QCOMPARE(sqliteValue(scene.databasePath(), "select count(*) from books"), QVariant(2));
        QCOMPARE(sqliteValue(scene.databasePath(), "select count(*) from books where file_path = '" +
                                                       ("Sony_Reader/media/books/" +
                                                        QDir::fromNativeSeparators(before.at(later).relative_path)) +
                                                       "'"),
                 QVariant(1));
        QCOMPARE(fileBytes(scene.booksFolder() + before.at(later).relative_path),
                 fileBytes(before.at(later).full_path));
        // The book left out stays in the list as it was; the collection still counts it.
        QCOMPARE(scene.page.books.rowCount(), 3);
        QCOMPARE(scene.page.books.row(earlier), before.at(earlier));
        QCOMPARE(scene.page.collections.row(0).book_count, QString("3"));
    }
};

QTEST_GUILESS_MAIN(TestCreationSync)
#include "test_creation_sync.moc"
