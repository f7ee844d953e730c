#include "app/desktop_file_opener.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/qt_dialogs.h"
#include "core/clock.h"
#include "device/volume_list.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
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
