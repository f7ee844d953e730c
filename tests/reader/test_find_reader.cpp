#include "reader/find_reader.h"
#include "reader/volume_list.h"
#include "support/fixture_reader.h"
#include "support/own_reader_volumes.h"
#include "support/scratch_volume.h"
#include "support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Temporary folders standing in for mounted volumes, in the order given.
class FakeVolumes : public VolumeList
{
public:
    explicit FakeVolumes(int count)
    {
        for (int i = 0; i < count; ++i)
            m_folders.push_back(std::make_unique<QTemporaryDir>());
    }
    QStringList roots() const override
    {
        QStringList roots;
        for (const auto &folder : m_folders)
            roots << QDir::toNativeSeparators(folder->path() + '/');
        return roots;
    }
    QString label(const QString &) const override { return {}; }
    QString root(int index) const { return roots().at(index); }

private:
    std::vector<std::unique_ptr<QTemporaryDir>> m_folders;
};

// "-" a plain volume, "db" a reader, "dir" a folder named books.db, "bare" Sony_Reader without a database.
void prepareVolume(const QString &root, const QString &kind)
{
    const QString database = root + "Sony_Reader/database/books.db";
    if (kind == "db") {
        QDir().mkpath(root + "Sony_Reader/database");
        QFile file(database);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == "dir") {
        QVERIFY(QDir().mkpath(database));
    } else if (kind == "bare") {
        QVERIFY(QDir().mkpath(root + "Sony_Reader/media/books"));
    }
}
} // namespace

class TestFindReader : public QObject
{
    Q_OBJECT
private slots:
    void findsTheReader_data()
    {
        QTest::addColumn<QStringList>("volumes");
        QTest::addColumn<int>("found"); // index of the volume found, -1 for none

        QTest::newRow("reader on the second volume") << QStringList{"-", "db"} << 1;
        QTest::newRow("reader after several volumes") << QStringList{"-", "-", "bare", "db"} << 3;
        QTest::newRow("two readers: the earlier wins") << QStringList{"-", "db", "-", "db"} << 1;
        QTest::newRow("reader on the first volume is not tried") << QStringList{"db", "-"} << -1;
        QTest::newRow("first volume passed over, a later reader found") << QStringList{"db", "-", "db"} << 2;
        QTest::newRow("a single volume is never tried") << QStringList{"db"} << -1;
        QTest::newRow("no volumes") << QStringList{} << -1;
        QTest::newRow("a folder named books.db counts") << QStringList{"-", "dir"} << 1;
        QTest::newRow("Sony_Reader without its database") << QStringList{"-", "bare"} << -1;
        QTest::newRow("no reader") << QStringList{"-", "-", "-"} << -1;
    }

    void findsTheReader()
    {
        QFETCH(QStringList, volumes);
        QFETCH(int, found);
        const FakeVolumes fake(int(volumes.size()));
        for (int i = 0; i < volumes.size(); ++i)
            prepareVolume(fake.root(i), volumes.at(i));
        QCOMPARE(findReaderRoot(fake), found < 0 ? QString() : fake.root(found));
    }

    void eachSearchLooksAfresh()
    {
        const FakeVolumes fake(3);
        prepareVolume(fake.root(1), "db");
        QCOMPARE(findReaderRoot(fake), fake.root(1));

        QVERIFY(QDir(fake.root(1) + "Sony_Reader").removeRecursively());
        QCOMPARE(findReaderRoot(fake), QString());

        prepareVolume(fake.root(2), "db");
        QCOMPARE(findReaderRoot(fake), fake.root(2));
    }

