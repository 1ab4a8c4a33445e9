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

} // namespace

// Select, halt and seek end to end, through the simulator or a scripted peer on a
// pseudo-terminal, and the receive handler that completes a seek.
class TestSelectHaltSeek : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void selectReportsTag_data()
    {
        QTest::addColumn<CardKind>("card");
        QTest::addColumn<CardType>("cardType");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("tagStatus");
        QTest::newRow("1K, 4-byte serial") << CardKind::Classic1K << CardType::Mifare1K
                                           << "TAG TYPE: 02 SERIAL: A1B2C3D4"_ba
                                           << "TAG TYPE:02 | TAG SERIAL # A1B2C3D4"_ba;
        QTest::newRow("4K, 4-byte serial") << CardKind::Classic4K << CardType::Mifare4K
                                           << "TAG TYPE: 03 SERIAL: B4C3D2E1"_ba
                                           << "TAG TYPE:03 | TAG SERIAL # B4C3D2E1"_ba;
        QTest::newRow("UL, 7-byte serial") << CardKind::Ultralight << CardType::MifareUL
                                           << "TAG TYPE: 01 SERIAL: 1A2B3C4D5E6F70"_ba
                                           << "TAG TYPE:01 | TAG SERIAL # 1A2B3C4D5E6F70"_ba;
        // The serial length follows the chosen card type, not the answer: bytes 5..8.
        QTest::newRow("UL card read as 1K") << CardKind::Ultralight << CardType::Mifare1K
                                            << "TAG TYPE: 01 SERIAL: 4D5E6F70"_ba
                                            << "TAG TYPE:01 | TAG SERIAL # 4D5E6F70"_ba;
    }
    void selectReportsTag()
    {
        QFETCH(CardKind, card);
        QFETCH(CardType, cardType);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, tagStatus);
        PtySimulator sim(VirtualCard::create(card));
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        rig.chooseCardType(cardType);

        QByteArray result;
        rig.tags().SelectTag(result);

        QCOMPARE(result, QByteArray());
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {SelectRequest});
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(SelectRequest, "(Select Command)"),
                                                  TagTestRig::rx(sim.sentFrames().value(0), interpretation)}));
        QCOMPARE(rig.main().status(), tagStatus);
        QCOMPARE(rig.link().tagStatusText, tagStatus);
    }

    // One line written out in full: the columns and tabs of both lines.
    void selectLinesByteExact()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        QByteArray result;
        rig.tags().SelectTag(result);
        QCOMPARE(rig.newLines(),
                 (QByteArrayList {"TX > FF 00 01 83 84  \t\t\t\t\t\t\t\t\t(Select Command)"_ba,
                                  "RX <FF 00 06 83 02 D4 C3 B2 A1 75 \t\t\t\t\t\x02\xD4\xC3\xB2\xA1\t\t\t"
                                  "TAG TYPE: 02 SERIAL: A1B2C3D4"_ba}));
    }

    void selectFailures_data()
    {
        QTest::addColumn<CardType>("cardType");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("tagStatus");
        QTest::newRow("N: no tag") << CardType::Mifare1K << status(0x83, ModuleAnswers::NoTag) << "NO TAG"_ba
                                   << "NO TAG FOUND"_ba;
        QTest::newRow("F") << CardType::Mifare1K << status(0x83, ModuleAnswers::Failed) << "Unexpected Response"_ba
                           << "Unexpected Response.Select Right com port"_ba;
        QTest::newRow("zero status byte") << CardType::Mifare1K << status(0x83, '\0') << "Unexpected Response"_ba
                                          << "Unexpected Response.Select Right com port"_ba;
        QTest::newRow("N followed by more") << CardType::Mifare1K << TagTestRig::answer(0x83, "NN"_ba)
                                            << "Unexpected Response"_ba
                                            << "Unexpected Response.Select Right com port"_ba;
        // Data answers too short for the serial of the chosen card type: nothing is
        // read past the data bytes.
        QTest::newRow("7-byte frame, 1K") << CardType::Mifare1K << TagTestRig::answer(0x83, "\x02\x11\x22"_ba)
                                          << "Unexpected Response"_ba
                                          << "Unexpected Response.Select Right com port"_ba;
        QTest::newRow("4-byte serial, UL")
            << CardType::MifareUL << TagTestRig::answer(0x83, "\x02\x11\x22\x33\x44"_ba) << "Unexpected Response"_ba
            << "Unexpected Response.Select Right com port"_ba;
    }
    void selectFailures()
    {
        QFETCH(CardType, cardType);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, tagStatus);
        ScriptedPeer peer;
        TagTestRig rig(peer.portPath());
        rig.chooseCardType(cardType);
        peer.answer(answer);

        QByteArray result;
        rig.tags().SelectTag(result);

        QCOMPARE(result, "error"_ba);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(SelectRequest, "(Select Command)"),
                                                  TagTestRig::rx(answer, interpretation)}));
        QCOMPARE(rig.main().status(), tagStatus);
        QCOMPARE(rig.link().tagStatusText, tagStatus);
    }

    void noAnswerLeavesStateAlone_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("select") << 0x83;
        QTest::newRow("halt") << 0x93;
        QTest::newRow("seek") << 0x82;
    }
    void noAnswerLeavesStateAlone()
    {
        QFETCH(int, command);
        ScriptedPeer peer;
        TagTestRig rig(peer.portPath(), 150);
        rig.link().tagStatusText = "PICC IS HALTED";
        rig.main().setStatus("before");
        QByteArray result;
        if (command == 0x83)
            rig.tags().SelectTag(result);
        else if (command == 0x93)
            rig.tags().HaltTag(result);
        else
            rig.tags().SeekTag(result);
        QCOMPARE(result, "error"_ba);
        const QByteArrayList lines = rig.newLines();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(1), "***Timeout.No Response***"_ba);
        QCOMPARE(rig.main().status(), "before"_ba);
        QCOMPARE(rig.link().tagStatusText, "PICC IS HALTED"_ba);
    }

    void haltAcceptsAnyAnswer_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("L") << status(0x93, ModuleAnswers::Success);
        QTest::newRow("N") << status(0x93, ModuleAnswers::NoTag);
        QTest::newRow("F") << status(0x93, ModuleAnswers::Failed);
        QTest::newRow("data frame") << TagTestRig::answer(0x93, "\x02\x11\x22\x33\x44"_ba);
    }
    void haltAcceptsAnyAnswer()
    {
        QFETCH(QByteArray, answer);
        ScriptedPeer peer;
        TagTestRig rig(peer.portPath());
        peer.answer(answer);
        QByteArray result;
        rig.tags().HaltTag(result);
        QCOMPARE(result, QByteArray());
        QCOMPARE(peer.requests(), QList<QByteArray> {HaltRequest});
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(HaltRequest, "(Halt Command)"),
                                                  TagTestRig::rx(answer, "PICC HALTED")}));
        QCOMPARE(rig.main().status(), "PICC IS HALTED"_ba);
        QCOMPARE(rig.link().tagStatusText, "PICC IS HALTED"_ba);
    }

    void seekWithTagPresent()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        QByteArray result;
        rig.tags().SeekTag(result);
        QCOMPARE(result, QByteArray());
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {SeekRequest});
        QCOMPARE(rig.newLines(),
                 (QByteArrayList {TagTestRig::tx(SeekRequest, "(Auto Select Command)"),
                                  TagTestRig::rx(sim.sentFrames().value(0), "TAG TYPE: 02 SERIAL: A1B2C3D4")}));
        QCOMPARE(rig.link().tagStatusText, "TAG TYPE:02 | TAG SERIAL # A1B2C3D4"_ba);
        // Answered at once: nothing waits for a tag any more.
        QCOMPARE(rig.link().linkMode, QByteArray());
    }

    void seekWithTagArrivingLater()
    {
        PtySimulator sim;
        sim.setTagPresent(false);
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        QByteArray result;
        rig.tags().SeekTag(result);
        QCOMPARE(result, "error"_ba);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(SeekRequest, "(Auto Select Command)"),
                                                  TagTestRig::rx(sim.sentFrames().value(0), "SEEKING FOR TAG")}));
        QCOMPARE(rig.main().status(), "SEEKING FOR TAG"_ba);
        QCOMPARE(rig.link().tagStatusText, "SEEKING FOR TAG"_ba);
        QCOMPARE(rig.link().linkMode, "select_continuous"_ba);

        sim.setTagPresent(true);
        QTRY_COMPARE(rig.link().linkMode, QByteArray());
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::rx(sim.sentFrames().value(1),
                                                                 "TAG TYPE: 02 SERIAL: A1B2C3D4")}));
        QCOMPARE(rig.main().status(), "TAG TYPE:02 | TAG SERIAL # A1B2C3D4"_ba);
        QCOMPARE(rig.link().tagStatusText, "TAG TYPE:02 | TAG SERIAL # A1B2C3D4"_ba);
    }

    // While a seek waits, a frame without a whole tag report is logged and the seek
    // goes on; a broken frame logs "error"; the tag report then completes the seek.
    void seekWaitsThroughShortAndBrokenFrames()
    {
        ScriptedPeer peer;
        TagTestRig rig(peer.portPath(), 150);
        rig.chooseCardType(CardType::MifareUL);
        peer.answer(status(0x82, ModuleAnswers::Success));
        QByteArray result;
        rig.tags().SeekTag(result);
        QCOMPARE(result, "error"_ba);
        (void)rig.newLines();

        const QByteArray shortReport = TagTestRig::answer(0x82, "\x01\x11\x22\x33\x44"_ba);
        peer.sendNow(shortReport);
        QTRY_COMPARE(rig.main().logLines().size(), 3);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::rx(shortReport, "SEEKING FOR TAG")}));
        QCOMPARE(rig.link().linkMode, "select_continuous"_ba);

        peer.sendNow(QByteArray::fromHex("FF0002824C00")); // wrong checksum
        QTRY_COMPARE(rig.main().logLines().size(), 5);
        QCOMPARE(rig.newLines(), (QByteArrayList {"Checksum error in Response Array", "error"}));
        QCOMPARE(rig.link().linkMode, "select_continuous"_ba);
        QCOMPARE(rig.main().status(), "SEEKING FOR TAG"_ba);

        const QByteArray report = TagTestRig::answer(0x82, "\x01\x11\x22\x33\x44\x55\x66\x77"_ba);
        peer.sendNow(report);
        QTRY_COMPARE(rig.link().linkMode, QByteArray());
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::rx(report, "TAG TYPE: 01 SERIAL: 77665544332211")}));
        QCOMPARE(rig.main().status(), "TAG TYPE:01 | TAG SERIAL # 77665544332211"_ba);
    }

    // Outside a seek every unasked frame is taken for the version text of a reset.
    void unaskedFrameWhileListening()
    {
        ScriptedPeer peer;
        TagTestRig rig(peer.portPath());
        rig.main().open_cClick();
        QCOMPARE(rig.link().linkMode, "listen"_ba);
        rig.link().tagStatusText = "PICC IS HALTED";
        const QByteArray frame = status(0x93, ModuleAnswers::NoTag);
        peer.sendNow(frame);
        QTRY_COMPARE(rig.main().status(), " Reset OK"_ba);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::rx(frame, "FIRMWARE VERSION")}));
        QCOMPARE(rig.link().tagStatusText, "PICC IS HALTED"_ba);
        QCOMPARE(rig.link().linkMode, "listen"_ba);
    }

    void buttonsRunTheirCommands_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("seekChecked");
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("Select") << u"btn_select"_s << false << SelectRequest;
        QTest::newRow("Select with Seek for tag") << u"btn_select"_s << true << SeekRequest;
        QTest::newRow("Halt") << u"btn_halt"_s << false << HaltRequest;
    }
    void buttonsRunTheirCommands()
    {
        QFETCH(QString, button);
        QFETCH(bool, seekChecked);
        QFETCH(QByteArray, request);
        PtySimulator sim;
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        QVERIFY(!rig.main().port().isOpen());
        rig.main().ui().cb_select->setChecked(seekChecked);
        auto *target = rig.main().findChild<QPushButton *>(button);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {request});
        // The command opened the port through the Open Port action.
        QVERIFY(rig.main().port().isOpen());
        QVERIFY(rig.main().ui().close_c->isVisibleTo(&rig.main()));
        QVERIFY(!rig.main().ui().open_c->isVisibleTo(&rig.main()));
    }
};

QTEST_MAIN(TestSelectHaltSeek)
#include "tst_selecthaltseek.moc"
