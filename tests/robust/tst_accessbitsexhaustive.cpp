// Every one of the 2^24 values of trailer bytes 6 to 8 against the validity test: the
// valid ones are exactly the encodings of the 8^4 index combinations, each once. (The
// transport bytes and decoding each combination back: tests/access/tst_accessbits.)
#include "access/AccessBits.h"

#include <QtTest>

#include <vector>

class TestAccessBitsExhaustive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validValuesAreExactlyTheEncodings()
    {
        constexpr int Combinations = 8 * 8 * 8 * 8;
        // Combination of each encoding (-1: none); two combinations with one encoding fail.
        std::vector<int> combinationOf(1 << 24, -1);
        for (int c = 0; c < Combinations; ++c) {
            const int k[4] = {c >> 9 & 7, c >> 6 & 7, c >> 3 & 7, c & 7};
            const AccessBytes bytes = EncodeAccessBits(k[0], k[1], k[2], k[3]);
            const int value = bytes.byte6 << 16 | bytes.byte7 << 8 | bytes.byte8;
            QVERIFY2(combinationOf[value] == -1, qPrintable(QStringLiteral("two combinations encode %1").arg(value, 6, 16)));
            combinationOf[value] = c;
        }

        int valid = 0;
        int wrong = 0;
        for (int value = 0; value < (1 << 24); ++value) {
            const AccessBytes bytes {quint8(value >> 16), quint8(value >> 8), quint8(value)};
            const bool isValid = AccessBitsValid(bytes);
            valid += isValid ? 1 : 0;
            if (isValid != (combinationOf[value] >= 0) && wrong++ < 5)
                qWarning("value %06X: valid %d, an encoding %d", value, isValid, combinationOf[value] >= 0);
        }
        QCOMPARE(wrong, 0);
        QCOMPARE(valid, Combinations);
    }

    // Only the low three bits of an index count.
    void indicesTakeTheirLowBitsOnly()
    {
        QCOMPARE(EncodeAccessBits(8 + 3, 16 + 5, 8 + 6, 15), EncodeAccessBits(3, 5, 6, 7));
    }
};

QTEST_APPLESS_MAIN(TestAccessBitsExhaustive)
#include "tst_accessbitsexhaustive.moc"
