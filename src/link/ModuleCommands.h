#pragma once

#include "link/ModuleResponse.h"

#include <QByteArray>
#include <QObject>

class ModuleLink;
class UserDialogs;

// The "Hardware Commands" that act on the module itself: reset, firmware version, RF
// field on and off, input and output pins, sleep. Each handler runs one exchange (the
// port opened first when closed), logs the answer with its interpretation and sets
// the status bar; a port error ends it with the error box.
class ModuleCommands : public QObject
{
    Q_OBJECT

public:
    ModuleCommands(ModuleLink &link, UserDialogs &dialogs, QObject *parent = nullptr);

    // Pin texts for values 0..3 (bit 0 pin 1, bit 1 pin 2); empty for other values.
    [[nodiscard]] static QByteArray inputPinText(int value);
    [[nodiscard]] static QByteArray outputPinText(int value);

public Q_SLOTS:
    void ResetModule1Click();
    void ReadFirmwareVersion1Click();
    void AntennaPower1Click();     // RF field on
    void SwitchOFFRFfield1Click(); // RF field off
    void ReadPort1Click();
    void Outpu1ON1Click();   // outputs 0: both off
    void Output1OFF1Click(); // outputs 1: output 1 on
    void N7Click();          // outputs 2: output 2 on
    void OUTPUT2ON1Click();  // outputs 3: both on
    void Sleep1Click();

    // Sets the output pins to v (0..3) and reports the pins the module answers with.
    void writeOutputs(int v);

private:
    void resetModule();
    void readFirmwareVersion();
    void switchRfField(bool on);
    void readInputs();
    void setOutputs(int v);
    void sleepModule();
    // Logs and shows the pin value of an answer; a value outside 0..3 is not reported.
    void reportPins(const ModuleResponse &response, bool inputs);

    ModuleLink &m_link;
    UserDialogs &m_dialogs;
};
