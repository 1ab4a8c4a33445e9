// PC/SC storage-card APDUs and the meaning of their answers, over bytes.
#include "pcsc/PcscApdu.h"
#include "pcsc/PcscCardKind.h"
#include "pcsc/PcscExchange.h"

#include <QTest>

using namespace PcscApdu;

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}
} // namespace

class TestPcscApdu : public QObject
{
    Q_OBJECT

private slots:
    void commands_data()
    {
        QTest::addColumn<QByteArray>("apdu");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("uid") << getUid() << hex("FFCA000000");
        QTest::newRow("load key") << loadKey(hex("A0A1A2A3A4A5")) << hex("FF82000006A0A1A2A3A4A5");
        QTest::newRow("authenticate A") << authenticate(4, Key::A) << hex("FF86000005 01 0004 60 00");
        QTest::newRow("authenticate B, 4K block 255") << authenticate(255, Key::B) << hex("FF86000005 01 00FF 61 00");
        QTest::newRow("read block") << readBinary(63) << hex("FFB0003F10");
        QTest::newRow("update page") << updateBinary(4, hex("01020304")) << hex("FFD600040401020304");
        QTest::newRow("update block") << updateBinary(5, QByteArray(16, 'x')) << hex("FFD6000510") + QByteArray(16, 'x');
        QTest::newRow("store") << valueOperation(5, ValueOp::Store, 0x100) << hex("FFD7000505 00 00000100");
        QTest::newRow("increment") << valueOperation(5, ValueOp::Increment, 1) << hex("FFD7000505 01 00000001");
        QTest::newRow("decrement negative") << valueOperation(6, ValueOp::Decrement, -2) << hex("FFD7000605 02 FFFFFFFE");
        QTest::newRow("restore") << restoreValue(5, 6) << hex("FFD7000502 03 06");
        QTest::newRow("read value") << readValue(9) << hex("FFB1000904");
    }
    void commands()
    {
        QFETCH(QByteArray, apdu);
        QFETCH(QByteArray, expected);
        QCOMPARE(apdu, expected);
    }

    void meanings_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("meaning");
        QTest::newRow("read ok") << int(Command::Read) << QByteArray(16, 0) + hex("9000") << QByteArray("READ OK");
        QTest::newRow("wrong key") << int(Command::Authenticate) << hex("6300") << QByteArray("AUTHENTICATION FAILED (63 00)");
        QTest::newRow("not authenticated") << int(Command::Write) << hex("6982")
                                           << QByteArray("WRITE FAILED: NOT AUTHENTICATED (69 82)");
        QTest::newRow("6D 00") << int(Command::ValueOperation) << hex("6D00") << QByteArray("NOT SUPPORTED BY THE READER (6D 00)");
        QTest::newRow("6A 81") << int(Command::LoadKey) << hex("6A81") << QByteArray("NOT SUPPORTED BY THE READER (6A 81)");
        QTest::newRow("6E 00") << int(Command::Read) << hex("6E00") << QByteArray("NOT SUPPORTED BY THE READER (6E 00)");
        QTest::newRow("wrong Le") << int(Command::Read) << hex("6C10") << QByteArray("READ FAILED: WRONG LENGTH (6C 10)");
        QTest::newRow("other status") << int(Command::GetUid) << hex("6F00") << QByteArray("UNEXPECTED ANSWER (6F 00)");
        QTest::newRow("one byte") << int(Command::Read) << hex("90") << QByteArray("NO VALID ANSWER");
        QTest::newRow("value ok") << int(Command::ValueOperation) << hex("9000") << QByteArray("WRITE OK");
    }
    void meanings()
    {
        QFETCH(int, command);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, meaning);
        QCOMPARE(PcscApdu::meaning(Command(command), answer), meaning);
    }

    void answerParts()
    {
        QCOMPARE(answerData(hex("A1B2C3D49000")), hex("A1B2C3D4"));
        QCOMPARE(statusWord(hex("A1B2C3D49000")), quint16(0x9000));
        QCOMPARE(answerData(hex("90")), QByteArray());
        QCOMPARE(valueFromBytes(valueBytes(-123456)), -123456);
    }

    void cardFromAtr_data()
    {
        QTest::addColumn<QByteArray>("atr");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("1K") << hex("3B8F8001804F0CA000000306030001000000006A") << int(PcscCardKind::Classic1K)
                            << QStringLiteral("MIFARE Classic 1K");
        QTest::newRow("4K") << hex("3B8F8001804F0CA0000003060300020000000069") << int(PcscCardKind::Classic4K)
                            << QStringLiteral("MIFARE Classic 4K");
        QTest::newRow("Ultralight") << hex("3B8F8001804F0CA0000003060300030000000068") << int(PcscCardKind::Ultralight)
                                    << QStringLiteral("MIFARE Ultralight");
        QTest::newRow("Mini") << hex("3B8F8001804F0CA000000306030026000000004D") << int(PcscCardKind::Other)
                              << QStringLiteral("MIFARE Mini");
        QTest::newRow("unnamed storage card") << hex("3B8F8001804F0CA00000030603007F0000000014") << int(PcscCardKind::Other)
                                              << QStringLiteral("a storage card of type 00 7F");
        // The 1K name code under ISO 15693 is another card.
        QTest::newRow("other standard") << hex("3B8F8001804F0CA000000306110001000000007B") << int(PcscCardKind::Other)
                                        << QStringLiteral("a storage card of type 00 01");
        QTest::newRow("ISO 14443-4") << hex("3B8180018080") << int(PcscCardKind::Other)
                                     << QStringLiteral("a smart card with its own operating system (ISO 14443-4, such as MIFARE DESFire)");
        QTest::newRow("contact card") << hex("3B0212") << int(PcscCardKind::Other) << QStringLiteral("an unknown card (ATR 3B 02 12)");
        QTest::newRow("empty") << QByteArray() << int(PcscCardKind::Other) << QStringLiteral("an unknown card (ATR )");
    }
    void cardFromAtr()
    {
        QFETCH(QByteArray, atr);
        QFETCH(int, kind);
        QFETCH(QString, name);
        QCOMPARE(int(PcscAtr::cardKind(atr)), kind);
        QCOMPARE(PcscAtr::cardName(atr), name);
    }

    void exchangeLinesUseTheModuleColumns()
    {
        const PcscExchange exchange{hex("FFCA000000"), hex("A1B2C3D49000"), "(Get UID)", "UID OK"};
        QCOMPARE(exchange.requestLine(), QByteArray("TX > FF CA 00 00 00  \t\t\t\t\t\t\t\t\t(Get UID)"));
        QCOMPARE(exchange.answerLine(), QByteArray("RX <A1 B2 C3 D4 90 00 \t\t\t\t\t\t\t\t\tUID OK"));
        const PcscExchange failed{hex("FFB0000410"), {}, "(Read Binary) Block:4", "NO ANSWER (SCARD_E_NOT_TRANSACTED)"};
        QVERIFY(failed.answerLine().startsWith("RX <error\t"));
    }
};

QTEST_GUILESS_MAIN(TestPcscApdu)
#include "tst_pcscapdu.moc"
