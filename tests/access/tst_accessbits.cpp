#include "access/AccessBits.h"
#include "access/ClassicTrailerWarnings.h"

#include <QTest>

// Bytes 6 to 8 as raw bytes.
static QByteArray bytesOf(const AccessBytes &bytes)
{
    QByteArray out(3, '\0');
    out[0] = char(bytes.byte6);
    out[1] = char(bytes.byte7);
    out[2] = char(bytes.byte8);
    return out;
}

// Trailer with the given access bytes; keys and byte 9 filled with a pattern so a
// check that looked at them would show.
static QByteArray trailerWith(quint8 b6, quint8 b7, quint8 b8, char filler = '\x5C', char byte9 = '\x69')
{
    QByteArray trailer(16, filler);
    trailer[6] = char(b6);
    trailer[7] = char(b7);
    trailer[8] = char(b8);
    trailer[9] = byte9;
    return trailer;
}

class TestAccessBits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void transportConfiguration()
    {
        QCOMPARE(EncodeAccessBits(0, 0, 0, 1), (AccessBytes{0xFF, 0x07, 0x80}));
        QCOMPARE(EncodeAccessBits(7, 7, 7, 7), (AccessBytes{0x00, 0xF0, 0xFF}));
        QCOMPARE(EncodeAccessBits(0, 0, 0, 3), (AccessBytes{0x7F, 0x07, 0x88}));
    }

    void everyCombinationRoundTripsAndIsValid()
    {
        for (int combo = 0; combo < 4096; ++combo) {
            const int k[4] = {combo & 7, (combo >> 3) & 7, (combo >> 6) & 7, (combo >> 9) & 7};
            const AccessBytes bytes = EncodeAccessBits(k[0], k[1], k[2], k[3]);
            QVERIFY2(AccessBitsValid(bytes), qPrintable(QString::number(combo)));
            for (int g = 0; g < 4; ++g)
                QCOMPARE(DecodeAccessIndex(bytes, g), k[g]);
            QCOMPARE(ClassicTrailerWarnings(trailerWith(bytes.byte6, bytes.byte7, bytes.byte8), 3).status == "error",
                     false);
        }
    }

    // Every bit of bytes 6..8 has its twin in the other copy, so any single flipped
    // bit, in the plain or in the inverted copy, must make the trailer inconsistent.
    void anyFlippedBitFailsTheValidityTest()
    {
        for (int combo = 0; combo < 4096; ++combo) {
            const AccessBytes good = EncodeAccessBits(combo & 7, (combo >> 3) & 7, (combo >> 6) & 7, (combo >> 9) & 7);
            for (int bit = 0; bit < 24; ++bit) {
                AccessBytes bad = good;
                quint8 &byte = bit < 8 ? bad.byte6 : bit < 16 ? bad.byte7 : bad.byte8;
                byte ^= quint8(1u << (bit % 8));
                QVERIFY(!AccessBitsValid(bad));
                const WarningCheck check = ClassicTrailerWarnings(trailerWith(bad.byte6, bad.byte7, bad.byte8), 7);
                QCOMPARE(check.status, QStringLiteral("error"));
                QVERIFY(check.warnings.isEmpty());
            }
        }
    }

    void warnings_data()
    {
        QTest::addColumn<QByteArray>("access");
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("lines");

        const QString block0 = QStringLiteral("*You wont be able to program Block 0 of the selected sector again");
        const QString block1 = QStringLiteral("*You wont be able to program Block 1 of the selected sector again");
        const QString block2 = QStringLiteral("*You wont be able to program Block 2 of the selected sector again");
        const QString big0 = QStringLiteral("*You wont be able to program Block 0-1-2-3-4 of the selected sector again");
        const QString big1 = QStringLiteral("*You wont be able to program Block 5-6-7-8-9 of the selected sector again");
        const QString big2 = QStringLiteral("*You wont be able to program Block 10-11-12-13-14 of the selected sector again");
        const QString keyA = QStringLiteral("*You wont be able to write/change Key A again");
        const QString bits = QStringLiteral("*You wont be able to change access conditions again");
        const QString keyB = QStringLiteral("*You wont be able to write/change Key B again");
        const QString ok = QStringLiteral("ok");
        const QString warn = QStringLiteral("warn");
        const QString error = QStringLiteral("error");

        for (int block : {63, 127, 128, 255}) {
            const bool large = block >= 128;
            const QByteArray tag = QByteArray::number(block);
            QTest::newRow("FF 07 80 @" + tag) << QByteArray("\xFF\x07\x80", 3) << block << ok << QStringList();
            QTest::newRow("00 00 00 @" + tag) << QByteArray("\x00\x00\x00", 3) << block << error << QStringList();
            QTest::newRow("FF 0F 00 @" + tag) << QByteArray("\xFF\x0F\x00", 3) << block << warn << QStringList{bits};
            QTest::newRow("7F 07 88 @" + tag) << QByteArray("\x7F\x07\x88", 3) << block << ok << QStringList();
            QTest::newRow("00 F0 FF @" + tag)
                << QByteArray("\x00\xF0\xFF", 3) << block << warn
                << (large ? QStringList{big0, big1, big2, keyA, bits, keyB}
                          : QStringList{block0, block1, block2, keyA, bits, keyB});
        }
        // Data groups 2 (no write) and 1 (decrement only) but trailer 3: only data lines.
        const AccessBytes mixed = EncodeAccessBits(2, 0, 1, 3);
        QTest::newRow("groups 0 and 2 read-only @200")
            << bytesOf(mixed) << 200 << warn
            << QStringList{big0, big2};
    }

    void warnings()
    {
        QFETCH(QByteArray, access);
        QFETCH(int, block);
        QFETCH(QString, status);
        QFETCH(QStringList, lines);

        const QString expected = lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
        // Keys and byte 9 never matter.
        for (char filler : {'\x5C', '\x00', '\xFF'}) {
            for (char byte9 : {'\x69', '\x00'}) {
                const WarningCheck check =
                    ClassicTrailerWarnings(trailerWith(quint8(access[0]), quint8(access[1]), quint8(access[2]), filler, byte9), block);
                QCOMPARE(check.status, status);
                QCOMPARE(check.warnings, expected);
            }
        }
    }

    void shortTrailerIsAnErrorNotACrash()
    {
        QCOMPARE(ClassicTrailerWarnings(QByteArray("\x5C\x5C\x5C", 3), 3).status, QStringLiteral("error"));
        QCOMPARE(ClassicTrailerWarnings(QByteArray(), 3).status, QStringLiteral("error"));
    }
};

QTEST_APPLESS_MAIN(TestAccessBits)
#include "tst_accessbits.moc"
