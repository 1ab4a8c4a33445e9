#include "view/GridLayout.h"

#include "card/Hex.h"
#include "view/CardGridModel.h"
#include "view/CardLayout.h"

namespace {

// Key A, access bytes FF 07 80, general-purpose byte 69, key B.
constexpr quint8 kDefaultTrailer[16] = {0x5C, 0x5C, 0x5C, 0x5C, 0x5C, 0x5C, 0xFF, 0x07,
                                        0x80, 0x69, 0x5C, 0x5C, 0x5C, 0x5C, 0x5C, 0x5C};

void layoutClassic(CardGridModel &grid)
{
    using namespace CardLayout;
    grid.setCell(0, 1, "Sector");
    grid.setCell(1, 1, "Block");
    for (int j = 0; j < 16; ++j)
        grid.setCell(kFirstByteColumnClassic + j, 1, QByteArray::number(j).rightJustified(2, '0'));
    grid.setCell(kDescriptionColumnClassic, 1, "Description");

    for (int row = kFirstDataRow; row < grid.rows(); ++row) {
        const int block = row - kFirstDataRow;
        const int index = blockInSector(row);
        if (index == 0)
            grid.setCell(0, row, QByteArray::number(sectorOfRow(row)));
        grid.setCell(1, row, QByteArray::number(block) + " (" + QByteArray::number(index) + ')');
        if (!IsTrailerRow(row))
            grid.setCell(kDescriptionColumnClassic, row, "Data Block");
    }
    grid.setCell(kDescriptionColumnClassic, kFirstDataRow, "Serial");
}

} // namespace

namespace GridLayout {

void apply(CardGridModel &grid)
{
    switch (grid.cardType()) {
    case CardType::Mifare1K: format_gridClick(grid); break;
    case CardType::Mifare4K: format_grid_4K_2Click(grid); break;
    case CardType::MifareUL: format_gridULClick(grid); break;
    }
}

void format_gridClick(CardGridModel &grid1)
{
    layoutClassic(grid1);
}

void format_grid_4K_2Click(CardGridModel &grid4)
{
    layoutClassic(grid4);
}

void format_gridULClick(CardGridModel &gridUL)
{
    using namespace CardLayout;
    gridUL.setCell(0, 1, "Page");
    for (int page = 0; page < 16; ++page)
        gridUL.setCell(0, page + kFirstDataRow, QByteArray::number(page));
    for (int j = 0; j < 4; ++j)
        gridUL.setCell(kFirstByteColumnUL + j, 1, Hex::pair(quint8(j)));
    gridUL.setCell(kDescriptionColumnUL, 1, "Description");
    for (int row = kFirstDataRow; row < gridUL.rows(); ++row) {
        const QByteArray text = row <= 3 ? QByteArray("Serial")
                                : row == 4 ? QByteArray("Internal/Lock")
                                : row == 5 ? QByteArray("OTP")
                                           : QByteArray("Data Block");
        gridUL.setCell(kDescriptionColumnUL, row, text);
    }
}

void fillDefaults(CardGridModel &grid)
{
    using namespace CardLayout;
    if (grid.cardType() == CardType::MifareUL) {
        grid.setCell(3, 4, "00");
        grid.setCell(4, 4, "00");
        for (int row = 5; row < grid.rows(); ++row) {
            for (int column = kFirstByteColumnUL; column <= kLastByteColumnUL; ++column)
                grid.setCell(column, row, "00");
        }
        return;
    }
    for (int row = 3; row < grid.rows(); ++row) {
        const bool trailer = IsTrailerRow(row);
        for (int j = 0; j < 16; ++j)
            grid.setCell(kFirstByteColumnClassic + j, row, trailer ? Hex::pair(kDefaultTrailer[j]) : QByteArray("00"));
    }
}

} // namespace GridLayout
