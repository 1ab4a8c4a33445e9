#include "BlockTestRig.h"
#include "ScriptedPeer.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray status(quint8 command, char statusByte)
{
    return TagTestRig::answer(command, QByteArray(1, statusByte));
}

const QByteArray TagStatus = "TAG TYPE:02 | TAG SERIAL # A1B2C3D4"_ba;

enum class Op { Write, Increment, Decrement };

} // namespace

Q_DECLARE_METATYPE(Op)

// Value-block commands: byte order between grid text and wire, frames, log lines,
// status texts and results.
class TestValueCommands : public QObject
{
    Q_OBJECT

    static void run(BlockTestRig &rig, Op op, const QByteArray &operand, int block, QByteArray &result)
    {
        switch (op) {
        case Op::Write: rig.values().WriteValue(operand, block, result); break;
        case Op::Increment: rig.values().IncrementValue(operand, block, result); break;
        case Op::Decrement: rig.values().DecrementValue(operand, block, result); break;
        }
    }

private Q_SLOTS:
    void byteOrder_data()
    {
        QTest::addColumn<QByteArray>("gridText");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("256") << "00000100"_ba << QByteArray::fromHex("00010000");
        QTest::newRow("300") << "0000012C"_ba << QByteArray::fromHex("2C010000");
        QTest::newRow("all bytes differ") << "A1B2C3D4"_ba << QByteArray::fromHex("D4C3B2A1");
        QTest::newRow("-1") << "FFFFFFFF"_ba << QByteArray::fromHex("FFFFFFFF");
    }
    void byteOrder()
    {
        QFETCH(QByteArray, gridText);
        QFETCH(QByteArray, wire);
        QCOMPARE(ValueCommands::operandFromText(gridText), wire);
        // A read answer carrying the wire bytes gives the grid text back.
        const QByteArray answer = TagTestRig::answer(0x87, char(5) + wire);
        QCOMPARE(ValueCommands::valueTextFromEcho(Hex::echo(answer)), gridText);
    }

    void valueTextNeedsWholeValue()
    {
        QCOMPARE(ValueCommands::valueTextFromEcho(Hex::echo(QByteArray::fromHex("FF0002874649"))), QByteArray());
        QCOMPARE(ValueCommands::valueTextFromEcho("error"_ba), QByteArray());
    }

