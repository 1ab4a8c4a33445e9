#pragma once

#include "files/CardImage.h"

#include <QList>
#include <QString>

// Where two card images of the same card type differ. A byte differs when its values
// differ, or when it is known in one image and unknown in the other; a byte unknown in
// both does not. Images of different card types are not compared byte by byte.
class CardImageDiff
{
public:
    struct SectorSummary {
        int sector = 0;
        QList<int> blocks; // the sector's blocks that differ
        int bytes = 0;     // differing bytes in them
        friend bool operator==(const SectorSummary &, const SectorSummary &) = default;
    };

    [[nodiscard]] static CardImageDiff compare(const CardImage &a, const CardImage &b);

    [[nodiscard]] bool typesDiffer() const { return m_a.type() != m_b.type(); }
    [[nodiscard]] bool identical() const { return !typesDiffer() && m_offsets.isEmpty(); }

    // Offsets of the differing bytes, ascending.
    [[nodiscard]] const QList<int> &bytes() const { return m_offsets; }
    [[nodiscard]] bool differs(int offset) const;
    // Blocks (Ultralight: pages) holding a differing byte, ascending.
    [[nodiscard]] QList<int> blocks() const;
    // Classic cards: one entry per sector that differs; Ultralight: none.
    [[nodiscard]] QList<SectorSummary> sectors() const;

    // The first differing offset after offset (-1 starts at the beginning), or -1.
    [[nodiscard]] int next(int offset) const;
    // The last differing offset before offset (the image size starts at the end), or -1.
    [[nodiscard]] int previous(int offset) const;

    // A report for the command line: a count, then per sector, then each differing
    // block of both images with the differing bytes marked.
    [[nodiscard]] QString summaryText() const;

private:
    CardImageDiff(const CardImage &a, const CardImage &b) : m_a(a), m_b(b) {}

    CardImage m_a;
    CardImage m_b;
    QList<int> m_offsets;
};
