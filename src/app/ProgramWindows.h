#pragma once

#include <memory>

class AccessEditor;
class BaudRateWindow;
class CardRun;
class GridActions;
class LockBytesEditor;
class KeyStoreWindow;
class MainWindow;
class ReadAllRun;
class SettingsFile;
class UserDialogs;
class WriteAllRun;

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
    // The grid double-click actions, and the read-all and write-all runs.
    [[nodiscard]] GridActions &gridActions() { return *m_gridActions; }
    [[nodiscard]] CardRun &cardRun() { return *m_cardRun; }
    [[nodiscard]] ReadAllRun &readAllRun() { return *m_readAllRun; }
    [[nodiscard]] WriteAllRun &writeAllRun() { return *m_writeAllRun; }

private:
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<AccessEditor> m_accessEditor;
    std::unique_ptr<KeyStoreWindow> m_keyStore;
    std::unique_ptr<BaudRateWindow> m_baudRate;
    std::unique_ptr<LockBytesEditor> m_lockEditor;
    std::unique_ptr<CardRun> m_cardRun;
    GridActions *m_gridActions = nullptr;
    ReadAllRun *m_readAllRun = nullptr;
    WriteAllRun *m_writeAllRun = nullptr;
};
