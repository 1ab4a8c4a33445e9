#include "card/SectorTrailers.h"

namespace SectorTrailers {

int sectorCount(CardType type)
{
    switch (type) {
    case CardType::Mifare1K: return 16;
    case CardType::Mifare4K: return 40;
    case CardType::MifareUL: return 0;
    }
    return 0;
}

int sectorOfBlock(int block)
{
    return inLargeSector(block) ? 32 + (block - 128) / 16 : block / 4;
}

int trailerBlock(int sector)
{
    return sector < 32 ? 4 * sector + 3 : 128 + 16 * (sector - 32) + 15;
}

bool inLargeSector(int block)
{
    return block >= 128;
}

} // namespace SectorTrailers
