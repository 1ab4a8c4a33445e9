#pragma once

#include <memory>

class AccessEditor;
class BaudRateWindow;
class LockBytesEditor;
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
    [[nodiscard]] AccessEditor &accessEditor() { return *m_accessEditor; }
    [[nodiscard]] KeyStoreWindow &keyStore() { return *m_keyStore; }
    [[nodiscard]] BaudRateWindow &baudRate() { return *m_baudRate; }
    [[nodiscard]] LockBytesEditor &lockEditor() { return *m_lockEditor; }

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<AccessEditor> m_accessEditor;
    std::unique_ptr<KeyStoreWindow> m_keyStore;
    std::unique_ptr<BaudRateWindow> m_baudRate;
    std::unique_ptr<LockBytesEditor> m_lockEditor;
};
