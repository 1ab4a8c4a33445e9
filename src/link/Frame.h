#pragma once

#include <QByteArray>

// Module frames: FF 00 Length Command Data... Checksum, Length counting the command
// and data bytes, the checksum being the low 8 bits of the sum of every byte after the
// header.
namespace Frame {

// Largest Length a response may announce (its tail must fit a 66-byte buffer).
constexpr int MaxResponseLength = 65;

// Request frame for a command and its data, checksum included.
[[nodiscard]] QByteArray request(quint8 command, const QByteArray &data = {});

// Sum of bytes 1 .. size-2 modulo 256: the checksum a frame must end with.
[[nodiscard]] quint8 checksum(const QByteArray &frame);

// Response data text: the bytes between the command byte and the checksum, zero bytes
// left out, one character per byte.
[[nodiscard]] QByteArray dataText(const QByteArray &frame);

// The characters of the non-zero bytes, in order (the request column of some commands).
[[nodiscard]] QByteArray nonZeroChars(const QByteArray &bytes);

// Joins two log columns with tabs so that they line up.
[[nodiscard]] QByteArray PadColumns(QByteArray first, const QByteArray &second);

} // namespace Frame
