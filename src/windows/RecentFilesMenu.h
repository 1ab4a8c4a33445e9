#pragma once

#include <QMenu>

#include <functional>

class SettingsFile;
class UserDialogs;

// File > "Recent Files" (objectName "RecentFiles1"): the card images opened or saved
// last, read from the settings each time the menu opens; choosing one opens it.
class RecentFilesMenu : public QMenu
{
    Q_OBJECT

public:
    RecentFilesMenu(SettingsFile &settings, UserDialogs &dialogs, std::function<void(const QString &)> open,
                    QWidget *parent = nullptr);

private:
    void rebuild();

    SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    std::function<void(const QString &)> m_open;
};
