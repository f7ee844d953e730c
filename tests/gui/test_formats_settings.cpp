#include "app/main_window.h"
#include "support/fixed_clock.h"
#include "support/fixed_volumes.h"
#include "support/interrupting_progress.h"
#include "support/isolated_settings.h"
#include "support/recording_file_opener.h"
#include "support/scripted_dialogs.h"
#include "test_paths.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Windows made one after another, as runs of the application, sharing the remembered settings.
struct Run
{
    ScriptedDialogs dialogs;
    FixedClock clock{QDateTime(QDate(2024, 5, 1), QTime(12, 0))};
    InterruptingProgress progress;
    FixedVolumes volumes;
    RecordingFileOpener fileOpener;
    MainWindow window{dialogs, clock, progress, volumes, fileOpener};

    QAction *setting(const QString &name) { return window.menuBar()->findChild<QAction *>(name); }
    QString titleOf(const QString &fileName)
    {
        for (const BookRow &row : window.creation().books.rows())
            if (row.file_name == fileName)
                return row.title;
        return QStringLiteral("(absent)");
    }
    QString fileFilter()
    {
        dialogs.shown.clear();
        window.addBookFile();
        return dialogs.shown.first().text;
    }
};
} // namespace

class TestFormatsSettings : public QObject
{
    Q_OBJECT
private slots:
    void settingsAreOffUntilTurnedOnAndRemembered()
    {
        QTemporaryDir books;
        QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/fb2/test2.1.fb2.zip", books.filePath("test2.1.fb2.zip")));
        QVERIFY(QFile::copy(TESSALY_SAMPLES_DIR "/epub/wasteland.epub", books.filePath("wasteland.epub")));
        const IsolatedSettings settings;
        {
            Run first;
            QAction *zipped = first.setting("zippedfb2setting");
            QAction *epubPdf = first.setting("epubpdfsetting");
            QVERIFY(zipped && epubPdf);
            QCOMPARE(zipped->text(), QString("FB2 в ZIP-архивах"));
            QCOMPARE(epubPdf->text(), QString("Названия, авторы и обложки из EPUB и PDF"));
            QVERIFY(!zipped->isChecked() && !epubPdf->isChecked());

            // Off: the archive is no book and the EPUB is named after its file, as before.
            QCOMPARE(first.fileFilter(), QString("Все поддерживаемые файлы|*.pdf;*.fb2;*.txt;*.epub"));
            first.window.addDroppedPaths({books.path()});
            QCOMPARE(first.window.creation().books.rowCount(), 1);
            QCOMPARE(first.titleOf("wasteland.epub"), QString("wasteland.epub"));
            zipped->trigger();
            epubPdf->trigger();
        }
        Run second;
        QVERIFY(second.setting("zippedfb2setting")->isChecked());
        QVERIFY(second.setting("epubpdfsetting")->isChecked());
        QCOMPARE(second.fileFilter(), QString("Все поддерживаемые файлы|*.pdf;*.fb2;*.txt;*.epub;*.zip"));
        second.window.addDroppedPaths({books.path()});
        QCOMPARE(second.titleOf("wasteland.epub"), QString("The Waste Land"));
        QCOMPARE(second.titleOf("test2.1.fb2"), QString("Тестовый ознакомительный документ FictionBook 2.1"));
    }
};

QTEST_MAIN(TestFormatsSettings)
#include "test_formats_settings.moc"
