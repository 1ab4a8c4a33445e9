#include "files/GridImage.h"

#include "card/Hex.h"
#include "view/CardGridModel.h"

namespace GridImage {

int columnOf(CardType type, int byteIndex)
{
    const int size = CardImage::blockSizeOf(type);
    return byteIndex % size + (isClassic(type) ? 2 : 1);
}

int rowOf(CardType type, int byteIndex)
{
    return CardGeometry::rowOfBlock(byteIndex / CardImage::blockSizeOf(type));
}

QString describeByte(CardType type, int byteIndex)
{
    const int size = CardImage::blockSizeOf(type);
    return QStringLiteral("%1 %2, byte %3")
        .arg(isClassic(type) ? QStringLiteral("block") : QStringLiteral("page"))
        .arg(byteIndex / size)
        .arg(byteIndex % size);
}

std::optional<CardImage> fromGrid(const CardGridModel &grid, QString *problem)
{
    CardImage image(grid.cardType());
    for (int i = 0; i < image.size(); ++i) {
        const QByteArray text = grid.cell(columnOf(image.type(), i), rowOf(image.type(), i));
        if (text.isEmpty())
            continue;
        if (text.size() != 2 || !Hex::isDigit(text.at(0)) || !Hex::isDigit(text.at(1))) {
            if (problem) {
                *problem = QStringLiteral("The grid's %1 holds \"%2\", which is not a hexadecimal byte.")
                               .arg(describeByte(image.type(), i), QString::fromLatin1(text));
            }
            return std::nullopt;
        }
        image.setByte(i, Hex::pairValue(text));
    }
    return image;
}

void toGrid(const CardImage &image, CardGridModel &grid)
{
    Q_ASSERT(image.type() == grid.cardType());
    for (int i = 0; i < image.size(); ++i) {
        if (image.isKnown(i))
            grid.setCell(columnOf(image.type(), i), rowOf(image.type(), i), Hex::pair(image.byte(i)));
    }
}

} // namespace GridImage
