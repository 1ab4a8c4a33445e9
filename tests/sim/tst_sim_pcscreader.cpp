// The virtual PC/SC reader: storage-card APDUs answered from the card models, with the
// status words contactless readers give.
#include "ClassicCard.h"
#include "VirtualPcscReader.h"

#include <QTest>

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A reader with a powered card in it and key 5C x6 in slot 0.
std::unique_ptr<VirtualPcscReader> readerWith(CardKind kind)
{
    auto reader = std::make_unique<VirtualPcscReader>(VirtualCard::create(kind));
    reader->powerOn();
    [&] { QCOMPARE(reader->answer(hex("FF82000006 5C5C5C5C5C5C")), hex("9000")); }();
    return reader;
}
} // namespace

class TestSimPcscReader : public QObject
{
    Q_OBJECT

private slots:
    void atrNamesTheCardAndChecksItself()
    {
        QCOMPARE(VirtualPcscReader::atr(CardKind::Classic1K), hex("3B8F8001804F0CA000000306030001000000006A"));
        for (const CardKind kind : {CardKind::Classic4K, CardKind::Ultralight}) {
            const QByteArray atr = VirtualPcscReader::atr(kind);
            quint8 check = 0;
            for (qsizetype i = 1; i < atr.size(); ++i)
                check ^= quint8(atr.at(i));
            QCOMPARE(check, quint8(0));
            QCOMPARE(quint8(atr.at(14)), kind == CardKind::Classic4K ? quint8(2) : quint8(3));
        }
    }

    // One authentication at a time, per sector, ended by any refusal, as on the card.
    void authenticationHoldsForOneSector()
    {
        auto reader = readerWith(CardKind::Classic1K);
        QCOMPARE(reader->answer(hex("FFB0000410")), hex("6982")); // nothing authenticated
        QCOMPARE(reader->answer(hex("FF860000050100046000")), hex("9000"));
        QCOMPARE(reader->answer(hex("FFB0000410")), QByteArray(16, 0) + hex("9000"));
        QCOMPARE(reader->answer(hex("FFB0000810")), hex("6982")); // sector 2: not authenticated ...
        QCOMPARE(reader->answer(hex("FFB0000410")), hex("6982")); // ... and the refusal ended sector 1's
        QCOMPARE(reader->answer(hex("FF860000050100046100")), hex("9000")); // key B 5C x6
        QCOMPARE(reader->answer(hex("FF82000006 010203040506")), hex("9000"));
        QCOMPARE(reader->answer(hex("FF860000050100046000")), hex("6300")); // wrong key
        QCOMPARE(reader->answer(hex("FFB0000410")), hex("6982"));
        QCOMPARE(reader->answer(hex("FF860000050100046001")), hex("6300")); // empty slot 1
    }

    void readsAndRefusals_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("apdu");
        QTest::addColumn<QByteArray>("answer");
        const int classic = int(CardKind::Classic1K);
        const int ul = int(CardKind::Ultralight);
        const QByteArray data = hex("00112233445566778899AABBCCDDEEFF");
        // The UID, block and page writes, page 0 refused and value commands switched
        // off are answered through pcscd in tests/pcsc/tst_pcscsession.
        QTest::newRow("write block 8, other sector") << classic << hex("FFD6000810") + data << hex("6982");
        QTest::newRow("write 4 bytes to a block") << classic << hex("FFD6000504 01020304") << hex("6700");
        QTest::newRow("write 16 bytes to a page") << ul << hex("FFD6000510") + data << hex("6700");
        QTest::newRow("read pages 14-1") << ul << hex("FFB0000E10") << QByteArray(8, 0) + hex("1A2B3C85 4D5E6F70 9000");
        QTest::newRow("read 4 bytes of a page") << ul << hex("FFB0000004") << hex("1A2B3C859000");
        QTest::newRow("read page 16") << ul << hex("FFB0001010") << hex("6300");
        QTest::newRow("authenticate ul") << ul << hex("FF860000050100046000") << hex("6300");
        QTest::newRow("unknown instruction") << classic << hex("FF00000000") << hex("6D00");
        QTest::newRow("not class FF") << classic << hex("00A4040000") << hex("6E00");
        QTest::newRow("non-volatile key") << classic << hex("FF82200006 FFFFFFFFFFFF") << hex("6A81");
        QTest::newRow("Lc beyond the data") << classic << hex("FFD6000510 0102") << hex("6700");
    }
    void readsAndRefusals()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, apdu);
        QFETCH(QByteArray, answer);
        auto reader = readerWith(CardKind(kind));
        if (kind != int(CardKind::Ultralight))
            QCOMPARE(reader->answer(hex("FF860000050100046000")), hex("9000"));
        const QByteArray before = reader->card().image();
        QCOMPARE(reader->answer(apdu), answer);
        QCOMPARE(reader->card().image(), before); // reads and refusals change nothing
    }

    // Value block commands where the reader offers them: store, increment, decrement,
    // read, and restore into another block, values most significant byte first.
    void valueCommands()
    {
        auto reader = readerWith(CardKind::Classic1K);
        reader->setValueCommands(true);
        QCOMPARE(reader->answer(hex("FF860000050100046000")), hex("9000"));
        QCOMPARE(reader->answer(hex("FFB1000504")), hex("6300")); // not a value block
        QCOMPARE(reader->answer(hex("FFD700050500 00000100")), hex("9000"));
        QCOMPARE(reader->answer(hex("FFD700050501 00000023")), hex("9000"));
        QCOMPARE(reader->answer(hex("FFD700050502 00000003")), hex("9000"));
        QCOMPARE(reader->answer(hex("FFB1000504")), hex("00000120 9000"));
        QCOMPARE(reader->answer(hex("FFD70005020306")), hex("9000"));
        auto *card = dynamic_cast<ClassicCard *>(&reader->card());
        QCOMPARE(card->block(6), ClassicCard::valueBlock(0x120, 6));
        QCOMPARE(reader->answer(hex("FFD700050504 00000003")), hex("6A81"));
        QCOMPARE(reader->answer(hex("FFD70005020304")), hex("9000"));
        QCOMPARE(reader->answer(hex("FFD70005020308")), hex("6300")); // target in another sector
        QCOMPARE(reader->answer(hex("FFB1000504")), hex("6982"));     // the refusal ended the authentication
    }

    void poweredDownCardAnswersNothing()
    {
        auto reader = readerWith(CardKind::Classic1K);
        reader->powerOff();
        QCOMPARE(reader->answer(hex("FFCA000000")), hex("6300"));
        reader->reset();
        QCOMPARE(reader->answer(hex("FFCA000000")), hex("A1B2C3D49000"));
    }
};

QTEST_GUILESS_MAIN(TestSimPcscReader)
#include "tst_sim_pcscreader.moc"
