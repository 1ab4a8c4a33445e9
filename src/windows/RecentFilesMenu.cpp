#include "windows/RecentFilesMenu.h"

#include "base/ActionGuard.h"
#include "files/RecentFiles.h"

RecentFilesMenu::RecentFilesMenu(SettingsFile &settings, UserDialogs &dialogs,
                                 std::function<void(const QString &)> open, QWidget *parent)
    : QMenu(QStringLiteral("Recent Files"), parent)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_open(std::move(open))
{
    setObjectName(QStringLiteral("RecentFiles1"));
    connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::rebuild);
}

void RecentFilesMenu::rebuild()
{
    clear();
    QStringList names;
    guardAction(m_dialogs, [&] { names = RecentFiles(m_settings).names(); });
    if (names.isEmpty()) {
        addAction(QStringLiteral("(none)"))->setEnabled(false);
        return;
    }
    for (int i = 0; i < names.size(); ++i) {
        const QString name = names.at(i);
        // "&1 ..." up to "1&0 ...": a digit to choose it by keyboard.
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        QAction *action = addAction(QStringLiteral("%1  %2").arg(number, name));
        connect(action, &QAction::triggered, this, [this, name] { m_open(name); });
    }
}
