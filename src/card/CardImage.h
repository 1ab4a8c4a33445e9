#pragma once

#include "card/CardGeometry.h"

#include <QByteArray>

// The whole memory of one card as bytes, each either known or unknown. Every card image
// file is read into one and written from one; the grid loads from it and saves to it.
// Mifare 1K: 64 blocks of 16 bytes; Mifare 4K: 256 blocks of 16; Mifare UL: 16 pages of 4.
class CardImage
{
public:
    // Every byte unknown (and 00).
    explicit CardImage(CardType type = CardType::Mifare1K);

    // The card's layout, as CardGeometry gives it.
    [[nodiscard]] static int byteCountOf(CardType type) { return CardGeometry(type).byteCount(); }
    [[nodiscard]] static int blockSizeOf(CardType type) { return CardGeometry(type).blockSize(); }
    [[nodiscard]] static int blockCountOf(CardType type) { return CardGeometry(type).blockCount(); }
    [[nodiscard]] static int sectorOfBlock(int block) { return CardGeometry::sectorOfBlock(block); }
    [[nodiscard]] static int firstBlockOfSector(int sector) { return CardGeometry::firstBlockOfSector(sector); }
    [[nodiscard]] static int blocksInSector(int sector) { return CardGeometry::blocksInSector(sector); }
    [[nodiscard]] static bool isTrailerBlock(int block) { return CardGeometry::isClassicTrailer(block); }

    [[nodiscard]] CardType type() const { return m_type; }
    [[nodiscard]] int size() const { return int(m_bytes.size()); }
    [[nodiscard]] int blockSize() const { return blockSizeOf(m_type); }
    [[nodiscard]] int blockCount() const { return blockCountOf(m_type); }

public: // byte access; index is the byte's offset on the card
    [[nodiscard]] quint8 byte(int index) const { return quint8(m_bytes.at(index)); }
    [[nodiscard]] bool isKnown(int index) const { return m_known.at(index) != 0; }
    void setByte(int index, quint8 value);
    void setUnknown(int index);

    // All bytes in card order, unknown ones as 00.
    [[nodiscard]] const QByteArray &bytes() const { return m_bytes; }
    // Replaces all bytes and marks them known; the size must match the card type.
    void setBytes(const QByteArray &bytes);

    // Bytes of block (or page) n, unknown ones as 00.
    [[nodiscard]] QByteArray block(int n) const { return m_bytes.mid(qsizetype(n) * blockSize(), blockSize()); }
    [[nodiscard]] bool isBlockKnown(int n) const;
    [[nodiscard]] bool isBlockUnknown(int n) const;
    [[nodiscard]] int unknownCount() const;
    // Offset of the first unknown byte, -1 when all are known.
    [[nodiscard]] int firstUnknown() const;

    friend bool operator==(const CardImage &a, const CardImage &b)
    {
        return a.m_type == b.m_type && a.m_bytes == b.m_bytes && a.m_known == b.m_known;
    }

private:
    CardType m_type;
    QByteArray m_bytes;
    QByteArray m_known; // one flag byte per card byte: 1 known, 0 unknown
};
