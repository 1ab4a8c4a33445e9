// The virtual MIFARE Classic card: sessions, the access tables, value blocks.
#include "ClassicAccess.h"
#include "ClassicCard.h"

#include <QTest>

#include <functional>

namespace {
const QByteArray Key5C(6, char(0x5C));
const QByteArray KeyA = QByteArray::fromHex("A0A1A2A3A4A5");
const QByteArray KeyB = QByteArray::fromHex("B0B1B2B3B4B5");

ClassicCard activeCard(bool is4K = false)
{
    ClassicCard card(is4K, QByteArray::fromHex("11223344"));
    card.powerUp();
    card.select();
    return card;
}

// Gives sector 1 the keys A0.., B0.. and the access indices (data groups, trailer).
void setSector1(ClassicCard &card, int dataIndex, int trailerIndex)
{
    card.setBlock(7, KeyA + ClassicAccess::encode(dataIndex, dataIndex, dataIndex, trailerIndex) + char(0x69) + KeyB);
}

bool admits(const QString &cell, KeyType key)
{
    return cell == QLatin1String("AB") || cell == (key == KeyType::A ? QLatin1String("A") : QLatin1String("B"));
}
} // namespace

class TestSimClassic : public QObject
{
    Q_OBJECT

private slots:
    // UID, check byte, SAK and ATQA in block 0; transport trailers everywhere.
    void newCardLayout()
    {
        for (const bool is4K : {false, true}) {
            const ClassicCard card(is4K, QByteArray::fromHex("11223344"));
            const int sectors = is4K ? 40 : 16;
            QCOMPARE(card.sectorCount(), sectors);
            QCOMPARE(card.block(0).left(8), QByteArray::fromHex(is4K ? "1122334444180200" : "1122334444080400"));
            for (int s = 0; s < sectors; ++s)
                QCOMPARE(card.block(ClassicCard::trailerOfSector(s)), Key5C + QByteArray::fromHex("FF078069") + Key5C);
        }
    }

    // Authentication opens one sector; a refusal, a failed authentication, select
    // and halt all end the session. (A card without power: RF off in tst_sim_module.)
    void sessionEnds()
    {
        ClassicCard card = activeCard();
        QCOMPARE(card.read(4).status, ModuleStatus::Failed);
        QVERIFY(card.authenticate(4, KeyType::A, Key5C).ok());
        QCOMPARE(card.read(5).data, QByteArray(16, 0));
        QCOMPARE(card.read(8).status, ModuleStatus::Failed); // another sector
        QCOMPARE(card.read(5).status, ModuleStatus::Failed);

        QVERIFY(card.authenticate(4, KeyType::A, Key5C).ok());
        QCOMPARE(card.authenticate(4, KeyType::B, KeyB).status, ModuleStatus::Failed);
        QCOMPARE(card.authenticatedSector(), -1);
        QCOMPARE(card.authenticate(64, KeyType::A, Key5C).status, ModuleStatus::Failed); // not on a 1K card

        setSector1(card, 2, 3); // read only
        QVERIFY(card.authenticate(4, KeyType::A, KeyA).ok());
        QCOMPARE(card.writeBlock(4, QByteArray(16, 'x')).status, ModuleStatus::Failed);
        QCOMPARE(card.read(4).status, ModuleStatus::Failed);
        QCOMPARE(card.block(4), QByteArray(16, 0));

        QVERIFY(card.authenticate(4, KeyType::A, KeyA).ok());
        QVERIFY(card.select());
        QCOMPARE(card.read(4).status, ModuleStatus::Failed);
        QVERIFY(card.authenticate(4, KeyType::A, KeyA).ok());
        QVERIFY(card.halt());
        QVERIFY(!card.halt());
        QVERIFY(card.select()); // a select wakes a halted card
        QCOMPARE(card.authenticatedSector(), -1);
    }