    void frames_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QByteArray>("operand");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QByteArray>("column");
        QTest::newRow("increment block 5 by 1")
            << Op::Increment << "\x01\x00\x00\x00"_ba << QByteArray::fromHex("FF00068D05010000 0099")
            << "(Increment Value Block: 5 )"_ba << "\x05\x01"_ba;
        QTest::newRow("decrement block 5 by 1")
            << Op::Decrement << "\x01\x00\x00\x00"_ba << QByteArray::fromHex("FF00068E0501000000 9A")
            << "(Decrement Value Block: 5 )"_ba << "\x05\x01"_ba;
        QTest::newRow("write 00000100 to block 6")
            << Op::Write << ValueCommands::operandFromText("00000100") << QByteArray::fromHex("FF00068A0600010000 97")
            << "(Write Value Block: 6 )"_ba << "\x06\x01"_ba;
        // Only bytes 0..3 of a longer operand array travel.
        QTest::newRow("16-byte operand array")
            << Op::Increment << "\x02\x00\x00\x00\x77\x77\x77\x77\x77\x77\x77\x77\x77\x77\x77\x77"_ba
            << QByteArray::fromHex("FF00068D0402000000 99") << "(Increment Value Block: 4 )"_ba << "\x04\x02"_ba;
    }
    void frames()
    {
        QFETCH(Op, op);
        QFETCH(QByteArray, operand);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, label);
        QFETCH(QByteArray, column);
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath());
        rig.link().tagStatusText = TagStatus;
        const QByteArray answer = TagTestRig::answer(request.at(3), request.mid(4, 5));
        peer.answer(answer);
        rig.main().ui().cb_ascii->setChecked(true);

        QByteArray result;
        run(rig, op, operand, request.at(4), result);

        QCOMPARE(result, QByteArray());
        QCOMPARE(peer.requests(), QList<QByteArray> {request});
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(request, label, column),
                                                  TagTestRig::rx(answer, "WRITE OK")}));
        QCOMPARE(rig.main().status(), TagStatus + " | WRITE OK! " + Frame::dataText(answer));
        QVERIFY(!rig.main().ui().cb_ascii->isChecked());
    }

    void changeFailures_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<char>("statusByte");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("statusTail");
        for (const Op op : {Op::Write, Op::Increment, Op::Decrement}) {
            const char *name = op == Op::Write ? "write" : op == Op::Increment ? "increment" : "decrement";
            QTest::addRow("%s I", name) << op << 'I' << "INVALID VALUE BLOCK"_ba << " | Write is failed!"_ba;
            QTest::addRow("%s N", name) << op << 'N' << "NO TAG"_ba << " | Write is failed!"_ba;
            QTest::addRow("%s F", name) << op << 'F' << "FAILED"_ba << " | Read is failed during verification!"_ba;
            QTest::addRow("%s U", name) << op << 'U' << "Unexpected Response"_ba << " | Unexpected Response"_ba;
            QTest::addRow("%s zero", name) << op << '\0' << "Unexpected Response"_ba << " | Unexpected Response"_ba;
        }
    }
    void changeFailures()
    {
        QFETCH(Op, op);
        QFETCH(char, statusByte);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, statusTail);
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath());
        rig.link().tagStatusText = TagStatus;
        const quint8 command = op == Op::Write ? 0x8A : op == Op::Increment ? 0x8D : 0x8E;
        const QByteArray answer = status(command, statusByte);
        peer.answer(answer);

        QByteArray result;
        run(rig, op, "\x01\x00\x00\x00"_ba, 8, result);

        QCOMPARE(result, "error"_ba);
        QCOMPARE(rig.newLines().value(1), TagTestRig::rx(answer, interpretation));
        QCOMPARE(rig.main().status(), TagStatus + statusTail);
        QCOMPARE(rig.link().tagStatusText, TagStatus);
    }

    void readValueAnswers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("statusTail");
        QTest::addColumn<QByteArray>("expectedResult");
        const QByteArray value = TagTestRig::answer(0x87, "\x05\x2C\x01\x00\x00"_ba);
        QTest::newRow("value") << value << "VALUE READ OK"_ba << " | VALUE READ OK! \x05\x2C\x01"_ba << QByteArray();
        QTest::newRow("F") << status(0x87, 'F') << "READ FAILED"_ba << " | Read Failed!"_ba << "error"_ba;
        QTest::newRow("N") << status(0x87, 'N') << "NO TAG"_ba << " | Read Failed!"_ba << "error"_ba;
        QTest::newRow("I") << status(0x87, 'I') << "INVALID VALUE BLOCK"_ba
                           << " | Failed! Block was not in the proper Value format"_ba << "error"_ba;
        QTest::newRow("zero status") << status(0x87, '\0') << "Unexpected Response"_ba
                                     << " | Unexpected Response"_ba << "error"_ba;
        // Too short to hold the four value bytes.
        QTest::newRow("short data") << TagTestRig::answer(0x87, "\x05\x2C\x01"_ba) << "Unexpected Response"_ba
                                    << " | Unexpected Response"_ba << "error"_ba;
    }
    void readValueAnswers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, statusTail);
        QFETCH(QByteArray, expectedResult);
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath());
        rig.link().tagStatusText = TagStatus;
        peer.answer(answer);

        QByteArray echo;
        QByteArray data;
        QByteArray result;
        rig.values().ReadValue(echo, data, 5, result);

        QCOMPARE(result, expectedResult);
        QCOMPARE(peer.requests(), QList<QByteArray> {QByteArray::fromHex("FF000287058E")});
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(QByteArray::fromHex("FF000287058E"),
                                                                 "(Read Value Block: 5 )"),
                                                  TagTestRig::rx(answer, interpretation)}));
        QCOMPARE(rig.main().status(), TagStatus + statusTail);
        QCOMPARE(echo, Hex::echo(answer));
        QCOMPARE(data, Frame::dataText(answer));
    }

    // On a card: write 300, add 1, take 2, read back 0000012B; a block that holds no
    // value refuses the increment.
    void valueBlockOnCard()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        QVERIFY(rig.prepare(4));
        QByteArray result;
        rig.values().IncrementValue("\x01\x00\x00\x00"_ba, 5, result);
        QCOMPARE(result, "error"_ba);
        QCOMPARE(rig.newLines().value(1).right(19), "INVALID VALUE BLOCK"_ba);
        QCOMPARE(rig.main().status(), TagStatus + " | Write is failed!");

        QVERIFY(rig.prepare(4));
        result.clear();
        rig.values().WriteValue(ValueCommands::operandFromText("0000012C"), 5, result);
        rig.values().IncrementValue(ValueCommands::operandFromText("00000001"), 5, result);
        rig.values().DecrementValue(ValueCommands::operandFromText("00000002"), 5, result);
        QCOMPARE(result, QByteArray());
        QByteArray echo;
        QByteArray data;
        rig.values().ReadValue(echo, data, 5, result);
        QCOMPARE(result, QByteArray());
        QCOMPARE(ValueCommands::valueTextFromEcho(echo), "0000012B"_ba);
    }
};

QTEST_MAIN(TestValueCommands)
#include "tst_valuecommands.moc"
