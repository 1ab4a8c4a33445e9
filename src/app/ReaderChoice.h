#pragma once

#include <QObject>
#include <QString>

#include <memory>

class CardReader;
class ChosenReader;
class CommandLog;
class ComPort;
class ModuleOnlyControls;
class PcscReader;
class PortControls;
class SerialModuleReader;
class SettingsFile;
class UserDialogs;
struct MainWindowUi;

// Which reader the card commands use, from the Com Port box: a serial port means the
// serial module, a "PC/SC: " entry that PC/SC reader. This is the one place where the
// choice is made. While a PC/SC reader is chosen the module-only controls are
// disabled. Its name is kept in the settings file (key PcscReader, written only once
// a PC/SC reader has been chosen), so the choice survives other readers and ports
// coming and going; a reader that is gone at the next start stays chosen and is
// reported, never replaced by another.
class ReaderChoice : public QObject
{
    Q_OBJECT

public:
    // The environment variable that names a PC/SC reader to choose at start (for
    // scripts/run.sh --pcsc); it is not stored.
    static constexpr const char *ReaderVariable = "MERLOX_PCSC_READER";

    ReaderChoice(SettingsFile &settings, UserDialogs &dialogs, MainWindowUi &ui, ComPort &port,
                 PortControls &portControls, SerialModuleReader &module, CommandLog &log, QObject *parent = nullptr);
    ~ReaderChoice() override;

    // The reader the commands are made with; it follows the choice.
    [[nodiscard]] CardReader &reader();
    [[nodiscard]] PcscReader &pcscReader() { return *m_pcsc; }
    [[nodiscard]] bool pcscChosen() const;

    // At start, after the port box has its list and stored index: the stored (or
    // environment's) PC/SC reader chosen, reported when it is not connected.
    void restore();
    // The user chose an entry of the port box.
    void portChosen();

private:
    void apply();
    [[nodiscard]] bool pcscEntryChosen() const;
    [[nodiscard]] QString storedReader() const;
    void storeReader(const QString &name) const;

    SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    MainWindowUi &m_ui;
    ComPort &m_port;
    PortControls &m_portControls;
    SerialModuleReader &m_module;
    PcscReader *m_pcsc = nullptr;
    std::unique_ptr<ChosenReader> m_chosen;
    std::unique_ptr<ModuleOnlyControls> m_moduleOnly;
};