    // The data-block table as the card's data sheet prints it: who may read, write,
    // increment, and decrement/transfer/restore.
    void dataAccessTable_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("rights");
        QTest::newRow("000") << 0 << "AB AB AB AB";
        QTest::newRow("010") << 2 << "AB -- -- --";
        QTest::newRow("100") << 4 << "AB B -- --";
        QTest::newRow("110") << 6 << "AB B B AB";
        QTest::newRow("001") << 1 << "AB -- -- AB";
        QTest::newRow("011") << 3 << "B B -- --";
        QTest::newRow("101") << 5 << "B -- -- --";
        QTest::newRow("111") << 7 << "-- -- -- --";
    }
    void dataAccessTable()
    {
        QFETCH(int, index);
        QFETCH(QString, rights);
        const QStringList c = rights.split(QLatin1Char(' '));
        using Op = std::function<CardOutcome(ClassicCard &)>;
        for (const KeyType key : {KeyType::A, KeyType::B}) {
            // The module transfers an increment back, which needs both rights.
            const QList<std::tuple<const char *, Op, bool>> ops = {
                {"read", [](ClassicCard &k) { return k.read(5); }, admits(c[0], key)},
                {"write", [](ClassicCard &k) { return k.writeBlock(5, QByteArray(16, 'w')); }, admits(c[1], key)},
                {"write value", [](ClassicCard &k) { return k.writeValue(5, 7); }, admits(c[1], key)},
                {"increment", [](ClassicCard &k) { return k.increment(5, 1); }, admits(c[2], key) && admits(c[3], key)},
                {"decrement", [](ClassicCard &k) { return k.decrement(5, 1); }, admits(c[3], key)},
            };
            for (const auto &[name, op, allowed] : ops) {
                ClassicCard card = activeCard();
                setSector1(card, index, 3); // trailer 011: key B is secret, so usable
                card.setBlock(5, ClassicCard::valueBlock(100, 5));
                QVERIFY(card.authenticate(5, key, key == KeyType::A ? KeyA : KeyB).ok());
                const CardOutcome outcome = op(card);
                QVERIFY2(outcome.ok() == allowed, name);
                QVERIFY(outcome.ok() || outcome.status == ModuleStatus::Failed);
            }
        }
    }

    // The trailer table: key A write, access bits read and write, key B read and write.
    void trailerAccessTable_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("rights");
        QTest::newRow("000") << 0 << "A A -- A A";
        QTest::newRow("010") << 2 << "-- A -- A --";
        QTest::newRow("100") << 4 << "B AB -- -- B";
        QTest::newRow("110") << 6 << "-- AB -- -- --";
        QTest::newRow("001") << 1 << "A A A A A";
        QTest::newRow("011") << 3 << "B AB B -- B";
        QTest::newRow("101") << 5 << "-- AB B -- --";
        QTest::newRow("111") << 7 << "-- AB -- -- --";
    }
    void trailerAccessTable()
    {
        QFETCH(int, index);
        QFETCH(QString, rights);
        const QStringList cells = rights.split(QLatin1Char(' '));
        const QByteArray access = ClassicAccess::encode(0, 0, 0, index);
        for (const KeyType key : {KeyType::A, KeyType::B}) {
            const QByteArray keyBytes = key == KeyType::A ? KeyA : KeyB;
            ClassicCard card = activeCard();
            card.setBlock(7, KeyA + access + char(0x69) + KeyB);
            QVERIFY(card.authenticate(7, key, keyBytes).ok());

            // Key A never reads back; key B reads back only where the table allows.
            const CardOutcome read = card.read(7);
            QCOMPARE(read.ok(), admits(cells[1], key));
            if (read.ok())
                QCOMPARE(read.data, QByteArray(6, 0) + access + char(0x69) + (admits(cells[3], key) ? KeyB : QByteArray(6, 0)));

            // Each part changes only where its write right admits the key.
            QVERIFY(card.authenticate(7, key, keyBytes).ok());
            const QByteArray newA(6, 0x11), newB(6, 0x22);
            const bool mayA = admits(cells[0], key), mayAccess = admits(cells[2], key), mayB = admits(cells[4], key);
            QCOMPARE(card.writeBlock(7, newA + access + char(0x42) + newB).ok(), mayA || mayAccess || mayB);
            const QByteArray now = card.block(7);
            QCOMPARE(now.left(6), mayA ? newA : KeyA);
            QCOMPARE(quint8(now.at(9)), quint8(mayAccess ? 0x42 : 0x69));
            QCOMPARE(now.mid(10), mayB ? newB : KeyB);
        }
    }

    // Where key B can be read it is data, not a key: it opens no data block.
    void readableKeyBGivesNoDataAccess()
    {
        for (const int trailerIndex : {0, 1, 2}) {
            ClassicCard card = activeCard();
            setSector1(card, 0, trailerIndex);
            QVERIFY(card.authenticate(4, KeyType::B, KeyB).ok());
            QCOMPARE(card.read(4).status, ModuleStatus::Failed);
            QVERIFY(card.authenticate(4, KeyType::A, KeyA).ok());
            QVERIFY(card.read(4).ok());
        }
    }

    void inconsistentTrailerBlocksSector()
    {
        ClassicCard card = activeCard();
        QVERIFY(card.authenticate(7, KeyType::A, Key5C).ok());
        // Writable access bits let a bad trailer through, as on a real card; it cannot be read back.
        QCOMPARE(card.writeBlock(7, Key5C + QByteArray::fromHex("00000069") + Key5C).status, ModuleStatus::NoReadBack);
        QCOMPARE(card.authenticate(4, KeyType::A, Key5C).status, ModuleStatus::Failed);
        QCOMPARE(card.authenticate(7, KeyType::B, Key5C).status, ModuleStatus::Failed);
        QVERIFY(card.authenticate(8, KeyType::A, Key5C).ok()); // other sectors are unaffected
    }

    void blockZeroIsReadOnly()
    {
        ClassicCard card = activeCard();
        const QByteArray block0 = card.block(0);
        QVERIFY(card.authenticate(0, KeyType::A, Key5C).ok());
        QCOMPARE(card.read(0).data, block0);
        QCOMPARE(card.writeBlock(0, QByteArray(16, 0)).status, ModuleStatus::Failed);
        QVERIFY(card.authenticate(0, KeyType::A, Key5C).ok());
        QCOMPARE(card.writeValue(0, 1).status, ModuleStatus::Failed);
        QCOMPARE(card.block(0), block0);
    }

    // Above block 127 sectors have 16 blocks and the access groups five blocks each.
    void largeSectorGroups()
    {
        ClassicCard card = activeCard(true);
        // Group 1 of sector 32 (blocks 133-137) read-only, the other groups open.
        card.setBlock(143, Key5C + ClassicAccess::encode(0, 2, 0, 1) + char(0x69) + Key5C);
        QVERIFY(card.authenticate(128, KeyType::A, Key5C).ok());
        QVERIFY(card.writeBlock(132, QByteArray(16, 1)).ok());
        QVERIFY(card.writeBlock(138, QByteArray(16, 1)).ok());
        QCOMPARE(card.writeBlock(133, QByteArray(16, 1)).status, ModuleStatus::Failed);
        QVERIFY(card.authenticate(128, KeyType::A, Key5C).ok());
        QCOMPARE(card.writeBlock(137, QByteArray(16, 1)).status, ModuleStatus::Failed);
    }

    void valueFormat_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<bool>("isValue");
        const QByteArray good = ClassicCard::valueBlock(0x01020304, 5);
        QTest::newRow("value block") << good << true;
        QTest::newRow("zeros") << QByteArray(16, 0) << false;
        for (const int i : {0, 5, 10, 12, 13}) {
            QByteArray bad = good;
            bad[i] = char(bad.at(i) ^ 0x01);
            QTest::addRow("byte %d spoilt", i) << bad << false;
        }
    }
    void valueFormat()
    {
        QFETCH(QByteArray, block);
        QFETCH(bool, isValue);
        ClassicCard card = activeCard();
        card.setBlock(5, block);
        QVERIFY(card.authenticate(5, KeyType::A, Key5C).ok());
        const CardOutcome read = card.readValue(5);
        QCOMPARE(read.status, isValue ? char(0) : ModuleStatus::NotValue);
        if (isValue)
            QCOMPARE(read.data, QByteArray::fromHex("04030201")); // least significant first
        QCOMPARE(card.increment(5, 1).status, isValue ? char(0) : ModuleStatus::NotValue);
        QCOMPARE(card.authenticatedSector(), 1); // a format error is not an access violation
    }

    void valueArithmetic()
    {
        ClassicCard card = activeCard();
        QVERIFY(card.authenticate(6, KeyType::A, Key5C).ok());
        QCOMPARE(card.writeValue(6, 1000).data, QByteArray::fromHex("E8030000"));
        QCOMPARE(card.block(6), ClassicCard::valueBlock(1000, 6));
        QCOMPARE(card.increment(6, 24).data, QByteArray::fromHex("00040000"));
        QCOMPARE(card.decrement(6, 1030).data, QByteArray::fromHex("FAFFFFFF")); // -6
        QCOMPARE(ClassicCard::parseValueBlock(card.block(6)), std::optional<qint32>(-6));
        QCOMPARE(card.readValue(7).status, ModuleStatus::NotValue); // a trailer is no value block
        // Overflow is refused and leaves the block alone.
        card.setBlock(5, ClassicCard::valueBlock(0x7FFFFFFF, 5));
        QCOMPARE(card.increment(5, 1).status, ModuleStatus::Failed);
        QCOMPARE(card.block(5), ClassicCard::valueBlock(0x7FFFFFFF, 5));
    }
};

QTEST_APPLESS_MAIN(TestSimClassic)
#include "tst_sim_classic.moc"
