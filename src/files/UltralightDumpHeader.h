#pragma once

#include <QByteArray>

#include <array>
#include <optional>

// The 56 bytes a research tool's Ultralight dump carries before the pages: the card's
// version (8 bytes), TBO (2), TBO1 (1), a page count (1), the originality signature
// (32), then three counters of 3 bytes each followed by its tearing flag.
struct UltralightDumpHeader {
    static constexpr int Size = 56;
    static constexpr int PagesSize = 64; // an original Ultralight: 16 pages of 4 bytes

    QByteArray version;
    QByteArray tbo;
    quint8 tbo1 = 0;
    quint8 pages = 0;
    QByteArray signature;
    std::array<QByteArray, 3> counters; // as stored, 3 bytes each
    std::array<quint8, 3> tearing {};

    // The header of a dump that has one: exactly Size + PagesSize bytes.
    [[nodiscard]] static std::optional<UltralightDumpHeader> of(const QByteArray &dump);
    // One log line saying what the header held, in hex as stored.
    [[nodiscard]] QByteArray describe() const;
};
