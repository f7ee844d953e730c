#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString AppId = QStringLiteral(TESSALY_APP_ID);

QList<int> iconSizes()
{
    QList<int> sizes;
    for (const QString &size : QStringLiteral(TESSALY_ICON_SIZES).split(u','))
        sizes << size.toInt();
    return sizes;
}

struct Finished
{
    int exitCode = -1;
    QByteArray output; // standard output
    QByteArray errors; // standard error
};

Finished run(const QString &program, const QStringList &arguments,
             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Finished finished;
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit)
        return finished;
    finished.exitCode = process.exitCode();
    finished.output = process.readAllStandardOutput();
    finished.errors = process.readAllStandardError();
    return finished;
}

// A terminal without any display: a program that tried to open a window could not start.
QProcessEnvironment terminalWithoutDisplay()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}
} // namespace

// The program installed with `cmake --install` into a fresh prefix, as a desktop program.
class InstallTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        const Finished install =
            run(QStringLiteral(TESSALY_CMAKE_COMMAND), {QStringLiteral("--install"), QStringLiteral(TESSALY_BUILD_DIR),
                                                        QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY2(install.exitCode == 0, install.errors.constData());
    }

    void fileAtItsPlace_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("program") << QStringLiteral("bin/tessaly");
        QTest::newRow("menu entry") << QStringLiteral("share/applications/%1.desktop").arg(AppId);
        QTest::newRow("metainfo") << QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId);
        QTest::newRow("scalable icon") << QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(AppId);
        for (const int size : iconSizes())
            QTest::addRow("%dpx icon", size)
                << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(QString::number(size), AppId);
#ifdef Q_OS_LINUX
        QTest::newRow("manual page") << QStringLiteral("share/man/man1/tessaly.1.gz");
        QTest::newRow("copyright") << QStringLiteral("share/doc/tessaly/copyright");
        QTest::newRow("changelog") << QStringLiteral("share/doc/tessaly/changelog.gz");
#endif
    }

    void fileAtItsPlace()
    {
        QFETCH(QString, path);
        const QFileInfo file(m_prefix.filePath(path));
        QVERIFY2(file.isFile() && file.size() > 0, qPrintable(path));
    }

    void pngIconsAreDrawnAtTheirSizes()
    {
        for (const int size : iconSizes()) {
            QImageReader icon(m_prefix.filePath(
                QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(QString::number(size), AppId)));
            QCOMPARE(icon.format(), QByteArray("png"));
            QCOMPARE(icon.size(), QSize(size, size));
        }
    }

    void menuEntryValidates()
    {
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed");
        const Finished check =
            run(validator, {m_prefix.filePath(QStringLiteral("share/applications/%1.desktop").arg(AppId))});
        QVERIFY2(check.exitCode == 0 && check.output.isEmpty(), (check.output + check.errors).constData());
    }

    void metainfoValidates()
    {
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (validator.isEmpty())
            QSKIP("appstreamcli is not installed");
        const Finished check =
            run(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--pedantic"),
                            m_prefix.filePath(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(AppId))});
        QVERIFY2(check.exitCode == 0, (check.output + check.errors).constData());
    }

    void versionAnsweredOnTheTerminal()
    {
        const Finished version = run(program(), {QStringLiteral("--version")}, terminalWithoutDisplay());
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.output, QByteArray("Tessaly " TESSALY_VERSION "\n"));
    }

    void helpAnsweredOnTheTerminal()
    {
        const Finished help = run(program(), {QStringLiteral("--help")}, terminalWithoutDisplay());
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.output.contains("Usage:") && help.output.contains("--version") &&
                     help.output.contains("Sony PRS-T3"),
                 help.output.constData());
    }

    // What neither the program nor Qt knows is refused on the terminal, before any display is
    // needed; Qt's own options and their values pass.
    void unknownArgumentsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("named");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << QByteArray("bogus");
        QTest::newRow("after Qt's own option")
            << QStringList{"-platform", "offscreen", "--no-such"} << QByteArray("no-such");
        QTest::newRow("a stray argument") << QStringList{"-style", "fusion", "stray"} << QByteArray("stray");
    }

    void unknownArgumentsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, named);
        const Finished refused = run(program(), arguments, terminalWithoutDisplay());
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.errors.contains(named), refused.errors.constData());
        QVERIFY(refused.output.isEmpty());
    }

private:
    QString program() const
    {
        return m_prefix.filePath(QStringLiteral("bin/tessaly"));
    }

    QTemporaryDir m_prefix;
};

QTEST_GUILESS_MAIN(InstallTree)
#include "test_install_tree.moc"
