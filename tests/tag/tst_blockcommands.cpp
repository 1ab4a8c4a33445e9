#include "BlockTestRig.h"
#include "ScriptedPeer.h"

#include "UltralightCard.h"

#include "link/ModuleAnswers.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// " XX" per byte, " ascii: ", then the non-zero bytes as characters.
QByteArray stripText(const QByteArray &bytes)
{
    QByteArray hex;
    QByteArray ascii;
    for (const char c : bytes) {
        hex += ' ' + QByteArray(1, c).toHex().toUpper();
        if (c != 0)
            ascii += c;
    }
    return hex + " ascii: " + ascii;
}

QByteArray status(quint8 command, char statusByte)
{
    return TagTestRig::answer(command, QByteArray(1, statusByte));
}

const QByteArray TagStatus = "TAG TYPE:02 | TAG SERIAL # A1B2C3D4"_ba;

} // namespace

// Block and page reads and writes end to end: frames, log lines, status texts,
// results, LastReadText and the grid rows a read fills.
class TestBlockCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readClassicBlock_data()
    {
        QTest::addColumn<CardKind>("card");
        QTest::addColumn<CardType>("cardType");
        QTest::addColumn<int>("block");
        QTest::addColumn<bool>("copied");
        QTest::newRow("1K data block 1") << CardKind::Classic1K << CardType::Mifare1K << 1 << true;
        QTest::newRow("1K block 0, row 2") << CardKind::Classic1K << CardType::Mifare1K << 0 << true;
        QTest::newRow("1K trailer 3") << CardKind::Classic1K << CardType::Mifare1K << 3 << false;
        QTest::newRow("1K trailer 63") << CardKind::Classic1K << CardType::Mifare1K << 63 << false;
        QTest::newRow("4K trailer 127") << CardKind::Classic4K << CardType::Mifare4K << 127 << false;
        QTest::newRow("4K block 128") << CardKind::Classic4K << CardType::Mifare4K << 128 << true;
        QTest::newRow("4K block 131 (not a trailer above 127)") << CardKind::Classic4K << CardType::Mifare4K << 131 << true;
        QTest::newRow("4K block 142") << CardKind::Classic4K << CardType::Mifare4K << 142 << true;
        QTest::newRow("4K trailer 143") << CardKind::Classic4K << CardType::Mifare4K << 143 << false;
        QTest::newRow("4K trailer 255") << CardKind::Classic4K << CardType::Mifare4K << 255 << false;
    }
    void readClassicBlock()
    {
        QFETCH(CardKind, card);
        QFETCH(CardType, cardType);
        QFETCH(int, block);
        QFETCH(bool, copied);
        PtySimulator sim(VirtualCard::create(card));
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        rig.chooseCardType(cardType);
        QVERIFY(rig.main().ui().cb_getdata->isChecked());
        if (block != 0 && copied)
            setClassicBlock(sim, block, pattern(block));
        const int row = block + 2;
        rig.fillRow(cardType, row, "AA");
        QVERIFY(rig.prepare(block));
        const QByteArray tagStatus = rig.link().tagStatusText;
        sim.clearTraffic();

        QByteArray result;
        rig.blocks().ReadBlockToGrid(block, result);

        QCOMPARE(result, "ok"_ba);
        const QByteArray request = QByteArray::fromHex("FF000286") + char(block) + '\0';
        QCOMPARE(sim.receivedFrames().value(0), TagTestRig::answer(0x86, QByteArray(1, char(block))));
        const QByteArray answer = sim.sentFrames().value(0);
        QCOMPARE(answer.size(), 22);
        const QByteArray data = answer.mid(5, 16);
        if (block != 0 && copied)
            QCOMPARE(data, pattern(block));
        const QByteArrayList lines = rig.newLines();
        QCOMPARE(lines,
                 (QByteArrayList {TagTestRig::tx(request, "(Read Command) Block:" + QByteArray::number(block)),
                                  TagTestRig::rx(answer, "READ OK")}));
        QCOMPARE(rig.main().status(),
                 tagStatus + " | Block No:" + QByteArray::number(block) + " | READ OK! " + Frame::dataText(answer));
        QCOMPARE(rig.main().grids().lastReadText(), stripText(data));
        QCOMPARE(rig.rowText(cardType, row), copied ? data.toHex().toUpper() : "AA"_ba.repeated(16));
        QCOMPARE(rig.link().tagStatusText, tagStatus);
    }

    void readUltralightPagesWrapAround()
    {
        PtySimulator sim(VirtualCard::create(CardKind::Ultralight));
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        rig.chooseCardType(CardType::MifareUL);
        sim.withModule([](VirtualModule &module) {
            module.ultralightCard()->setPage(14, "\x01\x02\x03\x04"_ba);
            module.ultralightCard()->setPage(15, "\x05\x06\x07\x08"_ba);
        });
        rig.fillRow(CardType::MifareUL, 4, "EE"); // page 2 is not part of the answer
        QVERIFY(rig.prepare(14, false));
        const QByteArray tagStatus = rig.link().tagStatusText;
        sim.clearTraffic();

        QByteArray result;
        rig.blocks().ReadBlockToGrid(14, result);

        QCOMPARE(result, "ok"_ba);
        const QByteArray answer = sim.sentFrames().value(0);
        QCOMPARE(answer.size(), 22);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(QByteArray::fromHex("FF0002860E00"),
                                                                 "(Read Command) Page:14-15-0-1"),
                                                  TagTestRig::rx(answer, "READ OK")}));
        QCOMPARE(rig.main().status(), tagStatus + " | Page No:14-15-0-1 | READ OK! " + Frame::dataText(answer));
        QCOMPARE(rig.rowText(CardType::MifareUL, 16), "01020304"_ba);
        QCOMPARE(rig.rowText(CardType::MifareUL, 17), "05060708"_ba);
        QCOMPARE(rig.rowText(CardType::MifareUL, 2), answer.mid(13, 4).toHex().toUpper());
        QCOMPARE(rig.rowText(CardType::MifareUL, 3), answer.mid(17, 4).toHex().toUpper());
        QCOMPARE(rig.rowText(CardType::MifareUL, 4), "EEEEEEEE"_ba);
    }

    void readWithoutGetDataLeavesGrid()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        setClassicBlock(sim, 4, pattern(4));
        rig.main().ui().cb_getdata->setChecked(false);
        rig.fillRow(CardType::Mifare1K, 6, "AA");
        QVERIFY(rig.prepare(4));
        QByteArray result;
        rig.blocks().ReadBlockToGrid(4, result);
        QCOMPARE(result, "ok"_ba);
        QCOMPARE(rig.rowText(CardType::Mifare1K, 6), "AA"_ba.repeated(16));
        QCOMPARE(rig.main().grids().lastReadText(), stripText(pattern(4)));
    }

    // The read turns the grids back to hex first, and the hex lands in the cells.
    void readSwitchesAsciiViewOff()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        setClassicBlock(sim, 4, "ABCDEFGHIJKLMNOP"_ba);
        rig.main().ui().cb_ascii->setChecked(true);
        QVERIFY(rig.main().grids().asciiView());
        QVERIFY(rig.prepare(4));
        QByteArray result;
        rig.blocks().ReadBlockToGrid(4, result);
        QCOMPARE(result, "ok"_ba);
        QVERIFY(!rig.main().ui().cb_ascii->isChecked());
        QVERIFY(!rig.main().grids().asciiView());
        QCOMPARE(rig.rowText(CardType::Mifare1K, 6), "ABCDEFGHIJKLMNOP"_ba.toHex().toUpper());
    }

    void readFailures_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("statusText");
        QTest::addColumn<QByteArray>("tagStatusAfter");
        const QByteArray failed = TagStatus + " | Block No:9 | Read Failed!";
        const QByteArray unexpected = "Unexpected Response.Select Right com port"_ba;
        QTest::newRow("F") << status(0x86, ModuleAnswers::Failed) << "READ FAILED"_ba << failed << TagStatus;
        QTest::newRow("N") << status(0x86, ModuleAnswers::NoTag) << "NO TAG"_ba << failed << TagStatus;
        QTest::newRow("U") << status(0x86, ModuleAnswers::ReadBackFailed) << "Unexpected Response"_ba << unexpected
                           << unexpected;
        QTest::newRow("zero status") << status(0x86, '\0') << "Unexpected Response"_ba << unexpected << unexpected;
        // A data answer without the 16 bytes: nothing may be taken from beyond it.
        QTest::newRow("short data answer") << TagTestRig::answer(0x86, "\x09\x11\x22\x33"_ba)
                                           << "Unexpected Response"_ba << unexpected << unexpected;
    }
    void readFailures()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, statusText);
        QFETCH(QByteArray, tagStatusAfter);
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath());
        rig.link().tagStatusText = TagStatus;
        rig.main().grids().setLastReadText("before");
        rig.fillRow(CardType::Mifare1K, 11, "AA");
        peer.answer(answer);

        QByteArray result;
        rig.blocks().ReadBlockToGrid(9, result);

        QCOMPARE(result, "error"_ba);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(QByteArray::fromHex("FF0002860900"),
                                                                 "(Read Command) Block:9"),
                                                  TagTestRig::rx(answer, interpretation)}));
        QCOMPARE(rig.main().status(), statusText);
        QCOMPARE(rig.link().tagStatusText, tagStatusAfter);
        QCOMPARE(rig.main().grids().lastReadText(), "before"_ba);
        QCOMPARE(rig.rowText(CardType::Mifare1K, 11), "AA"_ba.repeated(16));
    }

    void readEchoAndDataTexts()
    {
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath(), 150);
        const QByteArray answer = TagTestRig::answer(0x86, char(7) + pattern(7));
        peer.answer(answer);
        QByteArray echo;
        QByteArray data;
        QByteArray result;
        rig.blocks().ReadBlock(echo, data, 7, result);
        QCOMPARE(result, QByteArray());
        QCOMPARE(echo, Hex::echo(answer));
        QCOMPARE(data, Frame::dataText(answer));

        // No answer: "error" and no response line.
        rig.blocks().ReadBlock(echo, data, 7, result);
        QCOMPARE(result, "error"_ba);
        QCOMPARE(echo, "error"_ba);
        QCOMPARE(rig.newLines().last(), "***Timeout.No Response***"_ba);
    }

    void writeBlockThroughSimulator()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        QVERIFY(rig.prepare(4));
        sim.clearTraffic();
        rig.main().ui().cb_ascii->setChecked(true);
        const QByteArray data = pattern(0x40);

        QByteArray result;
        rig.blocks().WriteBlock(data, 5, result);

        QCOMPARE(result, QByteArray());
        const QByteArray request = TagTestRig::answer(0x89, char(5) + data);
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {request});
        QCOMPARE(request.size(), 22);
        const QByteArray answer = sim.sentFrames().value(0);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(request, "(Write Command) Block:5",
                                                                 Frame::nonZeroChars(char(5) + data)),
                                                  TagTestRig::rx(answer, "WRITE OK")}));
        QCOMPARE(rig.main().status(), TagStatus + " | Block No:5 | WRITE OK! " + Frame::dataText(answer));
        QCOMPARE(sim.cardImage().mid(5 * 16, 16), data);
        // A block write leaves the ASCII view alone.
        QVERIFY(rig.main().ui().cb_ascii->isChecked());
    }

    void writeBlockStatusAnswers_data()
    {
        QTest::addColumn<char>("statusByte");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("statusTail");
        QTest::addColumn<QByteArray>("expectedResult");
        QTest::newRow("X") << 'X' << "UNABLE TO READ AFTER WRITE"_ba << " | Block No:5 | Write is failed!"_ba
                           << "error"_ba;
        QTest::newRow("N") << 'N' << "NO TAG"_ba << " | Block No:5 | Write is failed!"_ba << "error"_ba;
        QTest::newRow("U: may have been written") << 'U' << "READ AFTER WRITE IS FAILED"_ba
                                                  << " | Block No:5 | Write may be failed!"_ba << "no_error"_ba;
        QTest::newRow("F") << 'F' << "WRITE IS FAILED"_ba << " | Block No:5 | Write is failed!"_ba << "error"_ba;
        // Outcome unknown: never counted as written.
        QTest::newRow("unknown status") << 'Q' << "Unexpected Response"_ba << " | Unexpected Response"_ba
                                        << "error"_ba;
        QTest::newRow("zero status") << '\0' << "Unexpected Response"_ba << " | Unexpected Response"_ba
                                     << "error"_ba;
        QTest::newRow("L") << 'L' << "Unexpected Response"_ba << " | Unexpected Response"_ba << "error"_ba;
    }
    void writeBlockStatusAnswers()
    {
        QFETCH(char, statusByte);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, statusTail);
        QFETCH(QByteArray, expectedResult);
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath());
        rig.link().tagStatusText = TagStatus;
        const QByteArray answer = status(0x89, statusByte);
        peer.answer(answer);

        QByteArray result;
        rig.blocks().WriteBlock(QByteArray(16, '\0'), 5, result);

        QCOMPARE(result, expectedResult);
        // All-zero data: the column holds only the block number's character.
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(TagTestRig::answer(0x89, char(5) + QByteArray(16, '\0')),
                                                                 "(Write Command) Block:5", "\x05"_ba),
                                                  TagTestRig::rx(answer, interpretation)}));
        QCOMPARE(rig.main().status(), TagStatus + statusTail);
        QCOMPARE(rig.link().tagStatusText, TagStatus);
    }

    // The simulator's injected write statuses: the block is written, the read-back not.
    void writeBlockInjectedStatuses_data()
    {
        QTest::addColumn<SimFault>("fault");
        QTest::addColumn<QByteArray>("expectedResult");
        QTest::newRow("U") << SimFault::WriteStatusU << "no_error"_ba;
        QTest::newRow("X") << SimFault::WriteStatusX << "error"_ba;
    }
    void writeBlockInjectedStatuses()
    {
        QFETCH(SimFault, fault);
        QFETCH(QByteArray, expectedResult);
        PtySimulator sim;
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        QVERIFY(rig.prepare(8));
        sim.injectFault(fault);
        QByteArray result;
        rig.blocks().WriteBlock(pattern(1), 9, result);
        QCOMPARE(result, expectedResult);
    }

    void writeBlockZeroColumn()
    {
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath());
        peer.answer(TagTestRig::answer(0x89, QByteArray(17, '\0')));
        QByteArray result;
        rig.blocks().WriteBlock(QByteArray(16, '\0'), 0, result);
        QCOMPARE(result, QByteArray());
        QCOMPARE(rig.newLines().value(0),
                 "TX > FF 00 12 89 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 9B \t\t\t\t(Write Command) Block:0"_ba);
    }

    void writePageThroughSimulator()
    {
        PtySimulator sim(VirtualCard::create(CardKind::Ultralight));
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        rig.chooseCardType(CardType::MifareUL);
        QVERIFY(rig.prepare(0, false));
        const QByteArray tagStatus = rig.link().tagStatusText;
        sim.clearTraffic();
        rig.main().ui().cb_ascii->setChecked(true);
        // Only bytes 0..3 of the array go out.
        const QByteArray data = "\x41\x00\x43\x44\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99"_ba;

        QByteArray result;
        rig.blocks().WritePage(data, 4, result);

        QCOMPARE(result, QByteArray());
        const QByteArray request = QByteArray::fromHex("FF00068B04410043445D");
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {request});
        const QByteArray answer = sim.sentFrames().value(0);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(request, "(Write 4 Byte, Page: 4 )", "\x04" "ACD"_ba),
                                                  TagTestRig::rx(answer, "WRITE OK")}));
        QCOMPARE(rig.main().status(), tagStatus + " | WRITE OK! " + Frame::dataText(answer));
        QVERIFY(!rig.main().ui().cb_ascii->isChecked());
        sim.withModule([](VirtualModule &module) { QCOMPARE(module.ultralightCard()->page(4), "\x41\x00\x43\x44"_ba); });
    }

    void writePageStatusAnswers_data()
    {
        QTest::addColumn<char>("statusByte");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("statusTail");
        QTest::newRow("U") << 'U' << "READ AFTER WRITE FAILED"_ba << " | Read after Write is failed!"_ba;
        QTest::newRow("X") << 'X' << "READ AFTER WRITE FAILED(X)"_ba << " | Read after Write is failed!"_ba;
        QTest::newRow("N") << 'N' << "NO TAG"_ba << " | Write is failed!"_ba;
        QTest::newRow("F") << 'F' << "FAILED"_ba << " | Read is failed during verification!"_ba;
        QTest::newRow("unknown status") << 'Z' << "Unexpected Response"_ba << " | Unexpected Response"_ba;
        QTest::newRow("zero status") << '\0' << "Unexpected Response"_ba << " | Unexpected Response"_ba;
    }
    void writePageStatusAnswers()
    {
        QFETCH(char, statusByte);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, statusTail);
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath());
        rig.link().tagStatusText = TagStatus;
        const QByteArray answer = status(0x8B, statusByte);
        peer.answer(answer);

        QByteArray result;
        rig.blocks().WritePage(QByteArray(16, '\0'), 0, result);

        QCOMPARE(result, "error"_ba);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(QByteArray::fromHex("FF00068B000000000091"),
                                                                 "(Write 4 Byte, Page: 0 )"),
                                                  TagTestRig::rx(answer, interpretation)}));
        QCOMPARE(rig.main().status(), TagStatus + statusTail);
    }

    void readStripText()
    {
        QCOMPARE(BlockCommands::lastReadText("\x00\x41\x42\x00\x0A\xFF\x00\x00\x00\x00\x00\x00\x00\x00\x00\x31"_ba),
                 " 00 41 42 00 0A FF 00 00 00 00 00 00 00 00 00 31 ascii: AB\n\xFF" "1"_ba);
    }
};

QTEST_MAIN(TestBlockCommands)
#include "tst_blockcommands.moc"
