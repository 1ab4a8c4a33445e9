#pragma once

#include <QByteArray>

// What a key byte field (two hexadecimal digits) does with its text: on each key
// release, and when the focus leaves it. Shared by the main window's key fields, the
// access editor's byte edits and the module key store window.
namespace KeyByteRules {

// True for the keys a key byte field lets through: Backspace, Tab, Enter/Return,
// Shift, Control, Alt, Caps Lock, Page Up/Down, End, Home, the arrows, the digits
// (keypad included) and the letters A to F. Any other key, Delete included, empties
// the field. qtKey is a Qt::Key value.
[[nodiscard]] bool isAcceptedKey(int qtKey);

// The text after a key release: empty for a key that is not accepted; otherwise cut
// to its first two characters, which are then upper-cased, or emptied when one of them
// is not a hexadecimal digit. One character stays as typed until the field is left.
[[nodiscard]] QByteArray afterKeyRelease(int qtKey, const QByteArray &text);

// The text after the field is left: empty gives "5C", one character c gives "0c"
// upper-cased, and a text whose first two characters are not both 0-9/A-F gives "5C".
// A longer text whose first two characters are fine is kept whole (pasted text).
[[nodiscard]] QByteArray completed(const QByteArray &text);

// True when the first two characters are 0-9 or A-F: a key byte a frame can carry.
[[nodiscard]] bool isComplete(const QByteArray &text);

} // namespace KeyByteRules
