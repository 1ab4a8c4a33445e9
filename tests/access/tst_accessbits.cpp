#include "access/AccessBits.h"
#include "access/AccessTables.h"
#include "access/ClassicTrailerWarnings.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A trailer with the given access bytes; keys and byte 9 from a filler, so a check
// that looked at them would show.
QByteArray trailerWith(const AccessBytes &access, char filler = '\x5C')
{
    QByteArray trailer(16, filler);
    trailer[6] = char(access.byte6);
    trailer[7] = char(access.byte7);
    trailer[8] = char(access.byte8);
    return trailer;
}

} // namespace

// Access bits, the lock warnings of a trailer, and the access tables and descriptions
// the editor shows, held to the same facts.
class TestAccessBits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every combination decodes back to itself; every access bit has an inverted twin,
    // so any single flipped bit must be refused with no warning text.
    void roundTripsAndFlippedBits()
    {
        QCOMPARE(EncodeAccessBits(0, 0, 0, 1), (AccessBytes{0xFF, 0x07, 0x80}));
        for (int combo = 0; combo < 4096; ++combo) {
            const AccessBytes bytes = EncodeAccessBits(combo & 7, (combo >> 3) & 7, (combo >> 6) & 7, (combo >> 9) & 7);
            QVERIFY(AccessBitsValid(bytes));
            for (int g = 0; g < 4; ++g)
                QCOMPARE(DecodeAccessIndex(bytes, g), (combo >> (3 * g)) & 7);
            for (int bit = 0; bit < 24; ++bit) {
                AccessBytes bad = bytes;
                quint8 &byte = bit < 8 ? bad.byte6 : bit < 16 ? bad.byte7 : bad.byte8;
                byte ^= quint8(1u << (bit % 8));
                const WarningCheck check = ClassicTrailerWarnings(trailerWith(bad), 7);
                QCOMPARE(check.status, u"error"_s);
                QVERIFY(check.warnings.isEmpty());
            }
        }
        QCOMPARE(ClassicTrailerWarnings(QByteArray(3, '\x5C'), 3).status, u"error"_s);
    }

    // The warning lines name blocks 0, 1, 2 in small sectors and block ranges in the
    // 16-block sectors of a 4K card.
    void warnings_data()
    {
        QTest::addColumn<QByteArray>("access");
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("lines");
        const QString blockLine = u"*You wont be able to program Block %1 of the selected sector again"_s;
        const QStringList tail = {u"*You wont be able to write/change Key A again"_s,
                                  u"*You wont be able to change access conditions again"_s,
                                  u"*You wont be able to write/change Key B again"_s};
        for (int block : {127, 128, 255}) {
            const QByteArray tag = " @" + QByteArray::number(block);
            const QStringList blocks = block < 128 ? QStringList{u"0"_s, u"1"_s, u"2"_s}
                                                   : QStringList{u"0-1-2-3-4"_s, u"5-6-7-8-9"_s, u"10-11-12-13-14"_s};
            QStringList allLines;
            for (const QString &b : blocks)
                allLines << blockLine.arg(b);
            QTest::newRow("FF 07 80" + tag) << "\xFF\x07\x80"_ba << block << u"ok"_s << QStringList();
            QTest::newRow("00 00 00" + tag) << QByteArray(3, '\0') << block << u"error"_s << QStringList();
            QTest::newRow("FF 0F 00" + tag) << QByteArray("\xFF\x0F\x00", 3) << block << u"warn"_s << QStringList{tail.at(1)};
            QTest::newRow("00 F0 FF" + tag) << QByteArray("\x00\xF0\xFF", 3) << block << u"warn"_s << allLines + tail;
        }
    }
    void warnings()
    {
        QFETCH(QByteArray, access);
        QFETCH(int, block);
        QFETCH(QString, status);
        QFETCH(QStringList, lines);
        const QString expected = lines.isEmpty() ? QString() : lines.join(u'\n') + u'\n';
        const AccessBytes bytes{quint8(access[0]), quint8(access[1]), quint8(access[2])};
        for (char filler : {'\x5C', '\x00', '\xFF'}) { // keys and byte 9 never matter
            const WarningCheck check = ClassicTrailerWarnings(trailerWith(bytes, filler), block);
            QCOMPARE(check.status, status);
            QCOMPARE(check.warnings, expected);
        }
    }

    // A warning stands exactly where a write column of the tables says "Never".
    void warningsFollowTheWriteColumns()
    {
        auto warningsFor = [](const AccessBytes &b) { return ClassicTrailerWarnings(trailerWith(b, 0), 3).warnings; };
        for (int k = 0; k < 8; ++k) {
            const bool dataNever = AccessTables::dataRow(k).at(4) == "Never"_L1;
            QCOMPARE(warningsFor(EncodeAccessBits(k, 0, 0, 1)).contains("Block 0 "_L1), dataNever);
            QCOMPARE(warningsFor(EncodeAccessBits(0, 0, k, 1)).contains("Block 2 "_L1), dataNever);
            const QStringList row = AccessTables::trailerRow(k);
            const QString w = warningsFor(EncodeAccessBits(0, 0, 0, k));
            QCOMPARE(w.contains("Key A again"_L1), row.at(4) == "Never"_L1);
            QCOMPARE(w.contains("access conditions"_L1), row.at(6) == "Never"_L1);
            QCOMPARE(w.contains("Key B again"_L1), row.at(8) == "Never"_L1);
        }
    }

    // The first sentence of each description names who may do it, as the table does.
    void descriptionsAgreeWithTables()
    {
        for (int group : {0, 3}) {
            for (int k = 0; k < 8; ++k) {
                const QStringList cells = (group == 3 ? AccessTables::trailerRow(k) : AccessTables::dataRow(k)).mid(3);
                const QStringList texts = AccessTables::AccessDescriptionTexts(group, k);
                QCOMPARE(texts.size(), cells.size());
                for (int column = 0; column < cells.size(); ++column) {
                    const QString sentence = texts.at(column).section(u'.', 0, 0);
                    const bool a = sentence.contains("(Key A)"_L1);
                    const bool b = sentence.contains("(Key B)"_L1);
                    const QString named = sentence.contains("(Never)"_L1) ? u"Never"_s
                        : a && b ? u"Key A/B"_s : a ? u"Key A"_s : u"Key B"_s;
                    QCOMPARE(named, cells.at(column));
                }
                QCOMPARE(AccessTables::AccessDescriptionTexts(group == 3 ? 3 : 2, k), texts);
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestAccessBits)
#include "tst_accessbits.moc"
