#pragma once

#include "card/CardType.h"

// Where the sector trailers of a MIFARE Classic card are: sectors 0 to 31 have 4
// blocks (blocks 0..127), sectors 32 to 39 of a 4K card have 16 (blocks 128..255).
namespace SectorTrailers {

// 16 for Mifare 1K, 40 for Mifare 4K, 0 for Mifare UL.
[[nodiscard]] int sectorCount(CardType type);
// Sector of an absolute block number.
[[nodiscard]] int sectorOfBlock(int block);
// Absolute block number of a sector's trailer.
[[nodiscard]] int trailerBlock(int sector);
// True for blocks 128 and up, whose sectors have 16 blocks.
[[nodiscard]] bool inLargeSector(int block);

} // namespace SectorTrailers
