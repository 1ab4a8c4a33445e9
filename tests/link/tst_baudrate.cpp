#include "ProgramRig.h"
#include "ScriptedPeer.h"

#include "PtySimulator.h"

#include "windows/BaudRateWindow.h"
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

    // The program pointed at portPath at 19200, the module's speed, with the window
    // shown from the menu (it takes the main window's port and speed).
    static BaudRateWindow &showWindow(ProgramRig &rig, const QString &portPath)
    {
        rig.start();
        MainWindowUi &ui = rig.main().ui();
        ui.cmb_port->addItem(portPath);
        ui.cmb_port->setCurrentIndex(ui.cmb_port->count() - 1);
        ui.cmb_baud->setCurrentIndex(1);
        rig.main().link().tagStatusText = "tag";
        ui.changeBaudRate->trigger();
        rig.windows->baudRate().FormActivate();
        return rig.windows->baudRate();
    }
    static void changeTo(BaudRateWindow &window, int newIndex)
    {
        window.cmb_newbaud->setCurrentIndex(newIndex);
        window.BitBtn1->click();
    }
    static bool closePortShown(ProgramRig &rig) { return rig.main().ui().close_c->isVisibleTo(&rig.main()); }

private Q_SLOTS:
    void changeFrom19200To115200()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        ProgramRig rig;
        BaudRateWindow &window = showWindow(rig, sim.portPath());
        QVERIFY(window.isVisible() && !window.isModal());
        QCOMPARE(window.cmb_port->currentText(), sim.portPath());
        QCOMPARE(window.cmb_baud->currentIndex(), 1);
        // The new speed starts at the current one.
        QCOMPARE(window.cmb_newbaud->currentText(), QStringLiteral("19200bps"));
        changeTo(window, 4);

        // Understood by the module at 19200: it only reads frames at its own speed.
        QCOMPARE(sim.receivedFrames(), QList<QByteArray>{QByteArray::fromHex("FF000294049A")});
        QCOMPARE(sim.moduleSpeed(), 115200);
        QCOMPARE(sim.lineSpeed(), 115200);
        QCOMPARE(rig.main().logLines(), (QByteArrayList{"TX > FF 00 02 94 04 9A \t\t\t\t\t\t\t\t\t",
                                                        "RX <FF 00 02 94 4C E2 \t\t\t\t\t\tL\t\t\tBAUD RATE CHANGED"}));
        QCOMPARE(rig.main().status(), QByteArray("tag | Baud rate is changed"));
        QVERIFY(rig.main().port().isOpen());
        QCOMPARE(rig.main().port().baudIndex(), 4);
        QCOMPARE(rig.main().ui().cmb_baud->currentIndex(), 4);
        QCOMPARE(window.cmb_baud->currentIndex(), 4);
        QVERIFY(closePortShown(rig));
        // Asked once before the module is changed for good.
        QCOMPARE(rig.dialogs.shown.size(), 1);
        QCOMPARE(rig.dialogs.shown.first().text, QStringLiteral("The module will be changed for good to 115200bps "
                                                                "and will no longer answer at 19200bps.\nDo you "
                                                                "want to continue?"));
        // A restart comes up at the new speed.
        rig.windows.reset();
        rig.start();
        QCOMPARE(rig.main().ui().cmb_baud->currentIndex(), 4);
    }

    // With the port closed the request goes out at this window's current rate, whatever
    // the main window shows. A silent module still leaves the port at the new speed.
    void closedPortAndSilentModule()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        ProgramRig rig;
        BaudRateWindow &window = showWindow(rig, sim.portPath());
        rig.main().ui().cmb_baud->setCurrentIndex(0);
        QVERIFY(!rig.main().port().isOpen());
        changeTo(window, 2);
        QCOMPARE(sim.receivedFrames(), QList<QByteArray>{QByteArray::fromHex("FF0002940298")});
        QCOMPARE(sim.moduleSpeed(), 38400);
        QVERIFY(rig.main().logLines().value(1).endsWith("BAUD RATE CHANGED"));

        sim.injectFault(SimFault::NoAnswer);
        changeTo(window, 3);
        QCOMPARE(rig.main().logLines().mid(2).value(1), QByteArray("***Timeout.No Response***"));
        QCOMPARE(rig.main().logLines().size(), 4);
        QVERIFY(rig.main().port().isOpen());
        QCOMPARE(sim.lineSpeed(), 57600);
        QCOMPARE(rig.settings.readIndex("Baud", 1), 3);
        QVERIFY(closePortShown(rig));
    }

    void answerOtherThanLIsAFailure()
    {
        ScriptedPeer peer;
        peer.answer(QByteArray::fromHex("FF00029446DC"), 100);
        ProgramRig rig;
        changeTo(showWindow(rig, peer.portPath()), 0);
        QCOMPARE(peer.requests().value(0), QByteArray::fromHex("FF0002940096"));
        QCOMPARE(rig.main().logLines().value(1),
                 QByteArray("RX <FF 00 02 94 46 DC \t\t\t\t\t\tF\t\t\tBAUD RATE CHANGE FAILED"));
        QCOMPARE(rig.main().status(), QByteArray("tag | Baud rate is not changed!"));
        // The new speed stays, whatever the answer.
        QCOMPARE(rig.main().port().baudIndex(), 0);
        QCOMPARE(rig.settings.readIndex("Baud", 1), 0);
    }
};

QTEST_MAIN(TestBaudRate)
#include "tst_baudrate.moc"
