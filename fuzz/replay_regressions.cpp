#include "fuzz/fuzz_targets.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
QString nameOf(const FuzzTarget &target)
{
    return QString::fromLatin1(target.name.data(), qsizetype(target.name.size()));
}
} // namespace

// Inputs that once broke a reader of untrusted bytes stay under regressions/<target>/ and run
// through the fuzz targets' own bodies in every build, libFuzzer or not.
class ReplayRegressions : public QObject
{
    Q_OBJECT

private slots:
    void keptInputRunsCleanly_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        const QDir regressions(QStringLiteral(TESSALY_FUZZ_REGRESSIONS_DIR));
        for (const FuzzTarget &target : fuzzTargets()) {
            const QDir inputs(regressions.filePath(nameOf(target)));
            for (const QFileInfo &input : inputs.entryInfoList(QDir::Files, QDir::Name))
                QTest::newRow(qPrintable(nameOf(target) + u'/' + input.fileName()))
                    << nameOf(target) << input.filePath();
        }
    }

    void keptInputRunsCleanly()
    {
        QFETCH(QString, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        fuzzTargetNamed(target.toStdString())->run(file.readAll());
    }

    // A kept input in a folder no target reads would never be replayed.
    void everyRegressionFolderBelongsToATarget()
    {
        const QDir regressions(QStringLiteral(TESSALY_FUZZ_REGRESSIONS_DIR));
        for (const QString &folder : regressions.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QVERIFY2(fuzzTargetNamed(folder.toStdString()), qPrintable(folder));
        for (const QString &file : regressions.entryList(QDir::Files))
            QVERIFY2(file == QLatin1StringView("README.md"), qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(ReplayRegressions)
#include "replay_regressions.moc"
