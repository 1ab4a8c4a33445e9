#include "ProgramRig.h"
#include "ScriptedPeer.h"

#include "PtySimulator.h"

#include "link/BaudRateWindow.h"
#include "link/Frame.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

// The baud-rate change against the module simulator, whose module really switches
// speed and answers "L" about 500 ms later at the new speed.
class TestBaudRate : public QObject
{
    Q_OBJECT

    struct Bench {
        PtySimulator sim;
        ProgramRig rig;

        bool start()
        {
            QString error;
            if (!sim.start(&error)) {
                qWarning() << error;
                return false;
            }
            rig.start();
            pointProgramAtSimulator();
            return true;
        }
        void pointProgramAtSimulator()
        {
            MainWindowUi &ui = rig.main().ui();
            ui.cmb_port->addItem(sim.portPath());
            ui.cmb_port->setCurrentIndex(ui.cmb_port->count() - 1);
            ui.cmb_baud->setCurrentIndex(1); // 19200, the module's speed
        }
        BaudRateWindow &window() { return rig.windows->baudRate(); }
        // Shows the window from the menu; it takes the main window's port and speed.
        void showWindow()
        {
            rig.main().ui().changeBaudRate->trigger();
            window().FormActivate();
        }
        void changeTo(int newIndex)
        {
            window().cmb_newbaud->setCurrentIndex(newIndex);
            window().BitBtn1->click();
        }
        bool closePortShown() { return rig.main().ui().close_c->isVisibleTo(&rig.main()); }
    };

private Q_SLOTS:
    void changeFrom19200To115200()
    {
        Bench bench;
        QVERIFY(bench.start());
        bench.rig.main().link().tagStatusText = "tag";
        QCOMPARE(bench.window().cmb_newbaud->currentText(), QStringLiteral("9600bps"));
        bench.showWindow();
        QVERIFY(bench.window().isVisible() && !bench.window().isModal());
        QCOMPARE(bench.window().cmb_port->currentText(), bench.sim.portPath());
        QCOMPARE(bench.window().cmb_baud->currentIndex(), 1);
        bench.changeTo(4);

        // Understood by the module at 19200: it only reads frames at its own speed.
        QCOMPARE(bench.sim.receivedFrames(), QList<QByteArray>{QByteArray::fromHex("FF000294049A")});
        QCOMPARE(bench.sim.moduleSpeed(), 115200);
        QCOMPARE(bench.sim.lineSpeed(), 115200);
        const QByteArrayList lines = bench.rig.main().logLines();
        QCOMPARE(lines, (QByteArrayList{"TX > FF 00 02 94 04 9A \t\t\t\t\t\t\t\t\t",
                                        "RX <FF 00 02 94 4C E2 \t\t\t\t\t\tL\t\t\tBAUD RATE CHANGED"}));
        QCOMPARE(bench.rig.main().status(), QByteArray("tag | Baud rate is changed"));
        QVERIFY(bench.rig.main().port().isOpen());
        QCOMPARE(bench.rig.main().port().baudIndex(), 4);
        QCOMPARE(bench.rig.main().ui().cmb_baud->currentIndex(), 4);
        QCOMPARE(bench.window().cmb_baud->currentIndex(), 4);
        QCOMPARE(bench.rig.settings.readIndex("Baud", 1), 4);
        QVERIFY(bench.closePortShown());
        QVERIFY(bench.rig.dialogs.shown.isEmpty());

        // A restart comes up at the new speed and talks to the module.
        bench.rig.windows.reset();
        bench.rig.start();
        QCOMPARE(bench.rig.main().ui().cmb_baud->currentIndex(), 4);
        MainWindowUi &ui = bench.rig.main().ui();
        ui.cmb_port->addItem(bench.sim.portPath());
        ui.cmb_port->setCurrentIndex(ui.cmb_port->count() - 1);
        const ModuleResponse version =
            bench.rig.main().link().transact(Frame::request(0x81), {}, "(Read Firmware Version)");
        QVERIFY(version.ok);
        QCOMPARE(bench.sim.lineSpeed(), 115200);
    }

    // With the port closed the request goes out at this window's current rate, whatever
    // the main window shows.
    void closedPortSendsAtThisWindowsCurrentRate()
    {
        Bench bench;
        QVERIFY(bench.start());
        bench.showWindow();
        bench.rig.main().ui().cmb_baud->setCurrentIndex(0);
        QVERIFY(!bench.rig.main().port().isOpen());
        bench.changeTo(2);

        QCOMPARE(bench.sim.receivedFrames(), QList<QByteArray>{QByteArray::fromHex("FF0002940298")});
        QCOMPARE(bench.sim.moduleSpeed(), 38400);
        QVERIFY(bench.rig.main().logLines().value(1).endsWith("BAUD RATE CHANGED"));
        QCOMPARE(bench.rig.main().port().baudIndex(), 2);
    }

    void silentModuleLeavesThePortAtTheNewSpeed()
    {
        Bench bench;
        QVERIFY(bench.start());
        bench.sim.injectFault(SimFault::NoAnswer);
        bench.showWindow();
        bench.changeTo(3);

        QCOMPARE(bench.rig.main().logLines().value(1), QByteArray("***Timeout.No Response***"));
        QCOMPARE(bench.rig.main().logLines().size(), 2);
        QVERIFY(bench.rig.main().port().isOpen());
        QCOMPARE(bench.sim.lineSpeed(), 57600);
        QCOMPARE(bench.rig.settings.readIndex("Baud", 1), 3);
        QVERIFY(bench.closePortShown());
    }

    void answerOtherThanLIsAFailure()
    {
        ScriptedPeer peer;
        peer.answer(QByteArray::fromHex("FF00029446DC"), 100);
        ProgramRig rig;
        rig.start();
        MainWindowUi &ui = rig.main().ui();
        ui.cmb_port->addItem(peer.portPath());
        ui.cmb_port->setCurrentIndex(ui.cmb_port->count() - 1);
        rig.main().link().tagStatusText = "tag";
        BaudRateWindow &window = rig.windows->baudRate();
        window.FormActivate();
        window.cmb_newbaud->setCurrentIndex(0);
        window.BitBtn1->click();

        QCOMPARE(peer.requests().value(0), QByteArray::fromHex("FF0002940096"));
        QCOMPARE(rig.main().logLines().value(1),
                 QByteArray("RX <FF 00 02 94 46 DC \t\t\t\t\t\tF\t\t\tBAUD RATE CHANGE FAILED"));
        QCOMPARE(rig.main().status(), QByteArray("tag | Baud rate is not changed!"));
        // The new speed stays, whatever the answer.
        QCOMPARE(rig.main().port().baudIndex(), 0);
        QCOMPARE(rig.settings.readIndex("Baud", 1), 0);
    }

    void currentRateChangeClosesThePortButKeepsTheButtons()
    {
        Bench bench;
        QVERIFY(bench.start());
        bench.rig.main().ui().open_c->click();
        QVERIFY(bench.rig.main().port().isOpen());
        bench.showWindow();
        bench.window().cmb_baud->setCurrentIndex(3);
        Q_EMIT bench.window().cmb_baud->activated(3);
        QVERIFY(!bench.rig.main().port().isOpen());
        QVERIFY(bench.closePortShown());
    }
};

QTEST_MAIN(TestBaudRate)
#include "tst_baudrate.moc"
