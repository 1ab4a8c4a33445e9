#pragma once

#include <QString>

class PtySimulator;
class VirtualCard;

// The simulator's line commands (standard input of mifare-sim): place and remove the
// tag, swap the card, set the input pins, inject faults, show the card.
class SimConsole
{
public:
    explicit SimConsole(PtySimulator &simulator);

    // Runs one command line and returns the reply to print (empty for a blank line).
    [[nodiscard]] QString execute(const QString &line);
    [[nodiscard]] bool quitRequested() const { return m_quit; }

    // The command list, for "help" and for mifare-sim --help.
    [[nodiscard]] static QString helpText();
    // The card memory as hex lines, one per block or page.
    [[nodiscard]] static QString dump(const VirtualCard &card);

private:
    [[nodiscard]] QString status() const;

    PtySimulator &m_simulator;
    bool m_quit = false;
};
