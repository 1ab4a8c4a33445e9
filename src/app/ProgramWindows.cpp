#include "app/ProgramWindows.h"

#include "access/AccessEditor.h"
#include "app/MainWindow.h"
#include "link/BaudRateWindow.h"
#include "link/KeyStoreWindow.h"
#include "ultralight/LockBytesEditor.h"
#include "view/CardGridModel.h"
#include "view/CardGrids.h"
#include "view/CardLayout.h"

#include <QAction>

namespace {

// The secondary windows are shown without blocking the main window.
void showNonModal(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

ProgramWindows::ProgramWindows(SettingsFile &settings, UserDialogs &dialogs)
    : m_main(std::make_unique<MainWindow>(settings, dialogs))
    , m_accessEditor(std::make_unique<AccessEditor>(
          settings, dialogs, &m_main->grids().model(CardType::Mifare1K), &m_main->grids().model(CardType::Mifare4K),
          [this] { return m_main->cardType(); }, m_main.get()))
    , m_keyStore(std::make_unique<KeyStoreWindow>(*m_main, m_main.get()))
    , m_baudRate(std::make_unique<BaudRateWindow>(*m_main, m_main.get()))
    , m_lockEditor(std::make_unique<LockBytesEditor>(&m_main->grids().model(CardType::MifareUL), m_main.get()))
{
    QObject::connect(m_main->ui().writeE2promKey, &QAction::triggered, m_keyStore.get(),
                     [this] { showNonModal(m_keyStore.get()); });
    QObject::connect(m_main->ui().changeBaudRate, &QAction::triggered, m_baudRate.get(),
                     [this] { showNonModal(m_baudRate.get()); });

    // The editor cells of the grids: "Set Keys" on a trailer row, "Set Lock" on page 2.
    QObject::connect(&m_main->grids(), &CardGrids::cellDoubleClicked, m_main.get(),
                     [this](CardType type, int column, int row) {
                         if (type == CardType::MifareUL) {
                             if (UltralightCellAction(column, row) == "S")
                                 m_lockEditor->openFromGrid();
                         } else if (ClassicCellAction(column, row) == "S") {
                             m_accessEditor->openForTrailer(type, row - 2);
                         }
                     });
}

ProgramWindows::~ProgramWindows()
{
    m_lockEditor.reset();
    // The secondary windows are children of the main window's lifetime: release them first.
    m_baudRate.reset();
    m_keyStore.reset();
    m_accessEditor.reset();
    m_main.reset();
}
