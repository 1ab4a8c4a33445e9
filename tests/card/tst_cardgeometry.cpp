#include "card/CardGeometry.h"
#include "view/CardLayout.h"

#include <QTest>

// The card layouts, every block of every card type, against a model built by laying
// the sectors out one after another.
class TestCardGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyBlock_data();
    void everyBlock();
    void cardCodes();
};

void TestCardGeometry::everyBlock_data()
{
    QTest::addColumn<CardType>("type");
    QTest::addColumn<int>("blocks");
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<QList<int>>("sectorSizes");
    QTest::addColumn<QList<int>>("reads");
    QList<int> sizes1K(16, 4);
    QList<int> sizes4K(32, 4);
    sizes4K += QList<int>(8, 16);
    QList<int> all1K;
    for (int b = 0; b < 64; ++b)
        all1K << b;
    QList<int> all4K;
    for (int b = 0; b < 256; ++b)
        all4K << b;
    QTest::newRow("1K") << CardType::Mifare1K << 64 << 16 << sizes1K << all1K;
    QTest::newRow("4K") << CardType::Mifare4K << 256 << 16 << sizes4K << all4K;
    QTest::newRow("UL") << CardType::MifareUL << 16 << 4 << QList<int>() << QList<int> {0, 4, 8, 12};
}

void TestCardGeometry::everyBlock()
{
    QFETCH(CardType, type);
    QFETCH(int, blocks);
    QFETCH(int, blockSize);
    QFETCH(QList<int>, sectorSizes);
    QFETCH(QList<int>, reads);
    const CardGeometry geometry(type);
    QCOMPARE(geometry.blockCount(), blocks);
    QCOMPARE(geometry.blockSize(), blockSize);
    QCOMPARE(geometry.byteCount(), blocks * blockSize);
    QCOMPARE(geometry.sectorCount(), int(sectorSizes.size()));
    QCOMPARE(geometry.rowCount(), blocks + 2);
    QCOMPARE(CardLayout::rowCount(type), blocks + 2);
    QCOMPARE(geometry.wholeCardReads(), reads);

    QList<int> firsts;
    int block = 0;
    for (int sector = 0; sector < sectorSizes.size(); ++sector) {
        const int first = block;
        const int trailer = first + sectorSizes.at(sector) - 1;
        firsts << first;
        QCOMPARE(geometry.firstBlockOfSector(sector), first);
        QCOMPARE(geometry.blocksInSector(sector), sectorSizes.at(sector));
        QCOMPARE(geometry.trailerOfSector(sector), trailer);
        for (; block <= trailer; ++block) {
            QCOMPARE(geometry.sectorOfBlock(block), sector);
            QCOMPARE(geometry.blockInSector(block), block - first);
            QCOMPARE(geometry.isTrailer(block), block == trailer);
            QCOMPARE(IsTrailerRow(geometry.rowOfBlock(block)), block == trailer);
            QCOMPARE(geometry.isAuthenticationPoint(block), block == first);
            QCOMPARE(geometry.inLargeSector(block), sectorSizes.at(sector) == 16);
        }
    }
    QCOMPARE(geometry.authenticationPoints(), firsts);
    for (int b = -1; b <= blocks; ++b) {
        QCOMPARE(geometry.blockOfRow(geometry.rowOfBlock(b)), b);
        QCOMPARE(geometry.rowOfBlock(b), b + 2);
        if (!geometry.classic() || b < 0 || b == blocks) {
            QVERIFY(!geometry.isTrailer(b));
            QVERIFY(!geometry.isAuthenticationPoint(b));
        }
    }
    // The typing cursor's last row: the last block that is not a trailer, or page 15.
    QCOMPARE(CardLayout::lastDataRow(type), blocks + 2 - (geometry.classic() ? 2 : 1));
    QVERIFY(!IsTrailerRow(0));
    QVERIFY(!IsTrailerRow(1));
}

void TestCardGeometry::cardCodes()
{
    QCOMPARE(CardGeometry(CardType::Mifare1K).code(), QByteArray("1"));
    QCOMPARE(CardGeometry(CardType::Mifare4K).code(), QByteArray("4"));
    QCOMPARE(CardGeometry(CardType::MifareUL).code(), QByteArray("U"));
    for (const CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL})
        QCOMPARE(CardGeometry::typeOfCode(CardGeometry(type).code()), std::optional<CardType>(type));
    QCOMPARE(CardGeometry::typeOfCode(""), std::nullopt);
    QCOMPARE(CardGeometry::typeOfCode("K"), std::nullopt);
    QCOMPARE(CardGeometry(CardType::MifareUL).pageOfRead(14, 3), 1);
}

QTEST_GUILESS_MAIN(TestCardGeometry)
#include "tst_cardgeometry.moc"
