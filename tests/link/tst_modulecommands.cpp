#include "../tag/TagTestRig.h"
#include "ScriptedPeer.h"

#include "PtySimulator.h"
#include "VirtualModule.h"

#include "link/ModuleCommands.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The Hardware Commands menu end to end: frames, log lines, status texts, and the
// late reset answer that the receive handler takes up.
class TestModuleCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void simulatedCommands_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QByteArray>("interpretation");
        QTest::addColumn<QByteArray>("status");
        const QByteArray version = VirtualModule::versionText();
        QTest::newRow("reset") << u"ResetModule1"_s << "FF00018081"_ba << "(Reset Command)"_ba
                               << "RESET OK , FIRMWARE VERSION"_ba << " Reset OK"_ba;
        QTest::newRow("version") << u"ReadFirmwareVersion1"_s << "FF00018182"_ba << "(Read Firmware Version)"_ba
                                 << "FIRMWARE VERSION"_ba << "FIRMWARE:" + version;
        QTest::newRow("RF on") << u"AntennaPower1"_s << "FF0002900193"_ba << "(Switch on RF field)"_ba
                               << "RF FIELD SWITCHED ON"_ba << "PICC IS HALTED | RF Field is switched ON"_ba;
        QTest::newRow("RF off") << u"SwitchOFFRFfield1"_s << "FF0002900092"_ba << "(Switch off RF field)"_ba
                                << "RF FIELD SWITCHED OFF"_ba << "PICC IS HALTED | RF Field is switched OFF"_ba;
        QTest::newRow("read port") << u"ReadPort1"_s << "FF00019192"_ba << "(Read Input pins)"_ba
                                   << "INPUT2:HIGH , INPUT1:LOW"_ba << "INPUT2:HIGH , INPUT1:LOW"_ba;
        QTest::newRow("write port 00") << u"Outpu1ON1"_s << "FF0002920094"_ba << "(Write Output pins)"_ba
                                       << "OUTPUT2:LOW , OUTPUT1:LOW"_ba << "OUTPUT2:LOW , OUTPUT1:LOW"_ba;
        QTest::newRow("write port 01") << u"Output1OFF1"_s << "FF0002920195"_ba << "(Write Output pins)"_ba
                                       << "OUTPUT2:LOW , OUTPUT1:HIGH"_ba << "OUTPUT2:LOW , OUTPUT1:HIGH"_ba;
        QTest::newRow("write port 10") << u"N7"_s << "FF0002920296"_ba << "(Write Output pins)"_ba
                                       << "OUTPUT2:HIGH , OUTPUT1:LOW"_ba << "OUTPUT2:HIGH , OUTPUT1:LOW"_ba;
        QTest::newRow("write port 11") << u"OUTPUT2ON1"_s << "FF0002920397"_ba << "(Write Output pins)"_ba
                                       << "OUTPUT2:HIGH , OUTPUT1:HIGH"_ba << "OUTPUT2:HIGH , OUTPUT1:HIGH"_ba;
        // Sleep leaves the status bar alone.
        QTest::newRow("sleep") << u"Sleep1"_s << "FF00019697"_ba << "(Sleep Command)"_ba << "SLEEP OK"_ba
                               << "before"_ba;
    }
    void simulatedCommands()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, label);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, status);
        PtySimulator sim;
        sim.setInputPins(2);
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath());
        rig.link().tagStatusText = "PICC IS HALTED";
        rig.main().setStatus("before");

        auto *item = rig.main().findChild<QAction *>(action);
        QVERIFY(item);
        QVERIFY(item->isEnabled());
        item->trigger();

        const QByteArray frame = QByteArray::fromHex(request);
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {frame});
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(frame, label),
                                                  TagTestRig::rx(sim.sentFrames().value(0), interpretation)}));
        QCOMPARE(rig.main().status(), status);
        QCOMPARE(rig.link().tagStatusText, "PICC IS HALTED"_ba);
        // The port was closed: the command opened it as the Open Port button does.
        QVERIFY(rig.main().port().isOpen());
        QVERIFY(rig.main().ui().close_c->isVisibleTo(&rig.main()));
        QVERIFY(rig.program.dialogs.shown.isEmpty());
    }

    // Answers the simulator does not give: wrong RF states, pin values out of range,
    // and outputs reported as the module has them rather than as sent.
    void unusualAnswers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("interpretation"); // empty: no response line
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("RF on answered 00") << u"AntennaPower1"_s << "FF0002900092"_ba << "SWITCH ON ERROR"_ba
                                           << "TAG | RF Field could not be switched ON"_ba;
        QTest::newRow("RF on answered 01 01") << u"AntennaPower1"_s << "FF000390010195"_ba << "SWITCH ON ERROR"_ba
                                              << "TAG | RF Field could not be switched ON"_ba;
        QTest::newRow("RF off answered 01") << u"SwitchOFFRFfield1"_s << "FF0002900193"_ba << "SWITCH OFF ERROR"_ba
                                            << "TAG | RF Field could not be switched OFF"_ba;
        QTest::newRow("RF off with no status byte") << u"SwitchOFFRFfield1"_s << "FF00019091"_ba
                                                    << "RF FIELD SWITCHED OFF"_ba << "TAG | RF Field is switched OFF"_ba;
        QTest::newRow("read port 3") << u"ReadPort1"_s << "FF0002910396"_ba << "INPUT2:HIGH , INPUT1:HIGH"_ba
                                     << "INPUT2:HIGH , INPUT1:HIGH"_ba;
        QTest::newRow("read port 4") << u"ReadPort1"_s << "FF0002910497"_ba << QByteArray() << "before"_ba;
        QTest::newRow("read port L") << u"ReadPort1"_s << "FF0002914CDF"_ba << QByteArray() << "before"_ba;
        QTest::newRow("write port answered 3") << u"Outpu1ON1"_s << "FF0002920397"_ba
                                               << "OUTPUT2:HIGH , OUTPUT1:HIGH"_ba << "OUTPUT2:HIGH , OUTPUT1:HIGH"_ba;
        QTest::newRow("write port answered 4") << u"OUTPUT2ON1"_s << "FF0002920498"_ba << QByteArray() << "before"_ba;
    }
    void unusualAnswers()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, interpretation);
        QFETCH(QByteArray, status);
        ScriptedPeer peer;
        TagTestRig rig(peer.portPath());
        rig.link().tagStatusText = "TAG";
        rig.main().setStatus("before");
        const QByteArray frame = QByteArray::fromHex(answer);
        peer.answer(frame);
        rig.main().findChild<QAction *>(action)->trigger();
        const QByteArrayList lines = rig.newLines();
        QCOMPARE(lines.size(), interpretation.isEmpty() ? 1 : 2);
        QVERIFY(lines.at(0).startsWith("TX > "));
        if (!interpretation.isEmpty())
            QCOMPARE(lines.at(1), TagTestRig::rx(frame, interpretation));
        QCOMPARE(rig.main().status(), status);
    }

    // The reset answer comes after the command has stopped waiting; the receive
    // handler logs it as the version text.
    void lateResetAnswer()
    {
        PtySimulator sim;
        sim.setResetLate(true);
        sim.setLateDelayMs(500);
        QVERIFY(sim.start());
        TagTestRig rig(sim.portPath(), 200);
        rig.link().tagStatusText = "PICC IS HALTED";
        rig.main().setStatus("before");

        rig.main().moduleCommands().ResetModule1Click();
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::tx(QByteArray::fromHex("FF00018081"), "(Reset Command)"),
                                                  "***Timeout.No Response***"}));
        QCOMPARE(rig.main().status(), "***Timeout.No Response*** Check the Com Port, the baud rate and the module's power."_ba);

        QTRY_COMPARE(rig.main().status(), " Reset OK"_ba);
        QCOMPARE(rig.newLines(), (QByteArrayList {TagTestRig::rx(sim.sentFrames().value(0), "FIRMWARE VERSION")}));
        QCOMPARE(rig.link().tagStatusText, "PICC IS HALTED"_ba);
        QCOMPARE(rig.link().linkMode, "listen"_ba);
    }

    void portErrorShowsTheErrorBox()
    {
        TagTestRig rig(u"/dev/merlox-no-such-port"_s);
        rig.main().ui().sleep->trigger();
        QCOMPARE(rig.program.dialogs.shown.size(), 1);
        QCOMPARE(rig.program.dialogs.shown.at(0).kind, u"error"_s);
        QVERIFY(rig.newLines().isEmpty());
        QVERIFY(rig.main().ui().open_c->isVisibleTo(&rig.main()));
    }
};

QTEST_MAIN(TestModuleCommands)
#include "tst_modulecommands.moc"
