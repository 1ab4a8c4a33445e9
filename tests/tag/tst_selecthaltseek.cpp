#include "ScriptedPeer.h"
#include "TagTestRig.h"

#include "PtySimulator.h"
#include "VirtualCard.h"

#include "link/ModuleAnswers.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray SelectRequest = QByteArray::fromHex("FF00018384");
const QByteArray SeekRequest = QByteArray::fromHex("FF00018283");
const QByteArray HaltRequest = QByteArray::fromHex("FF00019394");

QByteArray status(quint8 command, char statusByte)
{
    return TagTestRig::answer(command, QByteArray(1, statusByte));
}

// Runs select (0x83), halt (0x93) or seek (0x82); its request line and result.
QByteArray run(TagTestRig &rig, int command, QByteArray *txLine)
{
    QByteArray result;
    if (command == 0x83) {
        *txLine = TagTestRig::tx(SelectRequest, "(Select Command)");
        rig.tags().SelectTag(result);
    } else if (command == 0x93) {
        *txLine = TagTestRig::tx(HaltRequest, "(Halt Command)");
        rig.tags().HaltTag(result);
    } else {
        *txLine = TagTestRig::tx(SeekRequest, "(Auto Select Command)");
        rig.tags().SeekTag(result);
    }
    return result;
}

} // namespace

// Select, halt and seek end to end, through the simulator or a scripted peer on a
// pseudo-terminal, and the receive handler that completes a seek. Their answers other
// than a tag report are in tst_blockcommands' table of answers.
class TestSelectHaltSeek : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A tag in the field: select, or a seek answered at once.
    void tagReported_data()
    {
        QTest::addColumn<CardKind>("card");
        QTest::addColumn<CardType>("cardType");
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("serial");
        QTest::newRow("1K select") << CardKind::Classic1K << CardType::Mifare1K << 0x83 << "02 SERIAL: A1B2C3D4"_ba;
        QTest::newRow("4K seek") << CardKind::Classic4K << CardType::Mifare4K << 0x82 << "03 SERIAL: B4C3D2E1"_ba;
        QTest::newRow("UL, 7-byte serial") << CardKind::Ultralight << CardType::MifareUL << 0x83
                                           << "01 SERIAL: 1A2B3C4D5E6F70"_ba;
        // The serial length follows the chosen card type, not the answer: bytes 5..8.
        QTest::newRow("UL card read as 1K") << CardKind::Ultralight << CardType::Mifare1K << 0x83
                                            << "01 SERIAL: 4D5E6F70"_ba;
    }
    void tagReported()
    {
        QFETCH(CardKind, card);
        QFETCH(CardType, cardType);
        QFETCH(int, command);
        QFETCH(QByteArray, serial);
        PtySimulator sim(VirtualCard::create(card));
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        rig.chooseCardType(cardType);
        QByteArray txLine;
        QCOMPARE(run(rig, command, &txLine), QByteArray());
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {command == 0x83 ? SelectRequest : SeekRequest});
        const QByteArrayList lines = rig.newLines();
        QCOMPARE(lines, (QByteArrayList {txLine, TagTestRig::rx(sim.sentFrames().value(0), "TAG TYPE: " + serial)}));
        // One pair written out in full: the columns and tabs of both lines.
        if (card == CardKind::Classic1K)
            QCOMPARE(lines, (QByteArrayList {"TX > FF 00 01 83 84  \t\t\t\t\t\t\t\t\t(Select Command)"_ba,
                                             "RX <FF 00 06 83 02 D4 C3 B2 A1 75 \t\t\t\t\t\x02\xD4\xC3\xB2\xA1\t\t\t"
                                             "TAG TYPE: 02 SERIAL: A1B2C3D4"_ba}));
        const QByteArray tagStatus = "TAG TYPE:" + serial.replace(" SERIAL: ", " | TAG SERIAL # ");
        QCOMPARE(rig.main().status(), tagStatus);
        QCOMPARE(rig.link().tagStatusText, tagStatus);
        if (command == 0x82)
            QCOMPARE(rig.link().linkMode, QByteArray()); // answered at once: nothing waits for a tag
    }

    // A seek answered "L" waits for the tag. Meanwhile a frame without a whole tag
    // report is logged and the seek goes on; a broken frame logs "error", is discarded
    // and shown in the status bar; the tag report then completes the seek.
    void seekWaitsForTheTagReport()
    {
        ScriptedPeer peer;
        TagTestRig rig(peer.portPath(), 150);
        rig.chooseCardType(CardType::MifareUL);
        const QByteArray seeking = status(0x82, ModuleAnswers::Success);
        peer.answer(seeking);
        QByteArray result;
        rig.tags().SeekTag(result);
        QCOMPARE(result, "error"_ba);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(SeekRequest, "(Auto Select Command)"),
                                                  TagTestRig::rx(seeking, "SEEKING FOR TAG")}));
        QCOMPARE(rig.main().status(), "SEEKING FOR TAG"_ba);
        QCOMPARE(rig.link().tagStatusText, "SEEKING FOR TAG"_ba);
        QCOMPARE(rig.link().linkMode, "select_continuous"_ba);

        const QByteArray shortReport = TagTestRig::answer(0x82, "\x01\x11\x22\x33\x44"_ba);
        peer.sendNow(shortReport);
        QTRY_COMPARE(rig.main().logLines().size(), 3);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::rx(shortReport, "SEEKING FOR TAG")}));
        QCOMPARE(rig.link().linkMode, "select_continuous"_ba);

        peer.sendNow(QByteArray::fromHex("FF0002824C00")); // wrong checksum
        QTRY_COMPARE(rig.main().logLines().size(), 6);
        QCOMPARE(rig.newLines(),
                 (QByteArrayList {"Checksum error in Response Array", "error", "Stray bytes on the line discarded"}));
        QCOMPARE(rig.link().linkMode, "select_continuous"_ba);
        QCOMPARE(rig.main().status(),
                 "Checksum error in Response Array Check the baud rate, the cable and the module's power."_ba);

        const QByteArray report = TagTestRig::answer(0x82, "\x01\x11\x22\x33\x44\x55\x66\x77"_ba);
        peer.sendNow(report);
        QTRY_COMPARE(rig.link().linkMode, QByteArray());
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::rx(report, "TAG TYPE: 01 SERIAL: 77665544332211")}));
        QCOMPARE(rig.main().status(), "TAG TYPE:01 | TAG SERIAL # 77665544332211"_ba);
        QCOMPARE(rig.link().tagStatusText, "TAG TYPE:01 | TAG SERIAL # 77665544332211"_ba);
    }

    // The buttons run their commands; "Seek for tag" turns Select into a seek. The
    // first opens the port through the Open Port action.
    void buttonsRunTheirCommands()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        MainWindowUi &ui = rig.main().ui();
        QTest::mouseClick(ui.btn_select, Qt::LeftButton);
        QVERIFY(ui.close_c->isVisibleTo(&rig.main()));
        ui.cb_select->setChecked(true);
        QTest::mouseClick(ui.btn_select, Qt::LeftButton);
        QTest::mouseClick(ui.btn_halt, Qt::LeftButton);
        QCOMPARE(sim.receivedFrames(), (QList<QByteArray> {SelectRequest, SeekRequest, HaltRequest}));
    }
};

QTEST_MAIN(TestSelectHaltSeek)
#include "tst_selecthaltseek.moc"
