#include "view/GridEditing.h"

#include "card/Hex.h"
#include "view/CardGridModel.h"

namespace {

// Upper case, and a leading "0" for a single digit; empty cells stay empty.
QByteArray canonicalByte(const QByteArray &text)
{
    QByteArray out = text.toUpper();
    if (out.size() == 1)
        out.prepend('0');
    return out;
}

// Non-empty values shorter than eight digits get leading zeros; always upper case.
QByteArray canonicalValue(const QByteArray &text)
{
    // A decimal value after '#' stays as typed; it is converted where it is used.
    if (text.isEmpty() || text.startsWith('#'))
        return text;
    return text.toUpper().rightJustified(8, '0');
}

void normalizeCell(CardGridModel &grid, int column, int row, QByteArray (*rule)(const QByteArray &))
{
    const QByteArray &text = grid.cellRef(column, row);
    if (text.isEmpty())
        return;
    QByteArray tidy = rule(text);
    if (tidy != text)
        grid.setCell(column, row, tidy);
}

} // namespace

KeyRoute keyRoute(CardType type, int column, int row, bool asciiView)
{
    using namespace CardLayout;
    if (row < 0 || row >= rowCount(type))
        return KeyRoute::Discard;
    if (type == CardType::MifareUL) {
        if (!isByteColumn(type, column))
            return KeyRoute::Discard;
        if (asciiView)
            return row >= 6 ? KeyRoute::Ascii : KeyRoute::Discard;
        // Serial bytes 0 and 1 of page 2 are fixed by the manufacturer.
        if (row < 4 || (row == 4 && column <= 2))
            return KeyRoute::Discard;
        return KeyRoute::Hex;
    }
    if (row < 3)
        return KeyRoute::Discard;
    const bool trailer = IsTrailerRow(row);
    if (isByteColumn(type, column))
        return (asciiView && !trailer) ? KeyRoute::Ascii : KeyRoute::Hex;
    if (isValueColumn(type, column))
        return trailer ? KeyRoute::Discard : KeyRoute::Hex;
    return KeyRoute::Discard;
}

CellPos NextByteCell(CardType type, CellPos from)
{
    using namespace CardLayout;
    const int first = type == CardType::MifareUL ? kFirstByteColumnUL : kFirstByteColumnClassic;
    const int last = type == CardType::MifareUL ? kLastByteColumnUL : kLastByteColumnClassic;
    if (from.column < last)
        return {from.column + 1, from.row};

    if (type == CardType::MifareUL) {
        if (from.row >= lastDataRow(type))
            return from;
        return {first, from.row + 1};
    }
    const int next = IsTrailerRow(from.row + 1) ? from.row + 2 : from.row + 1;
    if (next > lastDataRow(type))
        return {first, from.row};
    return {first, next};
}

void NormalizeGrid(CardGridModel &grid, bool asciiView)
{
    using namespace CardLayout;
    const CardType type = grid.cardType();
    if (type == CardType::MifareUL) {
        if (asciiView)
            return;
        for (int row = 4; row < grid.rows(); ++row) {
            for (int column = kFirstByteColumnUL; column <= kLastByteColumnUL; ++column)
                normalizeCell(grid, column, row, canonicalByte);
        }
        return;
    }
    for (int row = 1; row < grid.rows(); ++row) {
        const bool trailer = IsTrailerRow(row);
        if (!asciiView || trailer) {
            for (int column = kFirstByteColumnClassic; column <= kLastByteColumnClassic; ++column)
                normalizeCell(grid, column, row, canonicalByte);
        }
        if (!trailer) {
            normalizeCell(grid, kAmountColumn, row, canonicalValue);
            normalizeCell(grid, kValueColumn, row, canonicalValue);
        }
    }
}

bool isAsciiDataCell(CardType type, int column, int row)
{
    if (!CardLayout::isByteColumn(type, column))
        return false;
    if (type == CardType::MifareUL)
        return row >= 6 && row <= 17;
    return row >= 3 && row <= CardLayout::lastDataRow(type) && !IsTrailerRow(row);
}

void GridToAscii(CardGridModel &grid)
{
    const CardType type = grid.cardType();
    for (int row = 0; row < grid.rows(); ++row) {
        for (int column = 0; column < grid.columns(); ++column) {
            if (!isAsciiDataCell(type, column, row))
                continue;
            const QByteArray &text = grid.cellRef(column, row);
            if (text.isEmpty())
                continue;
            const quint8 value = Hex::pairValue(text.size() == 1 ? '0' + text : text);
            grid.setCell(column, row, value == 0 ? QByteArray() : QByteArray(1, char(value)));
        }
    }
}

void GridToHex(CardGridModel &grid)
{
    const CardType type = grid.cardType();
    for (int row = 0; row < grid.rows(); ++row) {
        for (int column = 0; column < grid.columns(); ++column) {
            if (!isAsciiDataCell(type, column, row))
                continue;
            const QByteArray &text = grid.cellRef(column, row);
            grid.setCell(column, row, text.isEmpty() ? QByteArray("00") : Hex::pair(quint8(text.at(0))));
        }
    }
}

QString clickHint(CardType type, int column, int row)
{
    const QByteArray code = CardLayout::cellAction(type, column, row);
    if (type == CardType::MifareUL) {
        if (code == "W")
            return QStringLiteral("Double Click to Write to the selected block");
        if (code == "R")
            return QStringLiteral("Double Click to Read from the selected block");
        if (code == "S")
            return QStringLiteral("Double Click to open lock configuration window");
        return {};
    }
    if (code == "R")
        return QStringLiteral("Double Click to Read from selected block");
    if (code == "W")
        return QStringLiteral("Double Click to Write selected block");
    if (code == "I")
        return QStringLiteral("Double Click to Increment Value");
    if (code == "D")
        return QStringLiteral("Double Click to Decrement Value");
    if (code == "RV")
        return QStringLiteral("Double Click to Read Value");
    if (code == "WV")
        return QStringLiteral("Double Click to Write Value");
    return {};
}
