#include "BlockTestRig.h"
#include "ScriptedPeer.h"

#include "UltralightCard.h"

#include "link/ModuleAnswers.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray status(quint8 command, char statusByte)
{
    return TagTestRig::answer(command, QByteArray(1, statusByte));
}

const QByteArray TagStatus = "TAG TYPE:02 | TAG SERIAL # A1B2C3D4"_ba;

enum class Op { Select, SelectUltralight, Halt, Seek, Read, Block, Page, WriteValue, Increment, Decrement, ReadValue };

} // namespace

Q_DECLARE_METATYPE(Op)

// Block, page and value commands end to end: frames, log lines, status texts, results,
// LastReadText and the grid rows a read fills.
class TestBlockCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A read turns the grids back to hex first; the data lands in its row unless the
    // block is a trailer or "Get data" is off, and the strip text follows it anyway.
    // Which blocks are trailers is tst_cardgeometry's.
    void readClassicBlock_data()
    {
        QTest::addColumn<CardKind>("card");
        QTest::addColumn<CardType>("cardType");
        QTest::addColumn<int>("block");
        QTest::addColumn<bool>("getData");
        QTest::addColumn<bool>("copied");
        QTest::newRow("1K block 0, row 2") << CardKind::Classic1K << CardType::Mifare1K << 0 << true << true;
        QTest::newRow("1K block 4, Get data off") << CardKind::Classic1K << CardType::Mifare1K << 4 << false << false;
        QTest::newRow("1K trailer 3") << CardKind::Classic1K << CardType::Mifare1K << 3 << true << false;
        QTest::newRow("4K block 128") << CardKind::Classic4K << CardType::Mifare4K << 128 << true << true;
    }
    void readClassicBlock()
    {
        QFETCH(CardKind, card);
        QFETCH(CardType, cardType);
        QFETCH(int, block);
        QFETCH(bool, getData);
        QFETCH(bool, copied);
        PtySimulator sim(VirtualCard::create(card));
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        rig.chooseCardType(cardType);
        rig.main().ui().cb_getdata->setChecked(getData);
        const bool dataBlock = block != 0 && (copied || !getData);
        if (dataBlock)
            setClassicBlock(sim, block, pattern(block));
        const int row = block + 2;
        rig.fillRow(cardType, row, "AA");
        rig.main().ui().cb_ascii->setChecked(true);
        QVERIFY(rig.prepare(block));
        const QByteArray tagStatus = rig.link().tagStatusText;
        sim.clearTraffic();

        QByteArray result;
        rig.blocks().ReadBlockToGrid(block, result);

        QCOMPARE(result, "ok"_ba);
        const QByteArray request = QByteArray::fromHex("FF000286") + char(block) + char(0x88 + block);
        QCOMPARE(sim.receivedFrames().value(0), request);
        const QByteArray answer = sim.sentFrames().value(0);
        QCOMPARE(answer.size(), 22);
        const QByteArray data = answer.mid(5, 16);
        if (dataBlock)
            QCOMPARE(data, pattern(block));
        QCOMPARE(rig.newLines(),
                 (QByteArrayList {TagTestRig::tx(request, "(Read Command) Block:" + QByteArray::number(block)),
                                  TagTestRig::rx(answer, "READ OK")}));
        QCOMPARE(rig.main().status(),
                 tagStatus + " | Block No:" + QByteArray::number(block) + " | READ OK! " + Frame::dataText(answer));
        QCOMPARE(rig.main().grids().lastReadText(), BlockCommands::lastReadText(data));
        QVERIFY(!rig.main().grids().asciiView());
        QCOMPARE(rig.rowText(cardType, row), copied ? data.toHex().toUpper() : "AA"_ba.repeated(16));
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

    // A block write and a page write through the simulator: frame (a page takes
    // bytes 0..3 of the array), log lines, status, the card's memory. Only the page
    // write turns the ASCII view off.
    void writeThroughSimulator_data()
    {
        QTest::addColumn<bool>("page");
        QTest::newRow("block 5") << false;
        QTest::newRow("Ultralight page 4") << true;
    }
    void writeThroughSimulator()
    {
        QFETCH(bool, page);
        PtySimulator sim(VirtualCard::create(page ? CardKind::Ultralight : CardKind::Classic1K));
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        if (page)
            rig.chooseCardType(CardType::MifareUL);
        QVERIFY(rig.prepare(4, !page));
        const QByteArray tagStatus = rig.link().tagStatusText;
        sim.clearTraffic();
        rig.main().ui().cb_ascii->setChecked(true);
        const QByteArray data = page ? "\x41\x00\x43\x44\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99"_ba
                                     : pattern(0x40);

        QByteArray result;
        QByteArray request, txLine, statusText;
        if (page) {
            rig.blocks().WritePage(data, 4, result);
            request = QByteArray::fromHex("FF00068B04410043445D");
            txLine = TagTestRig::tx(request, "(Write 4 Byte, Page: 4 )", "\x04" "ACD"_ba);
            statusText = tagStatus + " | WRITE OK! ";
        } else {
            rig.blocks().WriteBlock(data, 5, result);
            request = TagTestRig::answer(0x89, char(5) + data);
            txLine = TagTestRig::tx(request, "(Write Command) Block:5", Frame::nonZeroChars(char(5) + data));
            statusText = tagStatus + " | Block No:5 | WRITE OK! ";
        }

        QCOMPARE(result, QByteArray());
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {request});
        const QByteArray answer = sim.sentFrames().value(0);
        QCOMPARE(rig.newLines(), (QByteArrayList {txLine, TagTestRig::rx(answer, "WRITE OK")}));
        QCOMPARE(rig.main().status(), statusText + Frame::dataText(answer));
        QCOMPARE(rig.main().ui().cb_ascii->isChecked(), !page);
        sim.withModule([&](VirtualModule &module) {
            if (page)
                QCOMPARE(module.ultralightCard()->page(4), "\x41\x00\x43\x44"_ba);
            else
                QCOMPARE(module.classicCard()->block(5), data);
        });
    }

    // The module's answers to each card command other than its success, and a value
    // change's echo: request, log lines, status texts, tag status and result. Halt
    // takes any answer; select takes only a whole tag report; no answer leaves the tag
    // status alone. Block
    // and page commands work on block or page 0 with all-zero data (the request column
    // stays empty), value commands on block 5 with a 16-byte operand array of which
    // only bytes 0..3 travel. A failed read leaves the strip text and the grid alone;
    // a write whose outcome is not known is never counted as written. Every command
    // but a block write turns the ASCII view off first; a value read shows the
    // answer's echo and data texts whatever it says.
    void answers_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("statusText");
        QTest::addColumn<QByteArray>("tagStatusAfter");
        QTest::addColumn<QByteArray>("expectedResult");
        const QByteArray unexpected = "Unexpected Response"_ba;
        const QByteArray noPort = "Unexpected Response.Select Right com port"_ba;
        const auto row = [](const char *name, Op op, const QByteArray &answer, const QByteArray &interpretation,
                            const QByteArray &statusText, const QByteArray &tagStatusAfter = TagStatus,
                            const QByteArray &result = "error"_ba) {
            QTest::newRow(name) << op << answer << interpretation << statusText << tagStatusAfter << result;
        };
        const auto tail = [](const QByteArray &text) { return TagStatus + text; };
        row("select N: no tag", Op::Select, status(0x83, 'N'), "NO TAG"_ba, "NO TAG FOUND"_ba, "NO TAG FOUND"_ba);
        row("select F", Op::Select, status(0x83, 'F'), unexpected, noPort, noPort);
        row("select N followed by more", Op::Select, TagTestRig::answer(0x83, "NN"_ba), unexpected, noPort, noPort);
        // Too short for the serial of the chosen card type: nothing is read past the data.
        row("select 7-byte frame, 1K", Op::Select, TagTestRig::answer(0x83, "\x02\x11\x22"_ba), unexpected, noPort,
            noPort);
        row("select 4-byte serial, UL", Op::SelectUltralight, TagTestRig::answer(0x83, "\x02\x11\x22\x33\x44"_ba),
            unexpected, noPort, noPort);
        row("halt L", Op::Halt, status(0x93, 'L'), "PICC HALTED"_ba, "PICC IS HALTED"_ba, "PICC IS HALTED"_ba, {});
        row("halt data frame", Op::Halt, TagTestRig::answer(0x93, "\x02\x11\x22\x33\x44"_ba), "PICC HALTED"_ba,
            "PICC IS HALTED"_ba, "PICC IS HALTED"_ba, {});
        // A time-out no longer leaves the last status on screen.
        const QByteArray timeout = "***Timeout.No Response*** Check the Com Port, the baud rate and the module's power.";
        row("select, no answer", Op::Select, {}, {}, timeout);
        row("seek, no answer", Op::Seek, {}, {}, timeout);
        row("read F", Op::Read, status(0x86, 'F'), "READ FAILED"_ba, tail(" | Block No:0 | Read Failed!"));
        row("read U", Op::Read, status(0x86, 'U'), unexpected, noPort, noPort);
        // A data answer without the 16 bytes: nothing may be taken from beyond it.
        row("read short data", Op::Read, TagTestRig::answer(0x86, "\x00\x11\x22\x33"_ba), unexpected, noPort, noPort);
        row("block X", Op::Block, status(0x89, 'X'), "UNABLE TO READ AFTER WRITE"_ba, tail(" | Block No:0 | Write is failed!"));
        row("block N", Op::Block, status(0x89, 'N'), "NO TAG"_ba, tail(" | Block No:0 | Write is failed!"));
        row("block U: may have been written", Op::Block, status(0x89, 'U'), "READ AFTER WRITE IS FAILED"_ba,
            tail(" | Block No:0 | Write may be failed!"), TagStatus, "no_error"_ba);
        row("block F", Op::Block, status(0x89, 'F'), "WRITE IS FAILED"_ba, tail(" | Block No:0 | Write is failed!"));
        row("block unknown status", Op::Block, status(0x89, 'Q'), unexpected, tail(" | Unexpected Response"));
        row("block L", Op::Block, status(0x89, 'L'), unexpected, tail(" | Unexpected Response"));
        row("page U", Op::Page, status(0x8B, 'U'), "READ AFTER WRITE FAILED"_ba, tail(" | Read after Write is failed!"));
        row("page X", Op::Page, status(0x8B, 'X'), "READ AFTER WRITE FAILED(X)"_ba, tail(" | Read after Write is failed!"));
        row("page N", Op::Page, status(0x8B, 'N'), "NO TAG"_ba, tail(" | Write is failed!"));
        row("page F", Op::Page, status(0x8B, 'F'), "FAILED"_ba, tail(" | Read is failed during verification!"));
        row("page zero status", Op::Page, status(0x8B, '\0'), unexpected, tail(" | Unexpected Response"));
        // The three value changes share one classification: every status for a write,
        // one failure each for the others.
        const QByteArray echo = TagTestRig::answer(0x8E, "\x05\x01\x00\x00\x00"_ba);
        row("decrement echoed", Op::Decrement, echo, "WRITE OK"_ba, tail(" | WRITE OK! " + Frame::dataText(echo)),
            TagStatus, QByteArray());
        row("write value I", Op::WriteValue, status(0x8A, 'I'), "INVALID VALUE BLOCK"_ba, tail(" | Write is failed!"));
        row("write value N", Op::WriteValue, status(0x8A, 'N'), "NO TAG"_ba, tail(" | Write is failed!"));
        row("write value F", Op::WriteValue, status(0x8A, 'F'), "FAILED"_ba, tail(" | Read is failed during verification!"));
        row("write value U", Op::WriteValue, status(0x8A, 'U'), unexpected, tail(" | Unexpected Response"));
        row("increment I", Op::Increment, status(0x8D, 'I'), "INVALID VALUE BLOCK"_ba, tail(" | Write is failed!"));
        row("decrement zero status", Op::Decrement, status(0x8E, '\0'), unexpected, tail(" | Unexpected Response"));
        row("read value", Op::ReadValue, TagTestRig::answer(0x87, "\x05\x2C\x01\x00\x00"_ba), "VALUE READ OK"_ba,
            tail(" | VALUE READ OK! \x05\x2C\x01"), TagStatus, QByteArray());
        row("read value F", Op::ReadValue, status(0x87, 'F'), "READ FAILED"_ba, tail(" | Read Failed!"));
        row("read value I", Op::ReadValue, status(0x87, 'I'), "INVALID VALUE BLOCK"_ba,
            tail(" | Failed! Block was not in the proper Value format"));
        // Too short to hold the four value bytes.
        row("read value short data", Op::ReadValue, TagTestRig::answer(0x87, "\x05\x2C\x01"_ba), unexpected,
            tail(" | Unexpected Response"));
    }
    void answers()
    {
        QFETCH(Op, op);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, statusText);
        QFETCH(QByteArray, tagStatusAfter);
        QFETCH(QByteArray, expectedResult);
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath(), 150);
        if (op == Op::SelectUltralight)
            rig.chooseCardType(CardType::MifareUL);
        rig.link().tagStatusText = TagStatus;
        rig.main().setStatus("before");
        rig.main().grids().setLastReadText("before");
        rig.fillRow(CardType::Mifare1K, 2, "AA");
        rig.main().ui().cb_ascii->setChecked(true);
        peer.answer(answer);

        QByteArray result, echo, data, request, txLine;
        const QByteArray operand = "\x01\x00\x00\x00"_ba + QByteArray(12, '\x77');
        const auto change = [&](quint8 command, const char *label) {
            request = Frame::request(command, "\x05"_ba + operand.left(4));
            txLine = TagTestRig::tx(request, "(" + QByteArray(label) + " Value Block: 5 )", "\x05\x01"_ba);
        };
        switch (op) {
        case Op::Select:
        case Op::SelectUltralight:
            rig.tags().SelectTag(result);
            request = QByteArray::fromHex("FF00018384");
            txLine = TagTestRig::tx(request, "(Select Command)");
            break;
        case Op::Halt:
            rig.tags().HaltTag(result);
            request = QByteArray::fromHex("FF00019394");
            txLine = TagTestRig::tx(request, "(Halt Command)");
            break;
        case Op::Seek:
            rig.tags().SeekTag(result);
            request = QByteArray::fromHex("FF00018283");
            txLine = TagTestRig::tx(request, "(Auto Select Command)");
            break;
        case Op::Read:
            rig.blocks().ReadBlockToGrid(0, result);
            request = QByteArray::fromHex("FF0002860088");
            txLine = TagTestRig::tx(request, "(Read Command) Block:0");
            break;
        case Op::Block:
            rig.blocks().WriteBlock(QByteArray(16, '\0'), 0, result);
            request = QByteArray::fromHex("FF00128900") + QByteArray(16, '\0') + '\x9B';
            txLine = "TX > FF 00 12 89 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 9B \t\t\t\t(Write Command) Block:0";
            break;
        case Op::Page:
            rig.blocks().WritePage(QByteArray(16, '\0'), 0, result);
            request = QByteArray::fromHex("FF00068B000000000091");
            txLine = TagTestRig::tx(request, "(Write 4 Byte, Page: 0 )");
            break;
        case Op::WriteValue:
            rig.values().WriteValue(operand, 5, result);
            change(0x8A, "Write");
            break;
        case Op::Increment:
            rig.values().IncrementValue(operand, 5, result);
            change(0x8D, "Increment");
            break;
        case Op::Decrement:
            rig.values().DecrementValue(operand, 5, result);
            change(0x8E, "Decrement");
            break;
        case Op::ReadValue:
            rig.values().ReadValue(echo, data, 5, result);
            request = QByteArray::fromHex("FF000287058E");
            txLine = TagTestRig::tx(request, "(Read Value Block: 5 )");
            QCOMPARE(echo, Hex::echo(answer));
            QCOMPARE(data, Frame::dataText(answer));
            break;
        }

        QCOMPARE(result, expectedResult);
        QCOMPARE(peer.requests(), QList<QByteArray> {request});
        QCOMPARE(rig.newLines(), (QByteArrayList {txLine, answer.isEmpty() ? "***Timeout.No Response***"_ba
                                                                           : TagTestRig::rx(answer, interpretation)}));
        QCOMPARE(rig.main().status(), statusText);
        QCOMPARE(rig.link().tagStatusText, tagStatusAfter);
        QCOMPARE(rig.main().grids().lastReadText(), "before"_ba);
        QCOMPARE(rig.rowText(CardType::Mifare1K, 2), "AA"_ba.repeated(16));
        QCOMPARE(rig.main().ui().cb_ascii->isChecked(), op < Op::Read || op == Op::Block);
    }

    // Value text in the grid is most significant byte first, on the wire least.
    void valueByteOrder()
    {
        QCOMPARE(ValueCommands::operandFromText("A1B2C3D4"), QByteArray::fromHex("D4C3B2A1"));
        QCOMPARE(ValueCommands::operandFromText("FFFFFFFF"), QByteArray::fromHex("FFFFFFFF"));
        // A read answer carrying the wire bytes gives the grid text back.
        const QByteArray answer = TagTestRig::answer(0x87, "\x05"_ba + QByteArray::fromHex("D4C3B2A1"));
        QCOMPARE(ValueCommands::valueTextFromEcho(Hex::echo(answer)), "A1B2C3D4"_ba);
        // Too short to hold a value: no text.
        QCOMPARE(ValueCommands::valueTextFromEcho(Hex::echo(QByteArray::fromHex("FF0002874649"))), QByteArray());
        QCOMPARE(ValueCommands::valueTextFromEcho("error"_ba), QByteArray());
    }

    void readStripText()
    {
        QCOMPARE(BlockCommands::lastReadText("\x00\x41\x42\x00\x0A\xFF\x00\x00\x00\x00\x00\x00\x00\x00\x00\x31"_ba),
                 " 00 41 42 00 0A FF 00 00 00 00 00 00 00 00 00 31 ascii: AB\n\xFF" "1"_ba);
    }
};

QTEST_MAIN(TestBlockCommands)
#include "tst_blockcommands.moc"
