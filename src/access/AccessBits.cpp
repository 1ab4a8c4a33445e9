#include "access/AccessBits.h"

namespace {

quint8 bitAt(int value, int bit)
{
    return quint8((value >> bit) & 1);
}

} // namespace

AccessBytes EncodeAccessBits(int k0, int k1, int k2, int k3)
{
    const int indices[4] = {k0, k1, k2, k3};
    unsigned b6 = 0;
    unsigned b7 = 0;
    unsigned b8 = 0;
    for (int g = 0; g < 4; ++g) {
        const quint8 c1 = bitAt(indices[g], 2);
        const quint8 c2 = bitAt(indices[g], 1);
        const quint8 c3 = bitAt(indices[g], 0);
        b7 |= unsigned(c1) << (4 + g);
        b6 |= unsigned(c1 ^ 1) << g;
        b8 |= unsigned(c2) << g;
        b6 |= unsigned(c2 ^ 1) << (4 + g);
        b8 |= unsigned(c3) << (4 + g);
        b7 |= unsigned(c3 ^ 1) << g;
    }
    return {quint8(b6), quint8(b7), quint8(b8)};
}

int DecodeAccessIndex(quint8 byte6, quint8 byte7, quint8 byte8, int group)
{
    const int g = group & 3;
    const int c1 = bitAt(byte6, g) ^ 1;
    const int c2 = bitAt(byte8, g);
    const int c3 = bitAt(byte7, g) ^ 1;
    return 4 * c1 + 2 * c2 + c3;
}

int DecodeAccessIndex(const AccessBytes &bytes, int group)
{
    return DecodeAccessIndex(bytes.byte6, bytes.byte7, bytes.byte8, group);
}

bool AccessBitsValid(const AccessBytes &bytes)
{
    const unsigned not6 = ~unsigned(bytes.byte6) & 0xFF;
    const unsigned not7 = ~unsigned(bytes.byte7) & 0xFF;
    const bool c1 = (bytes.byte7 >> 4) == (not6 & 0x0F);
    const bool c2 = (bytes.byte8 & 0x0F) == (not6 >> 4);
    const bool c3 = (bytes.byte8 >> 4) == (not7 & 0x0F);
    return c1 && c2 && c3;
}
