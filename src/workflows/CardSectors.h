#pragma once

#include "files/CardImage.h"
#include "view/CardType.h"

// The card geometry the workflows use, in one place: Mifare 1K has 16 sectors of 4
// blocks, Mifare 4K 32 sectors of 4 and then 8 of 16, Mifare UL 16 pages and no
// sectors. Block arithmetic is CardImage's; this adds what a sector-wise run needs.
namespace CardSectors {

// 16 for Mifare 1K, 40 for Mifare 4K, 0 for Mifare UL.
[[nodiscard]] inline int sectorCount(CardType type)
{
    switch (type) {
    case CardType::Mifare1K: return 16;
    case CardType::Mifare4K: return 40;
    case CardType::MifareUL: return 0;
    }
    return 0;
}

[[nodiscard]] inline int firstBlock(int sector) { return CardImage::firstBlockOfSector(sector); }
[[nodiscard]] inline int blockCount(int sector) { return CardImage::blocksInSector(sector); }
[[nodiscard]] inline int trailerBlock(int sector) { return firstBlock(sector) + blockCount(sector) - 1; }
[[nodiscard]] inline int sectorOfBlock(int block) { return CardImage::sectorOfBlock(block); }
[[nodiscard]] inline bool isTrailer(int block) { return CardImage::isTrailerBlock(block); }

// Access group (0..3) of a block within its sector: in a 16-block sector groups 0..2
// cover five blocks each and group 3 is the trailer.
[[nodiscard]] inline int accessGroupOfBlock(int block)
{
    const int offset = block - firstBlock(sectorOfBlock(block));
    return blockCount(sectorOfBlock(block)) == 4 ? offset : qMin(offset / 5, 3);
}

} // namespace CardSectors
