#pragma once

#include "card/CardGeometry.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The fixed layout of the three card grids: which row holds which block or page,
// which columns hold bytes, labels, values and actions, and the action code of every
// cell. Cells are addressed (column, row) from 0; rows 0 and 1 are header rows and
// block b / page p sits in row b + 2 / p + 2. Everything here is plain arithmetic.

struct CellPos {
    int column = 0;
    int row = 0;
    friend bool operator==(const CellPos &, const CellPos &) = default;
};

namespace CardLayout {

constexpr int kFirstDataRow = CardGeometry::FirstDataRow; // block 0 / page 0
constexpr int kRowHeight = 20;         // pixels of a cell, grid line not included
constexpr int kGridLine = 1;           // one line right of and below every cell
constexpr int kFirstByteColumnClassic = 2;
constexpr int kLastByteColumnClassic = 17;
constexpr int kDescriptionColumnClassic = 18;
constexpr int kAmountColumn = 23;      // value cell: amount for increment and decrement
constexpr int kValueColumn = 29;       // value cell: value to write / value last read
constexpr int kFirstByteColumnUL = 1;
constexpr int kLastByteColumnUL = 4;
constexpr int kDescriptionColumnUL = 5;

[[nodiscard]] int rowCount(CardType type);
[[nodiscard]] int columnCount(CardType type);
// Cell widths in pixels, one per column (grid line not included).
[[nodiscard]] QVector<int> columnWidths(CardType type);

// Last row holding a data block that is not a trailer (grid1 64, grid4 256), or the
// last page row (gridUL 17). The typing cursor never goes below it.
[[nodiscard]] int lastDataRow(CardType type);

// Sector of a Classic row: 4-block sectors below row 130, 16-block sectors from it.
[[nodiscard]] int sectorOfRow(int row);
// Index of a Classic row's block within its sector.
[[nodiscard]] int blockInSector(int row);
// True for the row of block 0 of a sector (row 2 included).
[[nodiscard]] bool isSectorStartRow(int row);

[[nodiscard]] bool isByteColumn(CardType type, int column);
[[nodiscard]] bool isValueColumn(CardType type, int column);
[[nodiscard]] bool isSpacerColumn(CardType type, int column);

// Action code of any cell of a grid of the given type.
[[nodiscard]] QByteArray cellAction(CardType type, int column, int row);
// What the action of a cell does, in words, for screen readers ("Read block 8",
// "Set keys of sector 2", "Write page 5"); empty for a cell without an action.
[[nodiscard]] QString actionName(CardType type, int column, int row);

} // namespace CardLayout

// True for the row of a sector trailer: rows 5, 9, ..., 129, then 145, 161, ..., 257.
[[nodiscard]] bool IsTrailerRow(int row);

// Action code of a cell of grid1 or grid4: "S", "W", "R", "I", "D", "WV", "RV" or "N".
[[nodiscard]] QByteArray ClassicCellAction(int column, int row);

// Action code of a cell of gridUL: "W", "R", "S" or "N".
[[nodiscard]] QByteArray UltralightCellAction(int column, int row);
