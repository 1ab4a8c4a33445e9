#include "files/TemplateWriter.h"

#include "card/CardImage.h"
#include "files/GridImage.h"
#include "view/CardGridModel.h"

namespace TemplateWriter {

QByteArray header(CardType type)
{
    switch (type) {
    case CardType::Mifare1K: return "**MIFARE 1K TEMPLATE**";
    case CardType::Mifare4K: return "**MIFARE 4K TEMPLATE**";
    case CardType::MifareUL: return "**MIFARE ULTRALIGHT TEMPLATE**";
    }
    return {};
}

QByteArray write(const CardGridModel &grid)
{
    const CardType type = grid.cardType();
    const int size = CardImage::blockSizeOf(type);
    auto field = [&](int block, int j) {
        const int i = block * size + j;
        return grid.cell(GridImage::columnOf(type, i), GridImage::rowOf(type, i)) + ',';
    };

    QByteArray out = header(type) + "\r\n";
    int first = 1;
    if (!isClassic(type)) {
        out += ",," + field(2, 2) + field(2, 3) + "\r\n";
        first = 3;
    }
    for (int block = first; block < CardImage::blockCountOf(type); ++block) {
        for (int j = 0; j < size; ++j)
            out += field(block, j);
        out += "\r\n";
    }
    return out;
}

} // namespace TemplateWriter
