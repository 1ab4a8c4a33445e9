// The virtual MIFARE Ultralight card: read-only UID pages, one-way lock bits and OTP.
#include "UltralightCard.h"

#include <QTest>

namespace {
UltralightCard newCard()
{
    UltralightCard card(QByteArray::fromHex("04112233445566"));
    card.powerUp();
    card.select();
    return card;
}

QByteArray page(const char *hex)
{
    return QByteArray::fromHex(hex);
}
} // namespace

class TestSimUltralight : public QObject
{
    Q_OBJECT

private slots:
    // Check bytes, and the pages no read or write may reach. (The four-page read
    // wrapping after page 15 is read through the program in tests/tag/tst_blockcommands.)
    void uidPages()
    {
        UltralightCard card = newCard();
        QCOMPARE(card.page(0), page("041122BF")); // BCC0 = 88 ^ 04 ^ 11 ^ 22
        QCOMPARE(card.page(1), page("33445566"));
        QCOMPARE(card.page(2), page("44480000")); // BCC1 = 33 ^ 44 ^ 55 ^ 66, internal byte
        QCOMPARE(card.read(16).status, ModuleStatus::Failed);
        const QByteArray before = card.image();
        for (const int p : {0, 1, 16, 255})
            QCOMPARE(card.writePage(p, page("01020304")).status, ModuleStatus::Failed);
        QCOMPARE(card.image(), before);
    }

    void lockBitsLockPages_data()
    {
        QTest::addColumn<QByteArray>("lockBytes");
        QTest::addColumn<QList<int>>("locked");
        QTest::newRow("page 4 and 15") << page("1080") << QList<int>{4, 15};
        QTest::newRow("OTP") << page("0800") << QList<int>{3};
        QTest::newRow("pages 8-15") << page("00FF") << QList<int>{8, 9, 10, 11, 12, 13, 14, 15};
        QTest::newRow("freeze bits lock no page") << page("0700") << QList<int>{};
    }
    void lockBitsLockPages()
    {
        QFETCH(QByteArray, lockBytes);
        QFETCH(QList<int>, locked);
        UltralightCard card = newCard();
        QVERIFY(card.writePage(2, page("FFFF") + lockBytes).ok());
        QCOMPARE(card.page(2).left(2), page("4448")); // serial check byte and internal byte stay
        for (int p = 3; p < 16; ++p) {
            const QByteArray before = card.page(p);
            QCOMPARE(card.writePage(p, page("A5A5A5A5")).ok(), !locked.contains(p));
            QCOMPARE(card.page(p), locked.contains(p) ? before : page("A5A5A5A5"));
        }
    }

    // Lock bits are only ever set, and the block-lock bits freeze their lock bits.
    void lockBitsOneWay_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("not cleared") << page("1001") << page("0000") << page("1001");
        QTest::newRow("added") << page("1001") << page("2002") << page("3003");
        QTest::newRow("OTP lock frozen") << page("0100") << page("FFFF") << page("F7FF");
        QTest::newRow("pages 4-9 frozen") << page("0200") << page("FFFF") << page("0FFC");
        QTest::newRow("pages 10-15 frozen") << page("0400") << page("FFFF") << page("FF03");
        QTest::newRow("all frozen") << page("0700") << page("FFFF") << page("0700");
    }
    void lockBitsOneWay()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(QByteArray, result);
        UltralightCard card = newCard();
        QVERIFY(card.writePage(2, page("0000") + first).ok());
        QVERIFY(card.writePage(2, page("0000") + second).ok());
        QCOMPARE(card.page(2).mid(2), result);
    }

    void otpOrsWhatIsWritten()
    {
        UltralightCard card = newCard();
        QCOMPARE(card.writePage(3, page("01000080")).data, page("01000080"));
        QCOMPARE(card.writePage(3, page("02000000")).data, page("03000080"));
        QVERIFY(card.writePage(3, page("00000000")).ok());
        QCOMPARE(card.page(3), page("03000080"));
        QVERIFY(card.writePage(2, page("00000800")).ok()); // lock the OTP page
        QCOMPARE(card.writePage(3, page("FFFFFFFF")).status, ModuleStatus::Failed);
        QCOMPARE(card.page(3), page("03000080"));
    }
};

QTEST_APPLESS_MAIN(TestSimUltralight)
#include "tst_sim_ultralight.moc"
