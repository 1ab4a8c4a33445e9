#pragma once

#include <QString>

class PcscSimulator;

// The line commands of mifare-sim --pcsc: insert and remove the card (open and close
// the connection to the virtual reader driver), swap or load the card, switch the
// reader's value commands, show the card.
class PcscConsole
{
public:
    explicit PcscConsole(PcscSimulator &simulator);

    // Runs one command line and returns the reply to print (empty for a blank line).
    [[nodiscard]] QString execute(const QString &line);
    [[nodiscard]] bool quitRequested() const { return m_quit; }

    // The command list, for "help" and for mifare-sim --help.
    [[nodiscard]] static QString helpText();

private:
    [[nodiscard]] QString insert();
    [[nodiscard]] QString status() const;

    PcscSimulator &m_simulator;
    bool m_quit = false;
};
