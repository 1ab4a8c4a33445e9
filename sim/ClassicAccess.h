#pragma once

#include "KeyType.h"

#include <QByteArray>

// Access conditions of a MIFARE Classic sector trailer (bytes 6 to 8), decoded and
// judged as the card's published access tables say. The access index of a block
// group is 4*C1 + 2*C2 + C3; groups 0..2 are data blocks, group 3 is the trailer.
class ClassicAccess
{
public:
    // Which keys an access right admits.
    enum Keys : quint8 { Never = 0, KeyA = 1, KeyB = 2, KeyAB = 3 };

    struct DataRights {
        quint8 read;
        quint8 write;
        quint8 increment;
        quint8 decrement; // decrement, transfer and restore
    };
    struct TrailerRights {
        quint8 keyAWrite; // key A is never readable
        quint8 accessRead;
        quint8 accessWrite; // access bytes 6..8 and the user byte 9
        quint8 keyBRead;
        quint8 keyBWrite;
    };

    // True when every access bit matches its inverted copy. A sector whose trailer
    // fails this is unusable on a real card.
    [[nodiscard]] static bool isConsistent(const QByteArray &trailer);
    // Access index 0..7 of group 0..3, from the non-inverted bits.
    [[nodiscard]] static int accessIndex(const QByteArray &trailer, int group);
    // Bytes 6, 7, 8 for four access indices (groups 0..3).
    [[nodiscard]] static QByteArray encode(int group0, int group1, int group2, int trailer);

    [[nodiscard]] static DataRights dataRights(int accessIndex);
    [[nodiscard]] static TrailerRights trailerRights(int accessIndex);
    // Where key B is readable it is data, not a key: the card refuses every data
    // access made after authenticating with it.
    [[nodiscard]] static bool keyBReadable(int trailerAccessIndex);
    [[nodiscard]] static bool admits(quint8 keys, KeyType key);
};