    void messageWhenNoReaderIsAttached()
    {
        const QString message = deviceNotFoundMessage(true);
        QCOMPARE(message, QString::fromUtf8("Не удалось подключиться к базе данных на устройстве!\r\n"
                                            "Проверьте, подключено ли устройство к компьютеру.\r\n"
                                            "На подключенном устройстве путь к базе данных выглядит так:\r\n"
                                            "\xD0\xA5:\\Sony_Reader\\database\\books.db\r\n"
                                            "Где \xD0\xA5 - текущая буква диска."));
        QCOMPARE(message.count(QChar(0x0425)), 2); // the Cyrillic Х, never the Latin X
        QVERIFY(!message.contains('X'));

        // Where volumes are mounted in folders, the message speaks of mounting, not of letters.
        const QString mounted = deviceNotFoundMessage(false);
        QVERIFY(mounted.startsWith(message.section("\r\n", 0, 1)));
        QVERIFY(mounted.contains("смонтирует") && mounted.contains("Х/Sony_Reader/database/books.db"));
        QVERIFY(!mounted.contains("буква"));
        QCOMPARE(deviceNotFoundMessage(), deviceNotFoundMessage(SystemHasDriveLetters));
    }

    // The reader's memory and its card can each hold a library: the user picks, by label and root.
    void severalReadersAreAskedFor_data()
    {
        QTest::addColumn<QStringList>("volumes");
        QTest::addColumn<int>("preferred"); // index of the volume preferred, -1 for none
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("found");
        QTest::addColumn<bool>("asked");

        QTest::newRow("one reader: nothing asked") << QStringList{"-", "db", "-"} << -1 << QList<int>{} << 1 << false;
        QTest::newRow("two readers, the second picked")
            << QStringList{"-", "db", "db"} << -1 << QList<int>{1} << 2 << true;
        QTest::newRow("two readers, cancelled") << QStringList{"-", "db", "db"} << -1 << QList<int>{} << -1 << true;
        QTest::newRow("the one loaded from is taken unasked")
            << QStringList{"-", "db", "db"} << 2 << QList<int>{} << 2 << false;
        QTest::newRow("the one loaded from is gone: asked")
            << QStringList{"-", "db", "db", "-"} << 3 << QList<int>{0} << 1 << true;
    }

    void severalReadersAreAskedFor()
    {
        QFETCH(QStringList, volumes);
        QFETCH(int, preferred);
        QFETCH(QList<int>, answers);
        QFETCH(int, found);
        QFETCH(bool, asked);
        const FakeVolumes fake(int(volumes.size()));
        for (int i = 0; i < volumes.size(); ++i)
            prepareVolume(fake.root(i), volumes.at(i));
        ScriptedDialogs dialogs;
        dialogs.choiceAnswers.append(answers);

        const QString root = findReaderRootOrSay(fake, dialogs, preferred < 0 ? QString() : fake.root(preferred));
        QCOMPARE(root, found < 0 ? QString() : fake.root(found));
        QCOMPARE(dialogs.shown.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(dialogs.shown.first().kind, QString("choose"));
            QCOMPARE(dialogs.shown.first().caption, QString("Выбор устройства"));
            QCOMPARE(dialogs.shown.first().items, readerRoots(fake));
        }
    }

    void aReaderIsNamedByItsLabelAndRoot()
    {
        QCOMPARE(readerChoiceText("READER", "/media/u/READER/"), QString("READER (/media/u/READER/)"));
        QCOMPARE(readerChoiceText({}, "F:\\"), QString("F:\\"));
    }

    void findsAReaderOnARealMount()
    {
        const ScratchVolume volume(4 * 1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason()));
        const QString root = QDir(volume.path()).canonicalPath() + '/';

        // Another reader attached to this machine is left out of the list.
        const OwnReaderVolumes volumes(root);
        QVERIFY(volumes.roots().contains(root));
        QVERIFY(findReaderRoot(volumes) != root);
        FixtureReader::build(volume.path(), FixtureReader::Contents::Empty);
        QCOMPARE(findReaderRoot(volumes), root);
    }
};

QTEST_GUILESS_MAIN(TestFindReader)
#include "test_find_reader.moc"
