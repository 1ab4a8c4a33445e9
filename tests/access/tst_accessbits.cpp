#include "access/AccessBits.h"
#include "access/ClassicTrailerWarnings.h"

#include <QTest>

// A trailer with the given access bytes; keys and byte 9 from a pattern, so a check
// that looked at them would show.
static QByteArray trailerWith(const AccessBytes &access, char filler = '\x5C')
{
    QByteArray trailer(16, filler);
    trailer[6] = char(access.byte6);
    trailer[7] = char(access.byte7);
    trailer[8] = char(access.byte8);
    return trailer;
}

static AccessBytes combination(int combo)
{
    return EncodeAccessBits(combo & 7, (combo >> 3) & 7, (combo >> 6) & 7, (combo >> 9) & 7);
}

class TestAccessBits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyCombinationRoundTripsAndIsValid()
    {
        QCOMPARE(EncodeAccessBits(0, 0, 0, 1), (AccessBytes{0xFF, 0x07, 0x80}));
        for (int combo = 0; combo < 4096; ++combo) {
            const AccessBytes bytes = combination(combo);
            QVERIFY(AccessBitsValid(bytes));
            for (int g = 0; g < 4; ++g)
                QCOMPARE(DecodeAccessIndex(bytes, g), (combo >> (3 * g)) & 7);
        }
    }

    // Every access bit has an inverted twin, so any single flipped bit must fail.
    void anyFlippedBitIsAnError()
    {
        for (int combo = 0; combo < 4096; ++combo) {
            for (int bit = 0; bit < 24; ++bit) {
                AccessBytes bad = combination(combo);
                quint8 &byte = bit < 8 ? bad.byte6 : bit < 16 ? bad.byte7 : bad.byte8;
                byte ^= quint8(1u << (bit % 8));
                const WarningCheck check = ClassicTrailerWarnings(trailerWith(bad), 7);
                QCOMPARE(check.status, QStringLiteral("error"));
                QVERIFY(check.warnings.isEmpty());
            }
        }
        QCOMPARE(ClassicTrailerWarnings(QByteArray(3, '\x5C'), 3).status, QStringLiteral("error"));
    }

    void warnings_data()
    {
        QTest::addColumn<QByteArray>("access");
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("lines");

        const QString blockLine = QStringLiteral("*You wont be able to program Block %1 of the selected sector again");
        const QStringList tail = {QStringLiteral("*You wont be able to write/change Key A again"),
                                  QStringLiteral("*You wont be able to change access conditions again"),
                                  QStringLiteral("*You wont be able to write/change Key B again")};
        for (int block : {63, 127, 128, 255}) {
            const QByteArray tag = " @" + QByteArray::number(block);
            const QStringList blocks = block < 128 ? QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}
                                                   : QStringList{QStringLiteral("0-1-2-3-4"), QStringLiteral("5-6-7-8-9"),
                                                                 QStringLiteral("10-11-12-13-14")};
            QStringList allLines;
            for (const QString &b : blocks)
                allLines << blockLine.arg(b);
            QTest::newRow("FF 07 80" + tag) << QByteArray("\xFF\x07\x80") << block << QStringLiteral("ok") << QStringList();
            QTest::newRow("00 00 00" + tag) << QByteArray(3, '\0') << block << QStringLiteral("error") << QStringList();
            QTest::newRow("FF 0F 00" + tag) << QByteArray("\xFF\x0F\x00", 3) << block << QStringLiteral("warn") << QStringList{tail.at(1)};
            QTest::newRow("7F 07 88" + tag) << QByteArray("\x7F\x07\x88") << block << QStringLiteral("ok") << QStringList();
            QTest::newRow("00 F0 FF" + tag) << QByteArray("\x00\xF0\xFF", 3) << block << QStringLiteral("warn") << allLines + tail;
        }
    }

    void warnings()
    {
        QFETCH(QByteArray, access);
        QFETCH(int, block);
        QFETCH(QString, status);
        QFETCH(QStringList, lines);
        const QString expected = lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
        const AccessBytes bytes{quint8(access[0]), quint8(access[1]), quint8(access[2])};
        for (char filler : {'\x5C', '\x00', '\xFF'}) { // keys and byte 9 never matter
            const WarningCheck check = ClassicTrailerWarnings(trailerWith(bytes, filler), block);
            QCOMPARE(check.status, status);
            QCOMPARE(check.warnings, expected);
        }
    }
};

QTEST_APPLESS_MAIN(TestAccessBits)
#include "tst_accessbits.moc"
