#pragma once

#include "card/CardType.h"
#include "reader/KeySource.h"

#include <QByteArray>

#include <optional>

// What the user chose for the card commands, taken at the moment a command runs:
// the card type, the Auto / Seek / Get data choices and the authentication key.
struct CommandOptions
{
    enum KeySourceIndex { ModuleDefaultKey = 0, TypedKey = 1, StoredKey = 2 };

    CardType card = CardType::Mifare1K;
    bool autoSequence = false; // halt, select and authenticate before each operation
    bool seek = false;         // seek for the tag instead of one select attempt
    bool getData = false;      // copy what is read into the grid
    int keySource = ModuleDefaultKey; // -1 when none is chosen
    int keyType = 0;                  // 0 type A, 1 type B, -1 none chosen
    int slot = 0;                     // key store slot, -1 none chosen
    QByteArray keyBytes;              // the six typed key bytes (TypedKey only)

    // The key to authenticate with; none when the choice is incomplete (no source,
    // key type or slot, or not six key bytes).
    [[nodiscard]] std::optional<KeySource> key() const
    {
        const bool typeChosen = keyType == 0 || keyType == 1;
        const KeySource::Type type = keyType == 1 ? KeySource::Type::B : KeySource::Type::A;
        switch (keySource) {
        case ModuleDefaultKey: return KeySource::readerDefault();
        case TypedKey:
            if (!typeChosen || keyBytes.size() != 6)
                return std::nullopt;
            return KeySource::keyBytes(type, keyBytes);
        case StoredKey:
            if (!typeChosen || slot < 0 || slot > 15)
                return std::nullopt;
            return KeySource::storeSlot(type, slot);
        default: return std::nullopt;
        }
    }
    // True when key() needs the typed key bytes (only then are they read).
    [[nodiscard]] bool needsKeyBytes() const { return keySource == TypedKey && (keyType == 0 || keyType == 1); }
};
