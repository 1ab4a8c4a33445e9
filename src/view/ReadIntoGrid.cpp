#include "view/ReadIntoGrid.h"

#include "card/CardGeometry.h"
#include "card/Hex.h"
#include "view/CardGridModel.h"
#include "view/CardLayout.h"

void readIntoGrid(CardGridModel &grid, int number, const QByteArray &bytes)
{
    const CardGeometry geometry(grid.cardType());
    if (geometry.classic() && CardGeometry::isClassicTrailer(number))
        return;
    const int firstColumn = geometry.classic() ? CardLayout::kFirstByteColumnClassic : CardLayout::kFirstByteColumnUL;
    const int row = CardGeometry::rowOfBlock(number);
    for (int b = 0; b < geometry.blockSize(); ++b)
        grid.setCell(firstColumn + b, row, Hex::pair(quint8(bytes.at(b))));
}
