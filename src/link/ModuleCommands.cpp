#include "link/ModuleCommands.h"

#include "base/ActionGuard.h"
#include "link/Frame.h"
#include "link/ModuleCommandCodes.h"
#include "link/ModuleLink.h"



namespace {

// The pin value of a pin answer: a zero status byte leaves the data text empty.
int pinValue(const QByteArray &dataText)
{
    return dataText.isEmpty() ? 0 : quint8(dataText.at(0));
}

} // namespace

ModuleCommands::ModuleCommands(ModuleLink &link, UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_dialogs(dialogs)
{
}

QByteArray ModuleCommands::inputPinText(int value)
{
    static const char *const texts[] = {"INPUT2:LOW , INPUT1:LOW", "INPUT2:LOW , INPUT1:HIGH",
                                        "INPUT2:HIGH , INPUT1:LOW", "INPUT2:HIGH , INPUT1:HIGH"};
    return value >= 0 && value <= 3 ? QByteArray(texts[value]) : QByteArray();
}

QByteArray ModuleCommands::outputPinText(int value)
{
    static const char *const texts[] = {"OUTPUT2:LOW , OUTPUT1:LOW", "OUTPUT2:LOW , OUTPUT1:HIGH",
                                        "OUTPUT2:HIGH , OUTPUT1:LOW", "OUTPUT2:HIGH , OUTPUT1:HIGH"};
    return value >= 0 && value <= 3 ? QByteArray(texts[value]) : QByteArray();
}

void ModuleCommands::ResetModule1Click()
{
    guardAction(m_dialogs, [this] { resetModule(); });
}

void ModuleCommands::ReadFirmwareVersion1Click()
{
    guardAction(m_dialogs, [this] { readFirmwareVersion(); });
}

void ModuleCommands::AntennaPower1Click()
{
    guardAction(m_dialogs, [this] { switchRfField(true); });
}

void ModuleCommands::SwitchOFFRFfield1Click()
{
    guardAction(m_dialogs, [this] { switchRfField(false); });
}

void ModuleCommands::ReadPort1Click()
{
    guardAction(m_dialogs, [this] { readInputs(); });
}

void ModuleCommands::Outpu1ON1Click()
{
    writeOutputs(0);
}

void ModuleCommands::Output1OFF1Click()
{
    writeOutputs(1);
}

void ModuleCommands::N7Click()
{
    writeOutputs(2);
}

void ModuleCommands::OUTPUT2ON1Click()
{
    writeOutputs(3);
}

void ModuleCommands::Sleep1Click()
{
    guardAction(m_dialogs, [this] { sleepModule(); });
}

void ModuleCommands::writeOutputs(int v)
{
    guardAction(m_dialogs, [this, v] { setOutputs(v); });
}

void ModuleCommands::resetModule()
{
    // A late answer is taken up by the receive handler once this has given up.
    const ModuleResponse response =
        m_link.transact(Frame::request(ModuleCommandCodes::Reset), {}, "(Reset Command)");
    if (!response.ok)
        return;
    m_link.logResponse(response, "RESET OK , FIRMWARE VERSION");
    m_link.setStatus(" Reset OK");
}

void ModuleCommands::readFirmwareVersion()
{
    const ModuleResponse response =
        m_link.transact(Frame::request(ModuleCommandCodes::ReadVersion), {}, "(Read Firmware Version)");
    if (!response.ok)
        return;
    m_link.logResponse(response, "FIRMWARE VERSION");
    m_link.setStatus("FIRMWARE:" + response.data);
}

void ModuleCommands::switchRfField(bool on)
{
    const ModuleResponse response =
        m_link.transact(Frame::request(ModuleCommandCodes::RfField, QByteArray(1, on ? '\x01' : '\x00')), {},
                        on ? "(Switch on RF field)" : "(Switch off RF field)");
    if (!response.ok)
        return;
    // On is confirmed by a status byte 01; off by a zero status byte (empty data text).
    const bool done = on ? response.data == QByteArray(1, '\x01') : response.data.isEmpty();
    if (on) {
        m_link.logResponse(response, done ? "RF FIELD SWITCHED ON" : "SWITCH ON ERROR");
        m_link.setStatus(m_link.tagStatusText
                         + (done ? " | RF Field is switched ON" : " | RF Field could not be switched ON"));
    } else {
        m_link.logResponse(response, done ? "RF FIELD SWITCHED OFF" : "SWITCH OFF ERROR");
        m_link.setStatus(m_link.tagStatusText
                         + (done ? " | RF Field is switched OFF" : " | RF Field could not be switched OFF"));
    }
}

void ModuleCommands::readInputs()
{
    const ModuleResponse response =
        m_link.transact(Frame::request(ModuleCommandCodes::ReadInputs), {}, "(Read Input pins)");
    if (response.ok)
        reportPins(response, true);
}

void ModuleCommands::setOutputs(int v)
{
    const ModuleResponse response = m_link.transact(
        Frame::request(ModuleCommandCodes::WriteOutputs, QByteArray(1, char(quint8(v)))), {}, "(Write Output pins)");
    // The module's answer is reported, not the value sent.
    if (response.ok)
        reportPins(response, false);
}

void ModuleCommands::sleepModule()
{
    const ModuleResponse response = m_link.transact(Frame::request(ModuleCommandCodes::Sleep), {}, "(Sleep Command)");
    if (response.ok)
        m_link.logResponse(response, "SLEEP OK");
}

void ModuleCommands::reportPins(const ModuleResponse &response, bool inputs)
{
    const int value = pinValue(response.data);
    const QByteArray text = inputs ? inputPinText(value) : outputPinText(value);
    if (text.isEmpty())
        return;
    m_link.logResponse(response, text);
    m_link.setStatus(text);
}
