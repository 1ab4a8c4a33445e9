#include "files/MctDumpWriter.h"

#include "files/DumpText.h"

namespace MctDumpWriter {

QByteArray write(const CardImage &image)
{
    Q_ASSERT(isClassic(image.type()));
    QByteArray out;
    const int sectors = image.type() == CardType::Mifare1K ? 16 : 40;
    for (int sector = 0; sector < sectors; ++sector) {
        const int first = CardImage::firstBlockOfSector(sector);
        const int count = CardImage::blocksInSector(sector);
        bool anyKnown = false;
        for (int block = first; block < first + count; ++block)
            anyKnown |= !image.isBlockUnknown(block);
        if (!anyKnown)
            continue;
        out += "+Sector: " + QByteArray::number(sector) + '\n';
        for (int block = first; block < first + count; ++block)
            out += DumpText::hexRun(image, block * 16, 16, "--") + '\n';
    }
    return out;
}

} // namespace MctDumpWriter
