#include "reader/free_space.h"
#include "support/scratch_volume.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/statvfs.h>
#endif

class TestFreeSpace : public QObject
{
    Q_OBJECT
private slots:
    void folderOnAMountedVolume()
    {
        QTemporaryDir dir;
        const QString before = QDir::currentPath();
        const VolumeSpace space = queryVolumeSpace(dir.path() + '/');
        QCOMPARE(QDir::currentPath(), before);
        QVERIFY(space.queried);
        QVERIFY(space.availableBytes >= 0);
        QVERIFY(space.totalBytes > 0);
        QVERIFY(space.availableBytes <= space.totalBytes);
#ifdef Q_OS_UNIX
        // The figure a user's df shows; other programs may write meanwhile, hence the margin.
        struct statvfs figures
        {
        };
        QCOMPARE(statvfs(QFile::encodeName(dir.path()).constData(), &figures), 0);
        const qint64 available = qint64(figures.f_bavail) * qint64(figures.f_frsize);
        QVERIFY2(qAbs(space.availableBytes - available) < 64 * 1024 * 1024,
                 qPrintable(QStringLiteral("%1 against %2").arg(space.availableBytes).arg(available)));
#endif
    }

    void pathThatCannotBeQueried_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty") << QString();
        QTest::newRow("missing folder") << QStringLiteral("/no/such/reader/Sony_Reader/");
        QTest::newRow("missing drive") << QStringLiteral("Q:\\");
    }
    void pathThatCannotBeQueried()
    {
        QFETCH(QString, path);
        const QString before = QDir::currentPath();
        const VolumeSpace space = queryVolumeSpace(path);
        QCOMPARE(QDir::currentPath(), before);
        QVERIFY(!space.queried);
        QCOMPARE(space.availableBytes, -1);
        QCOMPARE(space.totalBytes, -1);
    }

    // A volume of known size, filled by a known amount.
    void smallVolumeFillsUp()
    {
        ScratchVolume volume(4 * 1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason()));
        const VolumeSpace empty = queryVolumeSpace(volume.path());
        QVERIFY(empty.queried);
        QCOMPARE(empty.totalBytes, 4 * 1024 * 1024);
        QCOMPARE(empty.availableBytes, 4 * 1024 * 1024);

        QFile file(volume.path() + QStringLiteral("/book.fb2"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(QByteArray(1024 * 1024, 'x')), 1024 * 1024);
        file.close();
        QCOMPARE(queryVolumeSpace(volume.path()).availableBytes, 3 * 1024 * 1024);
    }
};

QTEST_GUILESS_MAIN(TestFreeSpace)
#include "test_free_space.moc"
