#pragma once

#include <QByteArray>

// One command to the card through a PC/SC reader, as the log shows it: the command
// APDU with a label, the response APDU with its meaning.
struct PcscExchange {
    QByteArray request; // command APDU
    QByteArray answer;  // response APDU; empty when the transmit itself failed
    QByteArray label;   // "(Read Binary) Block:4"
    QByteArray meaning; // "READ OK", "AUTHENTICATION FAILED (63 00)", ...

    // "TX > " + the request in hex, in the columns of the module's log lines, + label.
    [[nodiscard]] QByteArray requestLine() const;
    // "RX <" + the answer in hex, in the same columns, + meaning.
    [[nodiscard]] QByteArray answerLine() const;
};
