#include "files/EmlDumpReader.h"

#include "files/DumpText.h"
#include "files/TextLines.h"

namespace EmlDumpReader {

std::optional<CardImage> read(const QByteArray &data, QString *problem)
{
    // Read into a 4K image (the largest), then copy into the size the count names.
    CardImage all(CardType::Mifare4K);
    int lineSize = 0; // hexadecimal digits per line, set by the first data line
    int count = 0;
    const QByteArrayList lines = TextLines::split(data);
    for (int n = 0; n < lines.size(); ++n) {
        const QByteArray line = TextLines::trimmed(lines.at(n));
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (lineSize == 0) {
            if (line.size() != 32 && line.size() != 8) {
                *problem = DumpText::atLine(n + 1)
                    + QStringLiteral("expected 32 hexadecimal digits (a block) or 8 (an Ultralight page), found %1 "
                                     "characters")
                          .arg(line.size());
                return std::nullopt;
            }
            lineSize = int(line.size());
        }
        const int maxLines = lineSize == 32 ? 256 : 16;
        if (count == maxLines) {
            *problem = DumpText::atLine(n + 1) + QStringLiteral("more than %1 %2").arg(maxLines).arg(
                           lineSize == 32 ? QStringLiteral("blocks") : QStringLiteral("pages"));
            return std::nullopt;
        }
        QString bad;
        if (!DumpText::readHexRun(line, lineSize / 2, 0, all, count * lineSize / 2, &bad)) {
            *problem = DumpText::atLine(n + 1) + bad;
            return std::nullopt;
        }
        ++count;
    }

    CardType type = CardType::Mifare1K;
    if (lineSize == 8 && count == 16) {
        type = CardType::MifareUL;
    } else if (lineSize == 32 && count == 64) {
        type = CardType::Mifare1K;
    } else if (lineSize == 32 && count == 256) {
        type = CardType::Mifare4K;
    } else {
        *problem = lineSize == 8
            ? QStringLiteral("it holds %1 pages; a Mifare UL dump has 16").arg(count)
            : QStringLiteral("it holds %1 blocks; expected 64 (Mifare 1K) or 256 (Mifare 4K)").arg(count);
        return std::nullopt;
    }
    CardImage image(type);
    image.setBytes(all.bytes().left(image.size()));
    return image;
}

} // namespace EmlDumpReader
