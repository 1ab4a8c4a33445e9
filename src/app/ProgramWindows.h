#pragma once

#include <memory>

class KeyStoreWindow;
class MainWindow;
class SettingsFile;
class UserDialogs;

// The program's five windows, created in their fixed order at start: the main window,
// the access conditions editor, the module key store, the baud-rate window and the
// lock bytes editor. Only the main window is shown; the others live hidden until the
// program ends.
class ProgramWindows
{
public:
    ProgramWindows(SettingsFile &settings, UserDialogs &dialogs);
    ~ProgramWindows();

    [[nodiscard]] MainWindow &main() { return *m_main; }
    [[nodiscard]] KeyStoreWindow &keyStore() { return *m_keyStore; }

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<KeyStoreWindow> m_keyStore;
};
