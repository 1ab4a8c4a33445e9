#include "files/TemplateReader.h"

#include "card/CardImage.h"

namespace TemplateReader {

namespace {

QString typeName(CardType type)
{
    switch (type) {
    case CardType::Mifare1K: return QStringLiteral("Mifare 1K");
    case CardType::Mifare4K: return QStringLiteral("Mifare 4K");
    case CardType::MifareUL: return QStringLiteral("Mifare UL");
    }
    return {};
}

// Takes the field at offset from line when both its characters are there.
bool takeField(const QByteArray &line, qsizetype offset, int byteIndex, Content &content)
{
    if (offset + 2 > line.size()) {
        ++content.missingCells;
        return false;
    }
    content.cells.append({byteIndex, line.mid(offset, 2)});
    return true;
}

} // namespace

QList<CardType> typesOf(const QByteArray &headerLine)
{
    QList<CardType> types;
    if (headerLine.contains("1K"))
        types << CardType::Mifare1K;
    if (headerLine.contains("4K"))
        types << CardType::Mifare4K;
    if (headerLine.contains("UL"))
        types << CardType::MifareUL;
    return types;
}

Content read(const QByteArrayList &lines, CardType type)
{
    Content content;
    const int size = CardImage::blockSizeOf(type);
    const int blocks = CardImage::blockCountOf(type);
    // Classic: line n holds block n-1 from block 1; Ultralight: line n holds page n from page 2.
    const int firstBlock = isClassic(type) ? 1 : 2;
    const int lineOffset = isClassic(type) ? 1 : 0;
    content.expectedLines = blocks - firstBlock;

    for (int block = firstBlock; block < blocks; ++block) {
        const int lineIndex = block + lineOffset - 1;
        const bool ulLockLine = !isClassic(type) && block == 2;
        const int fields = ulLockLine ? 2 : size;
        if (lineIndex >= lines.size()) {
            ++content.missingLines;
            content.missingCells += fields;
            continue;
        }
        const QByteArray &line = lines.at(lineIndex);
        bool complete = true;
        if (ulLockLine) {
            // ",,L0,L1,": the lock bytes at offsets 2 and 5.
            complete &= takeField(line, 2, block * size + 2, content);
            complete &= takeField(line, 5, block * size + 3, content);
        } else {
            for (int j = 0; j < size; ++j)
                complete &= takeField(line, 3 * j, block * size + j, content);
        }
        if (!complete)
            ++content.shortLines;
    }
    return content;
}

QString describeMissing(const Content &content, CardType type)
{
    if (content.missingCells == 0)
        return {};
    QStringList parts;
    if (content.missingLines > 0) {
        parts << QStringLiteral("%1 of its %2 %3 data lines are missing")
                     .arg(content.missingLines)
                     .arg(content.expectedLines)
                     .arg(typeName(type));
    }
    if (content.shortLines > 0)
        parts << QStringLiteral("%1 lines are too short").arg(content.shortLines);
    return parts.join(QStringLiteral(" and "))
        + QStringLiteral("; %1 bytes were not loaded").arg(content.missingCells);
}

} // namespace TemplateReader
