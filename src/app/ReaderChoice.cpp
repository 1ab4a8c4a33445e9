#include "app/ReaderChoice.h"

#include "app/MainWindowUi.h"
#include "base/SettingsFile.h"
#include "base/UserDialogs.h"
#include "link/ComPort.h"
#include "link/SerialModuleReader.h"
#include "pcsc/PcscPortNames.h"
#include "pcsc/PcscReader.h"
#include "reader/ChosenReader.h"
#include "windows/ModuleOnlyControls.h"
#include "windows/PortControls.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace {
const QByteArray ReaderKey = QByteArrayLiteral("PcscReader");
}

ReaderChoice::ReaderChoice(SettingsFile &settings, UserDialogs &dialogs, MainWindowUi &ui, ComPort &port,
                           PortControls &portControls, SerialModuleReader &module, CommandLog &log, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_ui(ui)
    , m_port(port)
    , m_portControls(portControls)
    , m_module(module)
    , m_pcsc(new PcscReader(log, this))
    , m_chosen(std::make_unique<ChosenReader>(module))
{
    QList<QAction *> actions {ui.rfOn,        ui.rfOff, ui.readPort,       ui.sleep,
                              ui.resetModule, ui.readVersion, ui.writeE2promKey, ui.changeBaudRate};
    actions += ui.writePort;
    m_moduleOnly = std::make_unique<ModuleOnlyControls>(QList<QWidget *> {ui.cmb_baud, ui.open_c, ui.close_c}, actions);
}

ReaderChoice::~ReaderChoice() = default;

CardReader &ReaderChoice::reader()
{
    return *m_chosen;
}

bool ReaderChoice::pcscChosen() const
{
    return &m_chosen->current() == m_pcsc;
}

QString ReaderChoice::storedReader() const
{
    const int index = m_settings.findKey(ReaderKey);
    if (index <= 0)
        return {};
    // A comma in a reader's name splits it into values: joined again.
    return QString::fromUtf8(m_settings.readValues(index).join(','));
}

void ReaderChoice::storeReader(const QString &name) const
{
    const int index = m_settings.findKey(ReaderKey);
    if (index > 0)
        m_settings.writeValues(index, {name.toUtf8()});
    else if (!name.isEmpty())
        m_settings.append(ReaderKey, name.toUtf8() + ',');
}

void ReaderChoice::restore()
{
    QString wanted = qEnvironmentVariable(ReaderVariable);
    if (wanted.isEmpty())
        wanted = storedReader();
    if (wanted.isEmpty() && pcscEntryChosen()) {
        // A stored port index that now lands on a PC/SC reader chose a serial port
        // that has gone: no reader is taken in its place.
        const QSignalBlocker block(m_ui.cmb_port);
        m_ui.cmb_port->setCurrentIndex(-1);
    }
    if (!wanted.isEmpty()) {
        const QString entry = PcscPortNames::entry(wanted);
        int index = m_ui.cmb_port->findText(entry);
        const bool missing = index < 0;
        if (missing) {
            // Kept chosen, so the commands say it is gone instead of using another.
            m_ui.cmb_port->addItem(entry);
            index = m_ui.cmb_port->count() - 1;
        }
        const QSignalBlocker block(m_ui.cmb_port);
        m_ui.cmb_port->setCurrentIndex(index);
        if (missing) {
            m_dialogs.showWarning(QStringLiteral("The PC/SC reader \"%1\" chosen last time is not connected, or "
                                                 "pcscd is not running. It stays chosen: plug it in (or start pcscd), "
                                                 "or choose another reader in the Com Port box.")
                                      .arg(wanted));
        }
    }
    apply();
}

void ReaderChoice::portChosen()
{
    apply();
    storeReader(PcscPortNames::reader(m_ui.cmb_port->currentText()));
}

bool ReaderChoice::pcscEntryChosen() const
{
    return PcscPortNames::isReader(m_ui.cmb_port->currentText());
}

void ReaderChoice::apply()
{
    const QString reader = PcscPortNames::reader(m_ui.cmb_port->currentText());
    const bool pcsc = !reader.isEmpty();
    if (pcsc) {
        // The serial port is not used while a PC/SC reader is: closed, not left open.
        if (m_port.isOpen())
            m_port.close();
        m_portControls.showClosed();
        m_pcsc->setReaderName(reader);
        m_chosen->choose(*m_pcsc);
    } else {
        // The PC/SC reader left alone: its seek ends, its card is released.
        m_pcsc->setReaderName({});
        m_chosen->choose(m_module);
    }
    m_moduleOnly->setModuleChosen(!pcsc);
}
