#pragma once

#include <QtGlobal>

// Bytes 6, 7 and 8 of a MIFARE Classic sector trailer: the access bits C1, C2, C3 of
// the four block groups of the sector, each stored once plainly and once inverted.
struct AccessBytes {
    quint8 byte6 = 0;
    quint8 byte7 = 0;
    quint8 byte8 = 0;

    friend bool operator==(const AccessBytes &, const AccessBytes &) = default;
};

// Access bytes of four access indices (k = 4*C1 + 2*C2 + C3, 0..7) for block groups
// 0, 1, 2 and 3 (group 3 is the trailer). Only the low three bits of each k count.
[[nodiscard]] AccessBytes EncodeAccessBits(int k0, int k1, int k2, int k3);

// Access index of block group 0..3, read from the inverted C1/C3 copies and plain C2
// in the low nibbles; it does not test the bytes for consistency.
[[nodiscard]] int DecodeAccessIndex(quint8 byte6, quint8 byte7, quint8 byte8, int group);
[[nodiscard]] int DecodeAccessIndex(const AccessBytes &bytes, int group);

// True when every access bit agrees with its inverted copy. A card refuses (or is
// bricked by) a trailer that fails this, so such a trailer is never written.
[[nodiscard]] bool AccessBitsValid(const AccessBytes &bytes);
