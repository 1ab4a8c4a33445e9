#pragma once

#include <QByteArray>

class CardGridModel;

// A block or page read from the card into its row of the grid: the 16 byte cells of a
// Classic block or the 4 of an Ultralight page. A sector trailer's row keeps its own
// cells: its keys read as zeros, and the grid holds the keys the user set.
void readIntoGrid(CardGridModel &grid, int number, const QByteArray &bytes);
