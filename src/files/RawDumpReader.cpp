#include "files/RawDumpReader.h"

#include "files/UltralightDumpHeader.h"

namespace RawDumpReader {

std::optional<CardImage> read(const QByteArray &data, QString *problem)
{
    for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL}) {
        if (data.size() == CardImage::byteCountOf(type)) {
            CardImage image(type);
            image.setBytes(data);
            return image;
        }
    }
    // An Ultralight dump with the header some tools put first: the pages follow it.
    if (UltralightDumpHeader::of(data)) {
        CardImage image(CardType::MifareUL);
        image.setBytes(data.mid(UltralightDumpHeader::Size));
        return image;
    }
    if (data.size() == 320 || data.size() == 2048) {
        *problem = QStringLiteral("it holds %1 bytes, the image of a Mifare %2 card, which this program does not "
                                  "handle (Mifare 1K: 1024 bytes, Mifare 4K: 4096, Mifare UL: 64)")
                       .arg(data.size())
                       .arg(data.size() == 320 ? QStringLiteral("Mini") : QStringLiteral("2K"));
    } else {
        *problem = QStringLiteral("it holds %1 bytes; a raw image has 1024 (Mifare 1K), 4096 (Mifare 4K) or 64 "
                                  "(Mifare UL; 120 with a 56-byte header before the pages)")
                       .arg(data.size());
    }
    return std::nullopt;
}

} // namespace RawDumpReader
