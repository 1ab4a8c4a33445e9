#include "files/NfcDumpReader.h"

#include "files/DumpText.h"
#include "files/TextLines.h"

#include <QList>

namespace NfcDumpReader {

namespace {

struct DataLine {
    int lineNumber = 0;
    int index = 0; // block or page number
    QByteArray bytes;
};

// Index of "Block N" / "Page N" keys, -1 when the key is another one.
int indexAfter(const QByteArray &key, const QByteArray &word)
{
    if (!key.startsWith(word + ' '))
        return -1;
    const QByteArray number = key.mid(word.size() + 1);
    bool ok = false;
    const int index = number.toInt(&ok);
    return ok && !number.isEmpty() && number.at(0) >= '0' && number.at(0) <= '9' ? index : -2;
}

} // namespace

std::optional<CardImage> read(const QByteArray &data, QString *problem)
{
    bool sawFileType = false;
    QByteArray deviceType;
    QByteArray classicType;
    QList<DataLine> blocks;
    QList<DataLine> pages;

    const QByteArrayList lines = TextLines::split(data);
    for (int n = 0; n < lines.size(); ++n) {
        const QByteArray line = TextLines::trimmed(lines.at(n));
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon < 0) {
            *problem = DumpText::atLine(n + 1) + QStringLiteral("expected \"Key: value\"");
            return std::nullopt;
        }
        const QByteArray key = TextLines::trimmed(line.left(colon));
        const QByteArray value = TextLines::trimmed(line.mid(colon + 1));
        if (!sawFileType) {
            if (key != "Filetype" || value != "Flipper NFC device") {
                *problem = DumpText::atLine(n + 1) + QStringLiteral("expected \"Filetype: Flipper NFC device\"");
                return std::nullopt;
            }
            sawFileType = true;
            continue;
        }
        if (key == "Device type") {
            deviceType = value;
        } else if (key == "Mifare Classic type") {
            classicType = value;
        } else if (const int block = indexAfter(key, "Block"); block != -1) {
            blocks.append({n + 1, block, value});
        } else if (const int page = indexAfter(key, "Page"); page != -1) {
            pages.append({n + 1, page, value});
        }
    }
    if (!sawFileType) {
        *problem = QStringLiteral("expected \"Filetype: Flipper NFC device\"");
        return std::nullopt;
    }

    CardType type = CardType::Mifare1K;
    if (deviceType == "Mifare Classic") {
        if (classicType == "1K") {
            type = CardType::Mifare1K;
        } else if (classicType == "4K") {
            type = CardType::Mifare4K;
        } else {
            *problem = classicType.isEmpty()
                ? QStringLiteral("no \"Mifare Classic type\" line")
                : QStringLiteral("Mifare Classic type \"%1\"; this program handles 1K and 4K")
                      .arg(QString::fromLatin1(classicType));
            return std::nullopt;
        }
    } else if (deviceType.contains("Ultralight") || deviceType.contains("NTAG")) {
        type = CardType::MifareUL;
    } else {
        *problem = deviceType.isEmpty() ? QStringLiteral("no \"Device type\" line")
                                        : QStringLiteral("device type \"%1\"; expected Mifare Classic or Ultralight")
                                              .arg(QString::fromLatin1(deviceType));
        return std::nullopt;
    }

    CardImage image(type);
    const bool classic = isClassic(type);
    const QList<DataLine> &entries = classic ? blocks : pages;
    const QString word = classic ? QStringLiteral("block") : QStringLiteral("page");
    QList<bool> seen(image.blockCount(), false);
    for (const DataLine &entry : entries) {
        if (entry.index < 0 || entry.index >= image.blockCount()) {
            *problem = DumpText::atLine(entry.lineNumber)
                + QStringLiteral("%1 number out of range; a %2 image has %3 from 0 to %4")
                      .arg(word, classic ? QStringLiteral("Mifare %1").arg(QString::fromLatin1(classicType))
                                         : QStringLiteral("Mifare UL"))
                      .arg(word + 's')
                      .arg(image.blockCount() - 1);
            return std::nullopt;
        }
        if (seen.at(entry.index)) {
            *problem = DumpText::atLine(entry.lineNumber) + QStringLiteral("%1 %2 appears a second time").arg(word).arg(entry.index);
            return std::nullopt;
        }
        seen[entry.index] = true;
        const QByteArrayList fields = entry.bytes.simplified().split(' ');
        if (fields.size() != image.blockSize()) {
            *problem = DumpText::atLine(entry.lineNumber)
                + QStringLiteral("expected %1 bytes, found %2").arg(image.blockSize()).arg(fields.size());
            return std::nullopt;
        }
        for (int j = 0; j < image.blockSize(); ++j) {
            QString bad;
            if (!DumpText::readHexRun(fields.at(j), 1, '?', image, entry.index * image.blockSize() + j, &bad)) {
                *problem = DumpText::atLine(entry.lineNumber)
                    + QStringLiteral("byte %1: expected two hexadecimal digits or ??, found \"%2\"")
                          .arg(j)
                          .arg(QString::fromLatin1(fields.at(j)));
                return std::nullopt;
            }
        }
    }
    // Blocks that are not listed, and "??" bytes, stay unknown.
    return image;
}

} // namespace NfcDumpReader
