#include "view/CellChecks.h"

#include "card/Hex.h"
#include "view/CardGridModel.h"
#include "view/CardLayout.h"

namespace {

QByteArray checkCells(const CardGridModel &grid, int row, int firstColumn, int lastColumn, int digits)
{
    for (int column = firstColumn; column <= lastColumn; ++column) {
        if (!Hex::startsWithUpperDigits(grid.cell(column, row), digits))
            return "error";
    }
    return "ok";
}

} // namespace

QByteArray CheckBlockHex(const CardGridModel &grid, int block)
{
    return checkCells(grid, block + CardLayout::kFirstDataRow, CardLayout::kFirstByteColumnClassic,
                      CardLayout::kLastByteColumnClassic, 2);
}

QByteArray CheckPageHex(const CardGridModel &gridUL, int page)
{
    const int first = page == 2 ? 3 : CardLayout::kFirstByteColumnUL;
    return checkCells(gridUL, page + CardLayout::kFirstDataRow, first, CardLayout::kLastByteColumnUL, 2);
}

QByteArray CheckValueHex(const CardGridModel &grid, int block, int column)
{
    return checkCells(grid, block + CardLayout::kFirstDataRow, column, column, 8);
}
