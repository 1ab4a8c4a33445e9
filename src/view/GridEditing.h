#pragma once

#include "view/CardLayout.h"

#include <QString>

class CardGridModel;

// The editing rules of the card grids that need no widget: which cells take keys and
// how, where the typing cursor goes next, the tidy-up run on every selection change,
// the two view conversions and the status-bar hints.

// How a typed character is handled in a cell.
enum class KeyRoute {
    Discard, // the cell never takes keys (labels, block 0, actions, locked pages)
    Hex,     // hexadecimal digits and Enter only (FilterHexKey)
    Ascii,   // any character becomes the byte (EnterAsciiChar)
};

[[nodiscard]] KeyRoute keyRoute(CardType type, int column, int row, bool asciiView);

// Next byte cell after a completed byte: right along the row, then the first byte of
// the next row, jumping over sector trailers and never below the last data row.
[[nodiscard]] CellPos NextByteCell(CardType type, CellPos from);

// Canonical form before any action reads the grid: upper-case two-digit bytes and
// eight-digit values. In the ASCII view the character cells are left alone.
void NormalizeGrid(CardGridModel &grid, bool asciiView);

// The data cells turned between two hex digits and one character (empty for 0).
// Only data blocks and pages 4..15 are converted; trailers and pages 0..3 stay hex.
void GridToAscii(CardGridModel &grid);
void GridToHex(CardGridModel &grid);
// True for the cells GridToAscii and GridToHex convert.
[[nodiscard]] bool isAsciiDataCell(CardType type, int column, int row);

// Status-bar hint for a single click on a cell; empty when the cell has none.
[[nodiscard]] QString clickHint(CardType type, int column, int row);
