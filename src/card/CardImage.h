#pragma once

#include "card/CardType.h"

#include <QByteArray>

// The whole memory of one card as bytes, each either known or unknown. Every card image
// file is read into one and written from one; the grid loads from it and saves to it.
// Mifare 1K: 64 blocks of 16 bytes; Mifare 4K: 256 blocks of 16; Mifare UL: 16 pages of 4.
class CardImage
{
public:
    // Every byte unknown (and 00).
    explicit CardImage(CardType type = CardType::Mifare1K);

    [[nodiscard]] static int byteCountOf(CardType type);
    [[nodiscard]] static int blockSizeOf(CardType type) { return isClassic(type) ? 16 : 4; }
    [[nodiscard]] static int blockCountOf(CardType type) { return byteCountOf(type) / blockSizeOf(type); }
    // Sector of a Classic block: 4 blocks each up to block 127, then 16 blocks each.
    [[nodiscard]] static int sectorOfBlock(int block) { return block < 128 ? block / 4 : 32 + (block - 128) / 16; }
    [[nodiscard]] static int firstBlockOfSector(int sector) { return sector < 32 ? sector * 4 : 128 + (sector - 32) * 16; }
    [[nodiscard]] static int blocksInSector(int sector) { return sector < 32 ? 4 : 16; }
    [[nodiscard]] static bool isTrailerBlock(int block) { return block < 128 ? block % 4 == 3 : block % 16 == 15; }

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
