#pragma once

#include "card/CardType.h"

#include <QPolygon>
#include <QRect>

// Pixel geometry of the grid painting, as plain functions so that it can be checked
// without painting. A cell is given by its content rectangle: left L, top T, right R
// and bottom B exclusive, the grid lines lying at x = R and y = B.
namespace GridPaintGeometry {

// Rectangle from edges, right and bottom exclusive.
[[nodiscard]] QRect fromEdges(int left, int top, int right, int bottom);

// Plain cell text: 2 pixels right of and below the top-left corner.
[[nodiscard]] QPoint cellTextOrigin(const QRect &cell);
// Corner text (trailer bytes, trailer value cells): exactly at the top-left corner.
[[nodiscard]] QPoint cornerTextOrigin(const QRect &cell);

// White over the cell and its grid lines right and below.
[[nodiscard]] QRect blankRect(const QRect &cell);
// Top 3 pixels of the first row of a sector.
[[nodiscard]] QRect separatorRect(const QRect &cell);
// 2-pixel rule over the left grid line and the first pixel column.
[[nodiscard]] QRect leftRuleRect(const QRect &cell);

struct ButtonShape {
    QRect face;       // button face
    QPolygon light;   // white: (L, B) - (L, T) - (R, T)
    QPolygon shadow;  // shadow: (L+1, B-1) - (R-1, B-1) - (R-1, T+1)
    QRect caption;    // caption text, left edge shifted by the offset
};
[[nodiscard]] ButtonShape buttonShape(const QRect &cell, int captionOffset);

struct ValueFieldShape {
    QRect frame;      // button face border
    QRect field;      // white field
    QRect text;       // corner text of the value
};
[[nodiscard]] ValueFieldShape valueFieldShape(const QRect &cell);

// The read strip over a row: x from 73 to 435 (grid1), 85 to 449 (grid4) or 45 to 200
// (gridUL), relative to the grid's left edge gridLeft, over the cell's height.
[[nodiscard]] QRect readStripRect(CardType type, int gridLeft, const QRect &cell);

} // namespace GridPaintGeometry
