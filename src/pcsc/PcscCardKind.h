#pragma once

#include <QByteArray>
#include <QString>

// What kind of card the reader reports, from the answer to reset. Contactless readers
// build it for storage cards as 3B 8F 80 01 80 4F 0C, the registered application
// provider A0 00 00 03 06, a standard byte, two card-name bytes, four bytes for future
// use and the check byte.
enum class PcscCardKind {
    Classic1K,
    Classic4K,
    Ultralight,
    Other, // a card the program does not edit (named by cardName)
};

namespace PcscAtr {

[[nodiscard]] PcscCardKind cardKind(const QByteArray &atr);
// "MIFARE Classic 1K", "MIFARE DESFire or another ISO 14443-4 card", "FeliCa", ...
[[nodiscard]] QString cardName(const QByteArray &atr);
// True when the check byte (XOR of every byte after the first) is right.
[[nodiscard]] bool checkByteValid(const QByteArray &atr);

} // namespace PcscAtr
