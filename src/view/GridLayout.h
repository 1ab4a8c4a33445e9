#pragma once

class CardGridModel;

// Labels, headers and default contents of the card grids. A layout writes only the
// label, header and description cells, never a byte or value cell, so re-applying it
// keeps the card image.
namespace GridLayout {

// Lays out a grid according to its card type.
void apply(CardGridModel &grid);
// Default contents of an empty card of the grid's type: default trailers and zero
// data for Classic (block 0 untouched); zero lock bytes and pages 3..15 for Ultralight.
void fillDefaults(CardGridModel &grid);

// The three layouts by name; each expects a grid of its own card type.
void format_gridClick(CardGridModel &grid1);
void format_grid_4K_2Click(CardGridModel &grid4);
void format_gridULClick(CardGridModel &gridUL);

} // namespace GridLayout
