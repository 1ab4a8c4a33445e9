#pragma once

#include "card/CardImage.h"

#include <QString>

#include <optional>

class CardGridModel;

// Moves card bytes between a grid and a CardImage. Byte j of Classic block b is the
// cell (j+2, b+2); byte j of Ultralight page p is the cell (j+1, p+2).
namespace GridImage {

[[nodiscard]] int columnOf(CardType type, int byteIndex);
[[nodiscard]] int rowOf(CardType type, int byteIndex);

// "block 5, byte 3" or "page 2, byte 1": how messages name a byte of the card.
[[nodiscard]] QString describeByte(CardType type, int byteIndex);

// The grid's bytes. An empty cell is an unknown byte; a cell that is not two
// hexadecimal digits gives no image and sets problem to a sentence naming it.
[[nodiscard]] std::optional<CardImage> fromGrid(const CardGridModel &grid, QString *problem);

// Writes every known byte into its cell as two upper-case digits; unknown bytes
// leave their cells alone. The image must be of the grid's card type.
void toGrid(const CardImage &image, CardGridModel &grid);

} // namespace GridImage
