#include "../view/CardRunRig.h"

#include "windows/ReadBlockButton.h"
#include "windows/CardGridView.h"
#include "commands/PendingReads.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace Frames;

// The Read Block button with and without Auto and "Seek for tag", and the Timer1 tick
// that completes a read once the seek's answer has come.
class TestReadButton : public QObject
{
    Q_OBJECT

    // The program on the simulator (CardRunRig) with the Read Block button's pauses
    // recorded instead of waited.
    struct Fixture : CardRunRig {
        // Frames the module had received at each pause.
        QList<qsizetype> pausesAfter;

        bool start(bool autoOn, bool seekOn, int block)
        {
            if (!CardRunRig::start(CardType::Mifare1K))
                return false;
            main().ui().cb_auto->setChecked(autoOn);
            main().ui().cb_select->setChecked(seekOn);
            main().ui().cmb_blk->setCurrentIndex(block);
            main().readBlockButton().setPause([this](int ms) {
                QCOMPARE(ms, 500);
                pausesAfter << sim.receivedFrames().size();
            });
            return true;
        }
        void click() { QTest::mouseClick(main().ui().BitBtn1, Qt::LeftButton); }
    };

private Q_SLOTS:
    // With Auto: halt, pause, select, pause, authenticate, pause, read. Without Auto
    // only the read goes out. That the first "error" ends the sequence is tested in
    // tst_cardruns.
    void sequence_data()
    {
        QTest::addColumn<bool>("autoOn");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QList<qsizetype>>("pauses");
        QTest::newRow("Auto") << true << QList<QByteArray> {Halt, Select, auth(6), read(6)}
                              << QList<qsizetype> {1, 2, 3};
        QTest::newRow("no Auto, Seek for tag ignored") << false << QList<QByteArray> {read(6)} << QList<qsizetype> {};
    }
    void sequence()
    {
        QFETCH(bool, autoOn);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(QList<qsizetype>, pauses);
        Fixture f;
        QVERIFY(f.start(autoOn, !autoOn, 6));
        setClassicBlock(f.sim, 6, pattern(6));
        if (!autoOn) {
            QVERIFY(f.rig->prepare(6));
            f.sim.clearTraffic();
        }
        f.click();
        QCOMPARE(f.sim.receivedFrames(), frames);
        QCOMPARE(f.pausesAfter, pauses);
        QCOMPARE(f.rig->rowText(CardType::Mifare1K, 8), pattern(6).toHex().toUpper());
        QVERIFY(!f.rig->main().timer().isActive());
    }

    // The pauses really block: three of them, 1.5 s in all.
    void autoSequenceWaits()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        rig.main().ui().cb_auto->setChecked(true);
        rig.main().ui().cb_select->setChecked(false);
        QElapsedTimer clock;
        clock.start();
        rig.main().readBlockButton().BitBtn1Click();
        QVERIFY(clock.elapsed() >= 1500);
        QCOMPARE(sim.receivedFrames().size(), 4);
    }

    // Halt, seek, timer on; once the tag arrives the timer authenticates and reads.
    // That ticks before the tag do nothing is tst_cardruns' seekThenTimerReads.
    void seekModeCompletedByTimer()
    {
        Fixture f;
        f.sim.setTagPresent(false);
        QVERIFY(f.start(true, true, 9));
        setClassicBlock(f.sim, 9, pattern(9));
        f.click();
        QCOMPARE(f.sim.receivedFrames(), (QList<QByteArray> {Halt, Seek}));
        QVERIFY(f.pausesAfter.isEmpty());
        QCOMPARE(f.rig->main().pendingReads().pendingBlock(), 9);
        QVERIFY(f.rig->main().timer().isActive());
        QCOMPARE(f.rig->main().timer().interval(), 50);

        (void)f.rig->newLines();
        f.sim.setTagPresent(true);
        QTRY_COMPARE(f.sim.receivedFrames().size(), 4);
        QTRY_VERIFY(!f.rig->main().timer().isActive());
        QCOMPARE(f.sim.receivedFrames().mid(2), (QList<QByteArray> {auth(9), read(9)}));
        QTRY_COMPARE(f.rig->rowText(CardType::Mifare1K, 11), pattern(9).toHex().toUpper());
        const QByteArrayList lines = f.rig->newLines();
        QCOMPARE(lines.size(), 5); // tag report, authentication, read
        QCOMPARE(lines.value(0), TagTestRig::rx(f.sim.sentFrames().value(2), "TAG TYPE: 02 SERIAL: A1B2C3D4"));
        QCOMPARE(lines.value(4), TagTestRig::rx(f.sim.sentFrames().value(4), "READ OK"));
    }

    // The tick for an Ultralight page reads without authenticating and shows the
    // strip on the grid named by PendingGrid, at its current row. A failed step ends
    // the tick with no strip of stale data. Either way the strip request is used up.
    void tickReadsOrStops_data()
    {
        QTest::addColumn<bool>("ultralight");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("flag");
        QTest::newRow("Ultralight page") << true << read(4) << "ok"_ba;
        QTest::newRow("1K, authentication fails") << false << auth(4) << QByteArray();
    }
    void tickReadsOrStops()
    {
        QFETCH(bool, ultralight);
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, flag);
        const CardType type = ultralight ? CardType::MifareUL : CardType::Mifare1K;
        CardRunRig r;
        QVERIFY(r.start(type));
        PtySimulator &sim = r.sim;
        BlockTestRig &rig = *r.rig;
        rig.main().ui().cb_getdata->setChecked(false);
        QVERIFY(rig.prepare(0, false));
        sim.setTagPresent(ultralight);
        sim.clearTraffic();
        rig.main().grids().view(type).selectCell({1, 6});
        rig.link().linkMode.clear(); // as after the seek's answer
        PendingReads &pending = rig.main().pendingReads();
        pending.setPendingBlock(4);
        pending.setPendingGrid(ultralight ? "U" : "1");
        pending.waitForTag();

        QTRY_VERIFY(!rig.main().timer().isActive());
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {frame});
        const ReadStrip &strip = rig.main().grids().readStrip();
        QCOMPARE(strip.lastReadFlag(), flag);
        if (ultralight)
            QCOMPARE(strip.lastReadRow(), 6);
        QCOMPARE(pending.pendingGrid(), QByteArray());
    }
};

QTEST_MAIN(TestReadButton)
#include "tst_readbutton.moc"
