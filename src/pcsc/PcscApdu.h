#pragma once

#include <QByteArray>

// The storage-card commands of contactless PC/SC readers, as command APDUs (class FF),
// and what their answers mean. Pure functions over bytes.
namespace PcscApdu {

// Key type bytes of the general authenticate command.
enum class Key : quint8 { A = 0x60, B = 0x61 };

// Operation bytes of the value-block command (FF D7).
enum class ValueOp : quint8 { Store = 0x00, Increment = 0x01, Decrement = 0x02, Restore = 0x03 };

// What a command does, for the meaning of its answer.
enum class Command { GetUid, LoadKey, Authenticate, Read, Write, ValueOperation, ReadValue };

// How an answer ends, from its status word.
enum class Outcome {
    Ok,               // 90 00
    Failed,           // 63 00: the card refused (wrong key, access bits, bad block)
    NotAuthenticated, // 69 82: the block's sector is not authenticated
    Unsupported,      // 6A 81, 6D 00, 6E 00, 68 00: the reader does not offer the command
    WrongLength,      // 67 00, 6C xx
    Unexpected,       // any other status word
    NoAnswer,         // shorter than a status word
};

// The volatile key slot the program loads its keys into.
constexpr quint8 KeySlot = 0x00;

// FF CA 00 00 00: the card's UID.
[[nodiscard]] QByteArray getUid();
// FF 82 00 slot 06 key: the key into a volatile slot of the reader.
[[nodiscard]] QByteArray loadKey(const QByteArray &key, quint8 slot = KeySlot);
// FF 86 00 00 05 01 00 block keyType slot: authenticate the block's sector.
[[nodiscard]] QByteArray authenticate(int block, Key key, quint8 slot = KeySlot);
// FF B0 00 block length: a Classic block, or Ultralight pages from the given one.
[[nodiscard]] QByteArray readBinary(int block, int length = 16);
// FF D6 00 block Lc data: 16 bytes (a Classic block) or 4 (an Ultralight page).
[[nodiscard]] QByteArray updateBinary(int block, const QByteArray &data);
// FF D7 00 block 05 op value (most significant byte first): store, increment or
// decrement, the result transferred into the block.
[[nodiscard]] QByteArray valueOperation(int block, ValueOp op, qint32 value);
// FF D7 00 source 02 03 target: the source's value restored into the target.
[[nodiscard]] QByteArray restoreValue(int source, int target);
// FF B1 00 block 04: the value of a value block, most significant byte first.
[[nodiscard]] QByteArray readValue(int block);

// SW1 SW2 of a response APDU; 0 when it is shorter than two bytes.
[[nodiscard]] quint16 statusWord(const QByteArray &answer);
// The data before the status word.
[[nodiscard]] QByteArray answerData(const QByteArray &answer);
[[nodiscard]] Outcome outcome(const QByteArray &answer);
// "READ OK", "AUTHENTICATION FAILED (63 00)", "NOT SUPPORTED BY THE READER (6D 00)", ...
[[nodiscard]] QByteArray meaning(Command command, const QByteArray &answer);
// The status word as two hex pairs, "63 00".
[[nodiscard]] QByteArray statusText(quint16 sw);
// A value from its 4 bytes, most significant first; and back.
[[nodiscard]] qint32 valueFromBytes(const QByteArray &bytes);
[[nodiscard]] QByteArray valueBytes(qint32 value);

} // namespace PcscApdu
