#include "view/CardLayout.h"

#include <QString>

namespace CardLayout {

int rowCount(CardType type)
{
    return CardGeometry(type).rowCount();
}

int columnCount(CardType type)
{
    return type == CardType::MifareUL ? 10 : 34;
}

QVector<int> columnWidths(CardType type)
{
    if (type == CardType::MifareUL)
        return {45, 18, 18, 18, 18, 60, 18, 60, 18, 60};
    QVector<int> widths{38, type == CardType::Mifare4K ? 44 : 32};
    widths.insert(widths.size(), 16, 18);
    widths << 60 << 22 << 5 << 22 << 15 << 70 << 5 << 22 << 5 << 22 << 15 << 70 << 5 << 25 << 5 << 22;
    return widths;
}

int lastDataRow(CardType type)
{
    const CardGeometry geometry(type);
    // Classic: the block before the last trailer.
    return CardGeometry::rowOfBlock(geometry.blockCount() - (geometry.classic() ? 2 : 1));
}

int sectorOfRow(int row)
{
    return CardGeometry::sectorOfBlock(CardGeometry::blockOfRow(row));
}

int blockInSector(int row)
{
    return CardGeometry::blockInSector(CardGeometry::blockOfRow(row));
}

bool isSectorStartRow(int row)
{
    return row >= kFirstDataRow && blockInSector(row) == 0;
}

bool isByteColumn(CardType type, int column)
{
    if (type == CardType::MifareUL)
        return column >= kFirstByteColumnUL && column <= kLastByteColumnUL;
    return column >= kFirstByteColumnClassic && column <= kLastByteColumnClassic;
}

bool isValueColumn(CardType type, int column)
{
    return isClassic(type) && (column == kAmountColumn || column == kValueColumn);
}

bool isSpacerColumn(CardType type, int column)
{
    if (type == CardType::MifareUL)
        return column == 6 || column == 8;
    return column >= 20 && column <= 32 && column % 2 == 0;
}

QByteArray cellAction(CardType type, int column, int row)
{
    return isClassic(type) ? ClassicCellAction(column, row) : UltralightCellAction(column, row);
}

QString actionName(CardType type, int column, int row)
{
    const QByteArray action = cellAction(type, column, row);
    const int number = row - kFirstDataRow;
    const auto named = [number](const char *what) { return QString::fromLatin1(what).arg(number); };
    if (type == CardType::MifareUL) {
        if (action == "R")
            return named("Read page %1");
        if (action == "W")
            return named("Write page %1");
        if (action == "S")
            return QStringLiteral("Set lock bytes");
        return {};
    }
    if (action == "R")
        return named("Read block %1");
    if (action == "W")
        return named("Write block %1");
    if (action == "RV")
        return named("Read value block %1");
    if (action == "WV")
        return named("Write value block %1");
    if (action == "I")
        return named("Increment value block %1");
    if (action == "D")
        return named("Decrement value block %1");
    if (action == "S")
        return QStringLiteral("Set keys of sector %1").arg(sectorOfRow(row));
    return {};
}

} // namespace CardLayout

bool IsTrailerRow(int row)
{
    return CardGeometry::isClassicTrailer(CardGeometry::blockOfRow(row));
}

QByteArray ClassicCellAction(int column, int row)
{
    if (row < CardLayout::kFirstDataRow)
        return "N";
    const bool trailer = IsTrailerRow(row);
    if (column == 18 && trailer)
        return "S";
    if (column == 19 && row != 2)
        return "W";
    if (column == 21)
        return "R";
    if (row >= 3 && !trailer) {
        switch (column) {
        case 25: return "I";
        case 27: return "D";
        case 31: return "WV";
        case 33: return "RV";
        default: break;
        }
    }
    return "N";
}

QByteArray UltralightCellAction(int column, int row)
{
    if (column == 9 && row >= 4)
        return "W";
    if (column == 7 && row >= 2)
        return "R";
    if (column == 5 && row == 4)
        return "S";
    return "N";
}
