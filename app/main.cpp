#include "app/main_window.h"
#include "app/qt_dialogs.h"
#include "app/splash_form.h"
#include "core/clock.h"
#include "device/volume_list.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    QtDialogs dialogs;
    SystemClock clock;
    TSplashForm progress;
    MountedVolumes volumes;
    TForm1 window(dialogs, clock, progress, volumes);
    dialogs.setOwner(&window);
    window.show();
    return QApplication::exec();
}
