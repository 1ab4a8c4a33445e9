#pragma once

#include "workflows/ClassicKey.h"

#include <QHash>

#include <optional>

struct KeySearchResult;

// How one sector is authenticated: with which key as which type.
struct SectorAuth {
    KeyType type = KeyType::A;
    ClassicKey key;

    friend bool operator==(const SectorAuth &, const SectorAuth &) = default;
};

// The key of each sector for a Read All with found keys, instead of one key for the
// whole card: key A where it was found, else key B. Sectors without a plan are left to
// the caller (the panel's key, or skipped).
class SectorKeyPlan
{
public:
    [[nodiscard]] static SectorKeyPlan fromSearch(const KeySearchResult &result);

    void set(int sector, const SectorAuth &auth) { m_first.insert(sector, auth); }
    [[nodiscard]] bool isEmpty() const { return m_first.isEmpty(); }
    [[nodiscard]] std::optional<SectorAuth> forSector(int sector) const;
    [[nodiscard]] std::optional<SectorAuth> forBlock(int block) const;
    // Key B when both keys were found: access conditions may let only B read a block,
    // so a read that fails with A can be retried with it.
    [[nodiscard]] std::optional<SectorAuth> alternative(int sector) const;

private:
    QHash<int, SectorAuth> m_first;
    QHash<int, SectorAuth> m_second;
};
