#pragma once

#include <QByteArray>

class CardGridModel;

// The cell tests run before anything from a grid is sent to a card. Each returns "ok"
// or "error". Only upper-case digits pass: lower-case letters are rejected, and
// characters after the tested ones are not looked at.

// The 16 byte cells of a Classic block's row (grid1 or grid4): each at least two
// characters, the first two hexadecimal digits.
[[nodiscard]] QByteArray CheckBlockHex(const CardGridModel &grid, int block);
// The byte cells of an Ultralight page's row (columns 1 to 4; page 2 only 3 and 4,
// the lock bytes, as its first two bytes are never sent).
[[nodiscard]] QByteArray CheckPageHex(const CardGridModel &gridUL, int page);
// A value cell (column 23 or 29) of a Classic block's row: eight hexadecimal digits.
[[nodiscard]] QByteArray CheckValueHex(const CardGridModel &grid, int block, int column);
