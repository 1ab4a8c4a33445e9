#include "files/TextArea.h"

#include "card/CardImage.h"
#include "files/GridImage.h"
#include "files/TextLines.h"
#include "card/Hex.h"
#include "view/CardGridModel.h"

namespace TextArea {

QList<int> byteIndexes(CardType type, Use use)
{
    QList<int> indexes;
    const int size = CardImage::blockSizeOf(type);
    const int first = isClassic(type) ? 1 : (use == Use::Export ? 4 : 3);
    for (int block = first; block < CardImage::blockCountOf(type); ++block) {
        if (isClassic(type) && CardImage::isTrailerBlock(block))
            continue;
        for (int j = 0; j < size; ++j)
            indexes << block * size + j;
    }
    return indexes;
}

QByteArray gridText(const CardGridModel &grid, Use use)
{
    const CardType type = grid.cardType();
    QByteArray text;
    for (int i : byteIndexes(type, use)) {
        const QByteArray cell = grid.cell(GridImage::columnOf(type, i), GridImage::rowOf(type, i));
        // A zero byte is no character, however the cell spells it ("00", "0", empty).
        const quint8 value = Hex::pairValue(cell);
        if (value != 0)
            text += char(value);
    }
    return text;
}

void importText(CardGridModel &grid, const QByteArray &text)
{
    const CardType type = grid.cardType();
    qsizetype next = 0;
    for (int i : byteIndexes(type, Use::ImportOrView)) {
        const QByteArray cell = next < text.size() ? Hex::pair(quint8(text.at(next++))) : QByteArray("00");
        grid.setCell(GridImage::columnOf(type, i), GridImage::rowOf(type, i), cell);
    }
}

QByteArray fileText(const QByteArray &data)
{
    QByteArray text;
    for (const QByteArray &line : TextLines::split(data))
        text += line + "\r\n";
    return text;
}

} // namespace TextArea
