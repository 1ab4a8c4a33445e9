#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QList>

#include <optional>

// Where everything sits on a card of one type. Mifare 1K: 16 sectors of 4 blocks of
// 16 bytes; Mifare 4K: 32 sectors of 4 blocks (blocks 0..127), then 8 of 16 (blocks
// 128..255); Mifare UL: 16 pages of 4 bytes, no sectors, read four pages at a time.
// The grids show block or page n in row n + 2, below two header rows. Every other
// class asks this one; nothing here knows of widgets or the reader.
class CardGeometry
{
public:
    constexpr explicit CardGeometry(CardType type) : m_type(type) {}

    [[nodiscard]] constexpr CardType type() const { return m_type; }
    [[nodiscard]] constexpr bool classic() const { return isClassic(m_type); }

public: // blocks (pages on Mifare UL)
    // 64, 256 or 16.
    [[nodiscard]] constexpr int blockCount() const
    {
        return m_type == CardType::Mifare4K ? 256 : m_type == CardType::MifareUL ? 16 : 64;
    }
    // Bytes of a block (16) or page (4).
    [[nodiscard]] constexpr int blockSize() const { return classic() ? 16 : 4; }
    [[nodiscard]] constexpr int byteCount() const { return blockCount() * blockSize(); }

public: // sectors (Classic only; a Mifare UL card has none)
    // 16, 40 or 0.
    [[nodiscard]] constexpr int sectorCount() const
    {
        return m_type == CardType::Mifare4K ? 40 : m_type == CardType::MifareUL ? 0 : 16;
    }
    // The layout of sectors is the same on both Classic cards; a 1K card just ends early.
    [[nodiscard]] static constexpr int sectorOfBlock(int block)
    {
        return block < LargeSectorFirstBlock ? block / 4 : 32 + (block - LargeSectorFirstBlock) / 16;
    }
    [[nodiscard]] static constexpr int firstBlockOfSector(int sector)
    {
        return sector < 32 ? sector * 4 : LargeSectorFirstBlock + (sector - 32) * 16;
    }
    [[nodiscard]] static constexpr int blocksInSector(int sector) { return sector < 32 ? 4 : 16; }
    [[nodiscard]] static constexpr int trailerOfSector(int sector)
    {
        return firstBlockOfSector(sector) + blocksInSector(sector) - 1;
    }
    // Index of a block within its sector.
    [[nodiscard]] static constexpr int blockInSector(int block) { return block - firstBlockOfSector(sectorOfBlock(block)); }
    // True for blocks 128 and up, whose sectors have 16 blocks.
    [[nodiscard]] static constexpr bool inLargeSector(int block) { return block >= LargeSectorFirstBlock; }
    [[nodiscard]] static constexpr bool isClassicTrailer(int block)
    {
        return block >= 0 && block == trailerOfSector(sectorOfBlock(block));
    }
    // A sector trailer of this card; never true on Mifare UL.
    [[nodiscard]] constexpr bool isTrailer(int block) const
    {
        return classic() && block >= 0 && block < blockCount() && isClassicTrailer(block);
    }

public: // whole-card runs
    // Where a whole-card run authenticates: the first block of every sector (none on
    // Mifare UL, which has no authentication).
    [[nodiscard]] constexpr bool isAuthenticationPoint(int block) const
    {
        return classic() && block >= 0 && block < blockCount() && block == firstBlockOfSector(sectorOfBlock(block));
    }
    [[nodiscard]] QList<int> authenticationPoints() const;
    // The numbers a read-all reads: every block, or pages 0, 4, 8 and 12 (each read
    // answers four pages).
    [[nodiscard]] QList<int> wholeCardReads() const;
    // Pages one Mifare UL read answers, and where their numbering wraps.
    static constexpr int PagesPerRead = 4;
    // The page numbers one read starting at page answers: page, page + 1, ... mod 16.
    [[nodiscard]] static constexpr int pageOfRead(int page, int i) { return (page + i) % 16; }

public: // grid rows
    static constexpr int FirstDataRow = 2;
    [[nodiscard]] static constexpr int rowOfBlock(int block) { return block + FirstDataRow; }
    [[nodiscard]] static constexpr int blockOfRow(int row) { return row - FirstDataRow; }
    // Rows of a grid: the header rows and one per block or page.
    [[nodiscard]] constexpr int rowCount() const { return FirstDataRow + blockCount(); }

public: // card code
    // "1", "4" or "U": how pending seek-mode reads name the card to complete.
    [[nodiscard]] QByteArray code() const;
    [[nodiscard]] static std::optional<CardType> typeOfCode(const QByteArray &code);

private:
    static constexpr int LargeSectorFirstBlock = 128;
    CardType m_type;
};
