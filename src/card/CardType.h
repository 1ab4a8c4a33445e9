#pragma once

#include <QByteArray>

// The card type chosen in the main window's card type box; its index is the box index.
enum class CardType { Mifare1K = 0, Mifare4K = 1, MifareUL = 2 };

// Settings key suffix of a card type: "1K", "4K" or "UL".
[[nodiscard]] inline QByteArray cardTypeSuffix(CardType type)
{
    switch (type) {
    case CardType::Mifare1K: return "1K";
    case CardType::Mifare4K: return "4K";
    case CardType::MifareUL: return "UL";
    }
    return "1K";
}

[[nodiscard]] constexpr bool isClassic(CardType type)
{
    return type != CardType::MifareUL;
}
