#include "workflows/BatchWrite.h"

#include <QHash>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

CardPresence card(const char *uid)
{
    return {CardPresence::Kind::Card, QByteArray(uid)};
}

} // namespace

// The same image onto card after card, each verified before it counts.
class TestBatchWrite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Three cards, the second removed at its second write: reported by UID and not
    // counted. A card left on the reader is not written again, one put on again is; one
    // that reads back other bytes is not done.
    void threeCardsOneRemoved()
    {
        QList<CardPresence> polls = {card("04A1"), card("04A1"), {}, card("04B2"), card("04C3"), card("04C3"), card("04D4"),
                                    card("04D4"), {CardPresence::Kind::Card, "04D4", true}};
        QByteArray current;
        QHash<QByteArray, QHash<int, QByteArray>> cards;
        int writes = 0;
        const BatchWriteReader reader{
            [&] {
                const CardPresence next = polls.isEmpty() ? CardPresence{CardPresence::Kind::Stop, {}} : polls.takeFirst();
                current = next.uid;
                return next;
            },
            [&](const WritePlan::Write &write, QString *problem) {
                if (++writes == 4)
                    current.clear(); // 04B2 taken away
                *problem = u"no tag"_s;
                cards[current][write.number] = current == "04D4" ? QByteArray(16, '\0') : write.data;
                return !current.isEmpty();
            },
            [&](int number, QString *) { return std::optional<QByteArray>(cards[current].value(number)); }};
        const QList<WritePlan::Write> plan = {{1, QByteArray(16, '\x01')}, {2, QByteArray(16, '\x02')}};
        QStringList texts;
        const BatchWriteSummary summary =
            BatchWrite(CardType::Mifare1K, plan).run(reader, [&](const BatchEvent &e) { texts << e.text; });
        QCOMPARE(texts, (QStringList{u"card 1 done: 04A1"_s, u"card 04B2 failed: writing block 2: no tag; not counted"_s,
                                     u"card 2 done: 04C3"_s,
                                     u"card 04D4 failed: block 1 reads back other bytes than were written; not counted"_s,
                                     u"card 04D4 failed: block 1 reads back other bytes than were written; not counted"_s}));
        QCOMPARE(summary.done, 2);
        QCOMPARE(summary.failedUids, (QList<QByteArray>{"04B2", "04D4", "04D4"}));
        QCOMPARE(writes, 8);
    }

    // What a card cannot read back as written is not held against it.
    void readBackRules_data()
    {
        QTest::addColumn<int>("card");
        QTest::addColumn<int>("number");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("readBack");
        QTest::addColumn<bool>("matches");
        const int classic = int(CardType::Mifare1K);
        const int ul = int(CardType::MifareUL);
        // Transport bits FF 07 80 let key A read key B; 7F 07 88 hide it.
        const auto hex = [](const char *text) { return QByteArray::fromHex(text); };
        const QByteArray transport = hex("112233445566FF078069AABBCCDDEEFF");
        QTest::newRow("trailer, key A hidden") << classic << 7 << transport << hex("000000000000FF078069AABBCCDDEEFF") << true;
        QTest::newRow("trailer, key B differs") << classic << 7 << transport << hex("000000000000FF078069000000000000") << false;
        QTest::newRow("trailer, key B hidden")
            << classic << 7 << hex("1122334455667F078869AABBCCDDEEFF") << hex("0000000000007F078869000000000000") << true;
        QTest::newRow("trailer, access byte differs")
            << classic << 7 << hex("1122334455667F078869AABBCCDDEEFF") << hex("0000000000007F078969000000000000") << false;
        QTest::newRow("data block short") << classic << 8 << transport << transport.left(15) << false;
        QTest::newRow("UL lock bits gained") << ul << 2 << hex("00001000") << hex("12343001") << true;
        QTest::newRow("UL lock bit missing") << ul << 2 << hex("00001000") << hex("00002000") << false;
        QTest::newRow("UL data page exact") << ul << 5 << hex("01000000") << hex("03000000") << false;
    }
    void readBackRules()
    {
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, readBack);
        QFETCH(int, number);
        QFETCH(int, card);
        QFETCH(bool, matches);
        QCOMPARE(BatchWrite::matches(CardType(card), WritePlan::Write{number, written}, readBack), matches);
    }
};

QTEST_GUILESS_MAIN(TestBatchWrite)
#include "tst_batchwrite.moc"
