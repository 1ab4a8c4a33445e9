#pragma once

#include "access/AccessBits.h"

#include <QList>
#include <QString>
#include <QStringList>

class CardImage;

// The access conditions of one sector in plain words, from its trailer's bytes 6..8:
// per block group the texts the access editor shows for its access index.
class SectorAccessWords
{
public:
    enum class State { Valid, Invalid, Unknown };

    struct Group {
        int group = 0;      // 0..2 data blocks, 3 the trailer
        QString blocks;     // "Block 4", "Blocks 128-132", "Trailer (block 7)"
        int accessIndex = 0;
        QStringList texts;  // AccessTables::AccessDescriptionTexts(group, accessIndex)
    };

    static inline const QString InvalidText = QStringLiteral("invalid access bits: sector unusable");
    static inline const QString UnknownText = QStringLiteral("access bits not known");

    // Sector 0..39 with the given access bytes.
    [[nodiscard]] static SectorAccessWords describe(const AccessBytes &bytes, int sector);
    // The sector's trailer in a Classic image; Unknown when a byte of 6..8 is unknown.
    [[nodiscard]] static SectorAccessWords describe(const CardImage &image, int sector);

    [[nodiscard]] State state() const { return m_state; }
    // Four groups when valid, none otherwise.
    [[nodiscard]] const QList<Group> &groups() const { return m_groups; }
    // For a tooltip or side panel: per group "Block 4: C1C2C3 = 000" and its texts
    // indented; or InvalidText / UnknownText alone.
    [[nodiscard]] QString text() const;

private:
    State m_state = State::Unknown;
    QList<Group> m_groups;
};
