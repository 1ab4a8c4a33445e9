#pragma once

#include <QColor>

class QPalette;

// The colours of the card grids, the editors and the help panes, all derived from one
// palette so that every text contrasts with what it is drawn on. Under a light palette
// the fills are the program's own (white cells, cream trailers, sky-blue read strip,
// silver rows, grey rules); under a dark one they become tints of the palette's base in
// the same hues. Each text colour is the palette's own where it is readable on its fill
// and otherwise moved in lightness until it is.
struct ColourScheme
{
    QColor cell;         // plain cells, blanks, the title band, value fields
    QColor cellText;
    QColor cream;        // sector trailer rows, help panes
    QColor creamText;
    QColor strip;        // the read strip
    QColor stripText;
    QColor rule;         // rules left of the bytes and the description
    QColor buttonFace;   // painted buttons, separators, fixed table cells
    QColor buttonText;
    QColor buttonLight;  // the light edge of a painted button
    QColor buttonShadow;
    QColor shaded;       // rows of the access table that deserve attention
    QColor shadedText;
    QColor warningText;  // red warnings on the window background
    QColor highlight;    // the selected cell
    QColor highlightText;

    [[nodiscard]] static ColourScheme fromPalette(const QPalette &palette);

    // Contrast ratio of two colours, 1 (same) to 21 (black on white), as the usual
    // accessibility guidelines define it; 4.5 is what normal text needs.
    [[nodiscard]] static double contrast(const QColor &a, const QColor &b);
    // The preferred colour when it reaches 4.5 against the fill; otherwise the same hue
    // made darker or lighter, whichever reaches it first (at worst black or white).
    [[nodiscard]] static QColor readableOn(const QColor &fill, const QColor &preferred);
};
