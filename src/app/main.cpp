#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "windows/QtUserDialogs.h"
#include "base/SettingsFile.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("merlox-mifare"));
    QApplication::setApplicationDisplayName(QStringLiteral("MERLOX MIFARE"));

    SettingsFile settings(SettingsFile::defaultPath());
    QtUserDialogs dialogs;
    ProgramWindows windows(settings, dialogs);
    dialogs.setParent(&windows.main());
    windows.main().show();
    return QApplication::exec();
}
