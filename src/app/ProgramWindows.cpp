#include "app/ProgramWindows.h"

#include "app/MainWindow.h"
#include "link/KeyStoreWindow.h"

ProgramWindows::ProgramWindows(SettingsFile &settings, UserDialogs &dialogs)
    : m_main(std::make_unique<MainWindow>(settings, dialogs))
    , m_keyStore(std::make_unique<KeyStoreWindow>(settings, m_main.get()))
{
}

ProgramWindows::~ProgramWindows()
{
    // The secondary windows are children of the main window's lifetime: release them first.
    m_keyStore.reset();
    m_main.reset();
}
