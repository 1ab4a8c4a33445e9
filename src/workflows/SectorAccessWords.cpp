#include "workflows/SectorAccessWords.h"

#include "access/AccessTables.h"
#include "files/CardImage.h"
#include "workflows/CardSectors.h"

namespace {

QString groupBlocks(int sector, int group)
{
    const int first = CardSectors::firstBlock(sector);
    if (group == 3)
        return QStringLiteral("Trailer (block %1)").arg(CardSectors::trailerBlock(sector));
    if (CardSectors::blockCount(sector) == 4)
        return QStringLiteral("Block %1").arg(first + group);
    return QStringLiteral("Blocks %1-%2").arg(first + 5 * group).arg(first + 5 * group + 4);
}

} // namespace

SectorAccessWords SectorAccessWords::describe(const AccessBytes &bytes, int sector)
{
    SectorAccessWords words;
    if (!AccessBitsValid(bytes)) {
        words.m_state = State::Invalid;
        return words;
    }
    words.m_state = State::Valid;
    for (int group = 0; group < 4; ++group) {
        const int k = DecodeAccessIndex(bytes, group);
        words.m_groups << Group{group, groupBlocks(sector, group), k, AccessTables::AccessDescriptionTexts(group, k)};
    }
    return words;
}

SectorAccessWords SectorAccessWords::describe(const CardImage &image, int sector)
{
    if (!isClassic(image.type()) || sector < 0 || sector >= CardSectors::sectorCount(image.type()))
        return {};
    const int first = CardSectors::trailerBlock(sector) * image.blockSize() + 6;
    for (int i = first; i < first + 3; ++i) {
        if (!image.isKnown(i))
            return {};
    }
    return describe(AccessBytes{image.byte(first), image.byte(first + 1), image.byte(first + 2)}, sector);
}

QString SectorAccessWords::text() const
{
    switch (m_state) {
    case State::Invalid: return InvalidText;
    case State::Unknown: return UnknownText;
    case State::Valid: break;
    }
    QStringList lines;
    for (const Group &group : m_groups) {
        const int k = group.accessIndex;
        lines << QStringLiteral("%1: C1C2C3 = %2%3%4").arg(group.blocks).arg((k >> 2) & 1).arg((k >> 1) & 1).arg(k & 1);
        for (const QString &line : group.texts)
            lines << QStringLiteral("  ") + line;
    }
    return lines.join(u'\n');
}
