#include "core/progress.h"
#include "reader/reader_layout.h"
#include "support/fixture_reader.h"
#include "support/reader_soundness.h"
#include "support/recording_progress.h"
#include "support/repeated_sync.h"
#include "support/scratch_volume.h"
#include "support/watched_file_operations.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
const QString filler = "filler.bin";

// Takes every free byte of the volume holding `root` with one file.
void fillVolume(const QString &root)
{
    QFile file(root + filler);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(64 * 1024, '\0');
    for (qsizetype size = block.size(); size > 0; size /= 2)
        while (file.write(block.constData(), size) == size && file.flush()) {
        }
}

// A progress window that fills the volume at one of its calls.
class FillingProgress : public RecordingProgress
{
public:
    FillingProgress(QString root, int fillAt) : m_root(std::move(root)), m_fillAt(fillAt) {}
    void setMaximum(Bar bar, int maximum) override
    {
        step();
        RecordingProgress::setMaximum(bar, maximum);
    }
    void setPosition(Bar bar, int position) override
    {
        step();
        RecordingProgress::setPosition(bar, position);
    }
    void setCaption(Bar bar, const QString &text) override
    {
        step();
        RecordingProgress::setCaption(bar, text);
    }
    void show() override
    {
        step();
        RecordingProgress::show();
    }
    void hide() override
    {
        step();
        RecordingProgress::hide();
    }
    void repaint(Repaint what) override
    {
        step();
        RecordingProgress::repaint(what);
    }
    void processEvents() override
    {
        step();
        RecordingProgress::processEvents();
    }

private:
    void step()
    {
        if (m_calls++ == m_fillAt)
            fillVolume(m_root);
    }
    QString m_root;
    int m_fillAt;
    int m_calls = 0;
};

// Clears the volume and puts a copy of the starting reader on it.
QString freshReader(const ScratchVolume &volume, const RepeatedSync &sync)
{
    QDir(volume.path()).removeRecursively();
    QDir().mkpath(volume.path());
    copyReader(sync.start.path(), volume.path());
    return volume.path() + '/';
}
} // namespace

class TestSyncVolumeFull : public QObject
{
    Q_OBJECT
private slots:
    void fillsUpAtEveryStage_data()
    {
        QTest::addColumn<bool>("again");
        QTest::newRow("first synchronisation") << false;
        QTest::newRow("re-synchronisation") << true;
    }

    // The reader's volume fills up before each file operation and each progress step in turn: the
    // user is told, the reader stays sound, and once there is room again a run writes it all.
    void fillsUpAtEveryStage()
    {
        QFETCH(bool, again);
        ScratchVolume volume(8 * 1024 * 1024);
        if (!volume.isMounted())
            QSKIP(qPrintable(volume.skipReason()));
        const std::unique_ptr<RepeatedSync> repeated = again ? RepeatedSync::again() : RepeatedSync::first();
        QVERIFY(repeated);
        const QHash<QString, QByteArray> sources = folderDigests(repeated->books.sourceFolder());

        int fileOperations = 0;
        int progressCalls = 0;
        {
            const QString root = freshReader(volume, *repeated);
            LibraryPage page(LibraryPage::Kind::Creation);
            repeated->books.fillPage(page, root);
            WatchedFileOperations files;
            RecordingProgress progress;
            QVERIFY(repeated->run(page, root, files, progress));
            fileOperations = int(files.calls.size());
            progressCalls = int(progress.calls.size());
        }

        int refusedOrFailed = 0;
        qInfo("%d file operations and %d progress steps to stop at", fileOperations, progressCalls);
        for (int point = 0; point < fileOperations + progressCalls; ++point) {
            const QString where = point < fileOperations ? QString("before file operation %1").arg(point)
                                                         : QString("at progress call %1").arg(point - fileOperations);
            const QString root = freshReader(volume, *repeated);
            LibraryPage page(LibraryPage::Kind::Creation);
            repeated->books.fillPage(page, root);
            ReaderSoundness soundness;
            soundness.acceptReader(root);
            soundness.acceptBooks(inCollections(page));
            QHash<QString, QByteArray> expected;
            for (const BookRow &book : inCollections(page))
                expected.insert(ReaderLayout::storedBookPath(book.relative_path), fileDigest(book.full_path));

            WatchedFileOperations files;
            files.before = [&](int index, const QString &) {
                if (index == point)
                    fillVolume(root);
                return true;
            };
            FillingProgress progress(root, point - fileOperations);
            QStringList messages;
            const bool succeeded = repeated->run(page, root, files, progress, &messages);
            QVERIFY2(!progress.visible, qPrintable(where));
            QCOMPARE(messages.size(), 1);
            if (!succeeded)
                ++refusedOrFailed;
            const QStringList faults = soundness.faults(root);
            QVERIFY2(faults.isEmpty(), qPrintable(where + ": " + faults.join("; ")));
            QVERIFY2(folderDigests(repeated->books.sourceFolder()) == sources, qPrintable(where));

            QVERIFY(QFile::remove(root + filler));
            FileOperations realFiles;
            RecordingProgress again;
            QVERIFY2(repeated->run(page, root, realFiles, again, &messages),
                     qPrintable(where + ": " + messages.join("")));
            QVERIFY2(soundness.faults(root).isEmpty(), qPrintable(where));
            QHash<QString, QByteArray> written;
            for (const QVariantList &record :
                 sqliteRows(ReaderLayout::databasePath(root), "select file_path from books"))
                written.insert(record.at(0).toString(), fileDigest(root + record.at(0).toString()));
            QVERIFY2(written == expected, qPrintable(where));
        }
        // Most points come before the last write: a full volume stops those runs.
        QVERIFY(refusedOrFailed > (fileOperations + progressCalls) / 2);
    }
};

QTEST_GUILESS_MAIN(TestSyncVolumeFull)
#include "test_sync_volume_full.moc"
