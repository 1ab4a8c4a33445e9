#include "workflows/CardImageDiff.h"

#include "link/Hex.h"
#include "workflows/CardSectors.h"

#include <algorithm>

namespace {

QString cardName(CardType type)
{
    return QStringLiteral("Mifare ") + QString::fromLatin1(cardTypeSuffix(type));
}

QString plural(int count, const QString &word)
{
    return QString::number(count) + u' ' + word + (count == 1 ? QString() : QStringLiteral("s"));
}

QString blockBytes(const CardImage &image, int block)
{
    QString text;
    const int first = block * image.blockSize();
    for (int i = first; i < first + image.blockSize(); ++i) {
        text += i > first ? QStringLiteral(" ") : QString();
        text += image.isKnown(i) ? QString::fromLatin1(Hex::pair(image.byte(i))) : QStringLiteral("??");
    }
    return text;
}

} // namespace

CardImageDiff CardImageDiff::compare(const CardImage &a, const CardImage &b)
{
    CardImageDiff diff(a, b);
    if (diff.typesDiffer())
        return diff;
    for (int i = 0; i < a.size(); ++i) {
        const bool known = a.isKnown(i);
        if (known != b.isKnown(i) || (known && a.byte(i) != b.byte(i)))
            diff.m_offsets << i;
    }
    return diff;
}

bool CardImageDiff::differs(int offset) const
{
    return std::binary_search(m_offsets.cbegin(), m_offsets.cend(), offset);
}

QList<int> CardImageDiff::blocks() const
{
    QList<int> blocks;
    for (int offset : m_offsets) {
        const int block = offset / m_a.blockSize();
        if (blocks.isEmpty() || blocks.last() != block)
            blocks << block;
    }
    return blocks;
}

QList<CardImageDiff::SectorSummary> CardImageDiff::sectors() const
{
    QList<SectorSummary> sectors;
    if (!isClassic(m_a.type()))
        return sectors;
    for (int offset : m_offsets) {
        const int block = offset / m_a.blockSize();
        const int sector = CardSectors::sectorOfBlock(block);
        if (sectors.isEmpty() || sectors.last().sector != sector) {
            sectors.append(SectorSummary());
            sectors.last().sector = sector;
        }
        SectorSummary &summary = sectors.last();
        if (summary.blocks.isEmpty() || summary.blocks.last() != block)
            summary.blocks << block;
        ++summary.bytes;
    }
    return sectors;
}

int CardImageDiff::next(int offset) const
{
    const auto it = std::upper_bound(m_offsets.cbegin(), m_offsets.cend(), offset);
    return it == m_offsets.cend() ? -1 : *it;
}

int CardImageDiff::previous(int offset) const
{
    const auto it = std::lower_bound(m_offsets.cbegin(), m_offsets.cend(), offset);
    return it == m_offsets.cbegin() ? -1 : *(it - 1);
}

QString CardImageDiff::summaryText() const
{
    if (typesDiffer()) {
        return QStringLiteral("The card images are of different card types: %1 and %2.\n")
            .arg(cardName(m_a.type()), cardName(m_b.type()));
    }
    if (identical())
        return QStringLiteral("The card images are identical.\n");

    const bool classic = isClassic(m_a.type());
    const QString unit = classic ? QStringLiteral("block") : QStringLiteral("page");
    const QList<int> differing = blocks();
    const int count = int(m_offsets.size());
    QString text = QStringLiteral("%1 %2 in %3.\n")
                       .arg(plural(count, QStringLiteral("byte")), count == 1 ? QStringLiteral("differs") : QStringLiteral("differ"),
                            plural(int(differing.size()), unit));
    for (const SectorSummary &summary : sectors()) {
        QStringList numbers;
        for (int block : summary.blocks)
            numbers << QString::number(block);
        text += QStringLiteral("sector %1: %2 %3 (%4)\n")
                    .arg(summary.sector)
                    .arg(summary.blocks.size() == 1 ? unit : unit + u's', numbers.join(QStringLiteral(", ")),
                         plural(summary.bytes, QStringLiteral("byte")));
    }
    for (int block : differing) {
        // Under "  A: " and each byte's two digits.
        QString marks = QStringLiteral("     ");
        for (int i = 0; i < m_a.blockSize(); ++i)
            marks += differs(block * m_a.blockSize() + i) ? QStringLiteral("^^ ") : QStringLiteral("   ");
        while (marks.endsWith(u' '))
            marks.chop(1);
        text += QStringLiteral("%1 %2%3:\n  A: %4\n  B: %5\n%6\n")
                    .arg(unit)
                    .arg(block)
                    .arg(classic && CardSectors::isTrailer(block) ? QStringLiteral(" (trailer)") : QString())
                    .arg(blockBytes(m_a, block), blockBytes(m_b, block), marks);
    }
    return text;
}
