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

enum class Op { Write, Increment, Decrement, Read };

} // namespace

Q_DECLARE_METATYPE(Op)

// Value-block commands: byte order between grid text and wire, frames, log lines,
// status texts and results.
class TestValueCommands : public QObject
{
    Q_OBJECT

    // Runs one command; a read also gives its echo and data texts.
    static void run(BlockTestRig &rig, Op op, const QByteArray &operand, int block, QByteArray &result,
                    QByteArray *echo = nullptr, QByteArray *data = nullptr)
    {
        QByteArray unusedEcho, unusedData;
        switch (op) {
        case Op::Write: rig.values().WriteValue(operand, block, result); break;
        case Op::Increment: rig.values().IncrementValue(operand, block, result); break;
        case Op::Decrement: rig.values().DecrementValue(operand, block, result); break;
        case Op::Read:
            rig.values().ReadValue(echo ? *echo : unusedEcho, data ? *data : unusedData, block, result);
            break;
        }
    }

private Q_SLOTS:
    void byteOrder_data()
    {
        QTest::addColumn<QByteArray>("gridText");
        QTest::addColumn<QByteArray>("wire");
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
        // Too short to hold a value: no text.
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
        QTest::newRow("decrement block 5 by 1")
            << Op::Decrement << "\x01\x00\x00\x00"_ba << QByteArray::fromHex("FF00068E0501000000 9A")
            << "(Decrement Value Block: 5 )"_ba << "\x05\x01"_ba;
        QTest::newRow("write 00000100 to block 6")
            << Op::Write << ValueCommands::operandFromText("00000100") << QByteArray::fromHex("FF00068A0600010000 97")
            << "(Write Value Block: 6 )"_ba << "\x06\x01"_ba;
        // Only bytes 0..3 of a longer operand array travel.
        QTest::newRow("increment by a 16-byte operand array")
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

    // The answers to each command other than the echo of a change: log line, status
    // text, result. A read shows the answer's echo and data texts whatever it says.
    void answers_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("statusTail");
        QTest::addColumn<QByteArray>("expectedResult");
        const QByteArray unexpected = " | Unexpected Response"_ba;
        // The three change commands share one classification: every status for a
        // write, one failure each for the others.
        const auto change = [](const char *name, Op op, quint8 command, char statusByte,
                               const QByteArray &interpretation, const QByteArray &tail) {
            QTest::newRow(name) << op << status(command, statusByte) << interpretation << tail << "error"_ba;
        };
        change("write I", Op::Write, 0x8A, 'I', "INVALID VALUE BLOCK"_ba, " | Write is failed!"_ba);
        change("write N", Op::Write, 0x8A, 'N', "NO TAG"_ba, " | Write is failed!"_ba);
        change("write F", Op::Write, 0x8A, 'F', "FAILED"_ba, " | Read is failed during verification!"_ba);
        change("write U", Op::Write, 0x8A, 'U', "Unexpected Response"_ba, unexpected);
        change("increment I", Op::Increment, 0x8D, 'I', "INVALID VALUE BLOCK"_ba, " | Write is failed!"_ba);
        change("decrement zero status", Op::Decrement, 0x8E, '\0', "Unexpected Response"_ba, unexpected);
        QTest::newRow("read value") << Op::Read << TagTestRig::answer(0x87, "\x05\x2C\x01\x00\x00"_ba)
                                    << "VALUE READ OK"_ba << " | VALUE READ OK! \x05\x2C\x01"_ba << QByteArray();
        QTest::newRow("read F") << Op::Read << status(0x87, 'F') << "READ FAILED"_ba << " | Read Failed!"_ba << "error"_ba;
        QTest::newRow("read I") << Op::Read << status(0x87, 'I') << "INVALID VALUE BLOCK"_ba
                                << " | Failed! Block was not in the proper Value format"_ba << "error"_ba;
        // Too short to hold the four value bytes.
        QTest::newRow("read short data") << Op::Read << TagTestRig::answer(0x87, "\x05\x2C\x01"_ba)
                                         << "Unexpected Response"_ba << unexpected << "error"_ba;
    }
    void answers()
    {
        QFETCH(Op, op);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, statusTail);
        QFETCH(QByteArray, expectedResult);
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath());
        rig.link().tagStatusText = TagStatus;
        peer.answer(answer);

        QByteArray result, echo, data;
        run(rig, op, "\x01\x00\x00\x00"_ba, 5, result, &echo, &data);

        QCOMPARE(result, expectedResult);
        const QByteArrayList lines = rig.newLines();
        QCOMPARE(lines.size(), 2);
        if (op == Op::Read) {
            QCOMPARE(peer.requests(), QList<QByteArray> {QByteArray::fromHex("FF000287058E")});
            QCOMPARE(lines.at(0), TagTestRig::tx(QByteArray::fromHex("FF000287058E"), "(Read Value Block: 5 )"));
            QCOMPARE(echo, Hex::echo(answer));
            QCOMPARE(data, Frame::dataText(answer));
        }
        QCOMPARE(lines.at(1), TagTestRig::rx(answer, interpretation));
        QCOMPARE(rig.main().status(), TagStatus + statusTail);
        QCOMPARE(rig.link().tagStatusText, TagStatus);
    }
};

QTEST_MAIN(TestValueCommands)
#include "tst_valuecommands.moc"
