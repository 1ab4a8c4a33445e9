#include "files/MctDumpReader.h"

#include "files/DumpText.h"
#include "files/TextLines.h"

#include <QSet>

namespace MctDumpReader {

namespace {

const QByteArray SectorPrefix = "+Sector:";

// Sector number of a header line, -1 when the text after the prefix is no number.
int sectorNumber(const QByteArray &line)
{
    const QByteArray number = TextLines::trimmed(line.mid(SectorPrefix.size()));
    bool ok = false;
    const int sector = number.toInt(&ok);
    return ok && !number.startsWith('+') && !number.startsWith('-') ? sector : -1;
}

} // namespace

std::optional<CardImage> read(const QByteArray &data, QString *problem)
{
    CardImage all(CardType::Mifare4K);
    QSet<int> seen;
    int highest = -1;
    int sector = -1;      // sector being read
    int blocksLeft = 0;   // its lines still expected
    int headerLine = 0;   // line number of its header

    auto unfinished = [&]() {
        *problem = DumpText::atLine(headerLine)
            + QStringLiteral("sector %1 has %2 of its %3 block lines")
                  .arg(sector)
                  .arg(CardImage::blocksInSector(sector) - blocksLeft)
                  .arg(CardImage::blocksInSector(sector));
        return std::nullopt;
    };

    const QByteArrayList lines = TextLines::split(data);
    for (int n = 0; n < lines.size(); ++n) {
        const QByteArray line = TextLines::trimmed(lines.at(n));
        if (line.isEmpty())
            continue;
        if (line.startsWith(SectorPrefix)) {
            if (blocksLeft > 0)
                return unfinished();
            sector = sectorNumber(line);
            if (sector < 0 || sector > 39) {
                *problem = DumpText::atLine(n + 1) + QStringLiteral("expected a sector number from 0 to 39, found \"%1\"")
                                                         .arg(QString::fromLatin1(line.mid(SectorPrefix.size())));
                return std::nullopt;
            }
            if (seen.contains(sector)) {
                *problem = DumpText::atLine(n + 1) + QStringLiteral("sector %1 appears a second time").arg(sector);
                return std::nullopt;
            }
            seen.insert(sector);
            highest = std::max(highest, sector);
            blocksLeft = CardImage::blocksInSector(sector);
            headerLine = n + 1;
            continue;
        }
        if (sector < 0) {
            *problem = DumpText::atLine(n + 1) + QStringLiteral("expected \"+Sector: N\"");
            return std::nullopt;
        }
        if (blocksLeft == 0) {
            *problem = DumpText::atLine(n + 1)
                + QStringLiteral("sector %1 has only %2 blocks; expected \"+Sector: N\"")
                      .arg(sector)
                      .arg(CardImage::blocksInSector(sector));
            return std::nullopt;
        }
        const int block = CardImage::firstBlockOfSector(sector) + CardImage::blocksInSector(sector) - blocksLeft;
        QString bad;
        if (!DumpText::readHexRun(line, 16, '-', all, block * 16, &bad)) {
            *problem = DumpText::atLine(n + 1) + bad;
            return std::nullopt;
        }
        --blocksLeft;
    }
    if (blocksLeft > 0)
        return unfinished();
    if (highest < 0) {
        *problem = QStringLiteral("no \"+Sector: N\" line");
        return std::nullopt;
    }

    CardImage image(highest < 16 ? CardType::Mifare1K : CardType::Mifare4K);
    for (int i = 0; i < image.size(); ++i) {
        if (all.isKnown(i))
            image.setByte(i, all.byte(i));
    }
    return image;
}

} // namespace MctDumpReader
