#include "windows/RowInfo.h"

#include "card/CardGeometry.h"
#include "card/Hex.h"
#include "view/CardGridModel.h"
#include "view/CardLayout.h"
#include "workflows/SectorAccessWords.h"
#include "workflows/ValueBlock.h"

#include <optional>

namespace {

// The row's 16 bytes, or none when a cell is not two hexadecimal digits.
std::optional<QByteArray> rowBytes(const CardGridModel &grid, int row)
{
    QByteArray bytes;
    for (int column = CardLayout::kFirstByteColumnClassic; column <= CardLayout::kLastByteColumnClassic; ++column) {
        const QByteArray &text = grid.cellRef(column, row);
        if (text.size() != 2 || !Hex::isDigit(text.at(0)) || !Hex::isDigit(text.at(1)))
            return std::nullopt;
        bytes.append(char(Hex::pairValue(text.toUpper())));
    }
    return bytes;
}

} // namespace

RowInfo rowInfo(const CardGridModel &grid, int row)
{
    const CardType type = grid.cardType();
    if (type == CardType::MifareUL || row < CardLayout::kFirstDataRow || row >= grid.rows())
        return {};
    const int block = row - CardLayout::kFirstDataRow;
    const std::optional<QByteArray> bytes = rowBytes(grid, row);
    if (!bytes)
        return {};
    if (IsTrailerRow(row)) {
        const AccessBytes access{quint8(bytes->at(6)), quint8(bytes->at(7)), quint8(bytes->at(8))};
        const SectorAccessWords words = SectorAccessWords::describe(access, CardGeometry::sectorOfBlock(block));
        const bool valid = words.state() == SectorAccessWords::State::Valid;
        return {valid ? RowInfo::Kind::Access : RowInfo::Kind::InvalidAccess, words.text()};
    }
    // Block 0 holds the manufacturer data, never a value.
    if (block == 0)
        return {};
    const std::optional<ValueBlockContents> value = ValueBlock::decode(*bytes);
    if (!value)
        return {};
    return {RowInfo::Kind::Value, ValueBlock::text(*value)};
}
