#pragma once

#include "card/CardType.h"

#include <QMetaType>
#include <QString>

// What the painter draws over one cell on top of its plain text: the decorations of a
// card grid, worked out from the card layout so that the delegate needs no card rules.
// The delegate paints the parts in this order: read strip, title band, separator,
// cream trailer, button, left rule, blank, value field.
struct CellLook {
    enum class Body {
        Text,         // the plain cell text only
        Blank,        // white over the cell and its grid lines
        Button,       // raised button with caption
        ValueField,   // sunken white field, text in it
        TrailerValue, // blank, text at the top-left corner
    };

    bool titleBand = false; // row 0: the white band with its caption
    bool separator = false; // first row of a sector: top 3 pixels in button face
    bool cream = false;     // trailer byte and label cells: cream, text at the corner
    bool leftRule = false;  // 2-pixel grey rule along the left edge
    Body body = Body::Text;
    QString caption;        // button caption
    int captionOffset = 0;  // button caption indent in pixels
};
Q_DECLARE_METATYPE(CellLook)

// The row-0 title band of a grid: white over (0, 0, 555, 22) and over the inner band,
// the caption from textLeft. X positions are relative to the grid's left edge.
struct TitleBand {
    int innerLeft = 0;
    int innerRight = 0;
    int textLeft = 0;
    QString text;
};

[[nodiscard]] CellLook cellLook(CardType type, int column, int row);
[[nodiscard]] TitleBand titleBand(CardType type);
