#pragma once

#include <QByteArray>

// Hexadecimal helpers shared by every subsystem. Card bytes, frames and files are
// single-byte text (QByteArray): one character per byte, no encoding.
namespace Hex {

// True for 0-9, A-F and a-f.
[[nodiscard]] bool isDigit(char c);
// True for 0-9 and A-F only (the upper-case form the grids and key fields store).
[[nodiscard]] bool isUpperDigit(char c);

// Value 0..15 of one hexadecimal character; 0 for a character that is not one.
[[nodiscard]] int digitValue(char c);
// 16 * value of text[0] + value of text[1]; missing characters count as 0.
// Callers check the text first; this never reads past the text.
[[nodiscard]] quint8 pairValue(const QByteArray &text);

// Two upper-case hexadecimal digits of a byte ("0F").
[[nodiscard]] QByteArray pair(quint8 byte);
// Every byte as two upper-case digits followed by one space ("FF 00 01 81 82 ").
[[nodiscard]] QByteArray echo(const QByteArray &bytes);

// True when text has at least n characters and the first n are 0-9 or A-F.
[[nodiscard]] bool startsWithUpperDigits(const QByteArray &text, int n);

} // namespace Hex
