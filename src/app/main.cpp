#include "app/MainWindow.h"
#include "app/ProgramIdentity.h"
#include "app/ProgramWindows.h"
#include "windows/QtUserDialogs.h"
#include "base/SettingsFile.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    applyProgramIdentity();

    SettingsFile settings(SettingsFile::defaultPath());
    QtUserDialogs dialogs;
    ProgramWindows windows(settings, dialogs);
    dialogs.setParent(&windows.main());
    windows.main().show();
    return QApplication::exec();
}
