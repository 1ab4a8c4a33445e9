#pragma once

#include <QByteArray>

// Which key a reader authenticates with: six key bytes given with the request, the
// reader's own default key, or a slot of the reader's key store.
struct KeySource
{
    enum class Kind { Bytes, ReaderDefault, StoreSlot };
    enum class Type { A, B };

    Kind kind = Kind::ReaderDefault;
    Type type = Type::A;
    QByteArray bytes; // six bytes for Kind::Bytes
    int slot = 0;     // for Kind::StoreSlot

    [[nodiscard]] static KeySource keyBytes(Type type, const QByteArray &sixBytes)
    {
        return {Kind::Bytes, type, sixBytes, 0};
    }
    [[nodiscard]] static KeySource readerDefault() { return {Kind::ReaderDefault, Type::A, {}, 0}; }
    [[nodiscard]] static KeySource storeSlot(Type type, int slot) { return {Kind::StoreSlot, type, {}, slot}; }
};
