#include "workflows/SectorKeyPlan.h"

#include "workflows/CardSectors.h"
#include "workflows/KeySearch.h"

SectorKeyPlan SectorKeyPlan::fromSearch(const KeySearchResult &result)
{
    SectorKeyPlan plan;
    for (const SectorKeys &entry : result.sectors) {
        if (entry.keyA) {
            plan.m_first.insert(entry.sector, {KeyType::A, *entry.keyA});
            if (entry.keyB)
                plan.m_second.insert(entry.sector, {KeyType::B, *entry.keyB});
        } else if (entry.keyB) {
            plan.m_first.insert(entry.sector, {KeyType::B, *entry.keyB});
        }
    }
    return plan;
}

std::optional<SectorAuth> SectorKeyPlan::forSector(int sector) const
{
    const auto it = m_first.constFind(sector);
    return it == m_first.cend() ? std::nullopt : std::optional<SectorAuth>(*it);
}

std::optional<SectorAuth> SectorKeyPlan::forBlock(int block) const
{
    return forSector(CardSectors::sectorOfBlock(block));
}

std::optional<SectorAuth> SectorKeyPlan::alternative(int sector) const
{
    const auto it = m_second.constFind(sector);
    return it == m_second.cend() ? std::nullopt : std::optional<SectorAuth>(*it);
}
