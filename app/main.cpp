#include "app/command_line.h"
#include "app/desktop_file_opener.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/qt_dialogs.h"
#include "app/qt_texts.h"
#include "core/clock.h"
#include "reader/volume_list.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

namespace {
// Who the program is to the desktop: set before anything reads it (--version, the window title,
// the window system's link between the window and the menu entry).
void describeApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tessaly"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSALY_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Tessaly"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("tessaly.org"));
    QGuiApplication::setDesktopFileName(QStringLiteral(TESSALY_APP_ID));
}

// Every size drawn from the menu entry's picture, so each window shows the same icon.
QIcon applicationIcon()
{
    QIcon icon;
    for (const QFileInfo &size : QDir(QStringLiteral(":/icons")).entryInfoList(QDir::Files))
        icon.addFile(size.filePath());
    return icon;
}
} // namespace

int main(int argc, char *argv[])
{
    describeApplication();
    CommandLine::answerBeforeDisplay(argc, argv);
    QApplication application(argc, argv);
    CommandLine::refuseUnknownArguments(QApplication::arguments());
    QApplication::setWindowIcon(applicationIcon());
    installRussianQtTexts(application);
    QtDialogs dialogs;
    SystemClock clock;
    ProgressWindow progress;
    MountedVolumes volumes;
    DesktopFileOpener fileOpener;
    MainWindow window(dialogs, clock, progress, volumes, fileOpener);
    dialogs.setOwners(&window, &progress);
    window.show();
    return QApplication::exec();
}
