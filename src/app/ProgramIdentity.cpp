#include "app/ProgramIdentity.h"

#include <QApplication>
#include <QIcon>

void applyProgramIdentity()
{
    Q_INIT_RESOURCE(merlox);
    QApplication::setApplicationName(QStringLiteral("merlox-mifare"));
    QApplication::setApplicationVersion(QStringLiteral(MERLOX_VERSION));
    // No display name: the desktop would append it to every window title, which
    // already names the program.
    QGuiApplication::setDesktopFileName(QStringLiteral("merlox-mifare"));
    QIcon bundled;
    for (int size : {32, 64, 128})
        bundled.addFile(QStringLiteral(":/icons/merlox-mifare-%1.png").arg(size), QSize(size, size));
    // The installed theme icon is the scalable one; the bundled pictures serve elsewhere.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("merlox-mifare"), bundled));
}
