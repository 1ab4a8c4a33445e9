#include "ClassicAccess.h"

#include <array>

namespace {
int bit(const QByteArray &trailer, int byteIndex, int bitIndex)
{
    return (quint8(trailer.at(byteIndex)) >> bitIndex) & 1;
}

using R = ClassicAccess;

// Indexed by access index 4*C1 + 2*C2 + C3.
constexpr std::array<ClassicAccess::DataRights, 8> DataTable = {{
    {R::KeyAB, R::KeyAB, R::KeyAB, R::KeyAB}, // 000 transport configuration
    {R::KeyAB, R::Never, R::Never, R::KeyAB}, // 001 value block, decrement only
    {R::KeyAB, R::Never, R::Never, R::Never}, // 010 read only
    {R::KeyB, R::KeyB, R::Never, R::Never},   // 011
    {R::KeyAB, R::KeyB, R::Never, R::Never},  // 100
    {R::KeyB, R::Never, R::Never, R::Never},  // 101
    {R::KeyAB, R::KeyB, R::KeyB, R::KeyAB},   // 110 value block, recharge with key B
    {R::Never, R::Never, R::Never, R::Never}, // 111
}};

constexpr std::array<ClassicAccess::TrailerRights, 8> TrailerTable = {{
    {R::KeyA, R::KeyA, R::Never, R::KeyA, R::KeyA},  // 000
    {R::KeyA, R::KeyA, R::KeyA, R::KeyA, R::KeyA},   // 001 transport configuration
    {R::Never, R::KeyA, R::Never, R::KeyA, R::Never}, // 010
    {R::KeyB, R::KeyAB, R::KeyB, R::Never, R::KeyB}, // 011
    {R::KeyB, R::KeyAB, R::Never, R::Never, R::KeyB}, // 100
    {R::Never, R::KeyAB, R::KeyB, R::Never, R::Never}, // 101
    {R::Never, R::KeyAB, R::Never, R::Never, R::Never}, // 110
    {R::Never, R::KeyAB, R::Never, R::Never, R::Never}, // 111
}};
} // namespace

bool ClassicAccess::isConsistent(const QByteArray &trailer)
{
    if (trailer.size() < 9)
        return false;
    const quint8 b6 = quint8(trailer.at(6));
    const quint8 b7 = quint8(trailer.at(7));
    const quint8 b8 = quint8(trailer.at(8));
    return (b7 >> 4) == (~b6 & 0x0F) && (b8 & 0x0F) == ((~b6 >> 4) & 0x0F) && (b8 >> 4) == (~b7 & 0x0F);
}

int ClassicAccess::accessIndex(const QByteArray &trailer, int group)
{
    const int c1 = bit(trailer, 7, 4 + group);
    const int c2 = bit(trailer, 8, group);
    const int c3 = bit(trailer, 8, 4 + group);
    return 4 * c1 + 2 * c2 + c3;
}

QByteArray ClassicAccess::encode(int group0, int group1, int group2, int trailer)
{
    const int indices[4] = {group0, group1, group2, trailer};
    quint8 b6 = 0, b7 = 0, b8 = 0;
    for (int g = 0; g < 4; ++g) {
        const int c1 = (indices[g] >> 2) & 1;
        const int c2 = (indices[g] >> 1) & 1;
        const int c3 = indices[g] & 1;
        b7 |= quint8(c1 << (4 + g));
        b6 |= quint8((1 - c1) << g);
        b8 |= quint8(c2 << g);
        b6 |= quint8((1 - c2) << (4 + g));
        b8 |= quint8(c3 << (4 + g));
        b7 |= quint8((1 - c3) << g);
    }
    QByteArray bytes;
    bytes.append(char(b6));
    bytes.append(char(b7));
    bytes.append(char(b8));
    return bytes;
}

ClassicAccess::DataRights ClassicAccess::dataRights(int accessIndex)
{
    return DataTable.at(std::size_t(accessIndex & 7));
}

ClassicAccess::TrailerRights ClassicAccess::trailerRights(int accessIndex)
{
    return TrailerTable.at(std::size_t(accessIndex & 7));
}

bool ClassicAccess::keyBReadable(int trailerAccessIndex)
{
    return trailerRights(trailerAccessIndex).keyBRead != Never;
}

bool ClassicAccess::admits(quint8 keys, KeyType key)
{
    return (keys & (key == KeyType::A ? KeyA : KeyB)) != 0;
}
