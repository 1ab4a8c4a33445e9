#include "BlockTestRig.h"
#include "ScriptedPeer.h"

#include "link/ModuleAnswers.h"
#include "tag/ReadBlockButton.h"
#include "view/CardGridView.h"
#include "view/PendingReads.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Halt = QByteArray::fromHex("FF00019394");
const QByteArray Select = QByteArray::fromHex("FF00018384");
const QByteArray Seek = QByteArray::fromHex("FF00018283");

QByteArray authDefault(int block)
{
    return TagTestRig::answer(0x85, QByteArray(1, char(block)) + '\xFF');
}
QByteArray read(int block)
{
    return TagTestRig::answer(0x86, QByteArray(1, char(block)));
}

} // namespace

// The Read Block button with and without Auto and "Seek for tag", and the Timer1 tick
// that completes a read once the seek's answer has come.
class TestReadButton : public QObject
{
    Q_OBJECT

    struct Fixture {
        PtySimulator sim;
        std::unique_ptr<BlockTestRig> rig;
        // Frames the module had received at each pause.
        QList<qsizetype> pausesAfter;

        bool start(bool autoOn, bool seekOn, int block)
        {
            if (!sim.start())
                return false;
            rig = std::make_unique<BlockTestRig>(sim.portPath());
            MainWindowUi &ui = rig->main().ui();
            ui.cb_auto->setChecked(autoOn);
            ui.cb_select->setChecked(seekOn);
            ui.cmb_blk->setCurrentIndex(block);
            rig->main().readBlockButton().setPause([this](int ms) {
                QCOMPARE(ms, 500);
                pausesAfter << sim.receivedFrames().size();
            });
            return true;
        }
        void click() { QTest::mouseClick(rig->main().ui().BitBtn1, Qt::LeftButton); }
    };

private Q_SLOTS:
    void withoutAutoOnlyReads()
    {
        Fixture f;
        QVERIFY(f.start(false, true, 6));
        QVERIFY(f.rig->prepare(6));
        f.sim.clearTraffic();
        f.click();
        QCOMPARE(f.sim.receivedFrames(), QList<QByteArray> {read(6)});
        QVERIFY(f.pausesAfter.isEmpty());
        QVERIFY(!f.rig->main().timer().isActive());
        QCOMPARE(f.rig->newLines().value(1), TagTestRig::rx(f.sim.sentFrames().value(0), "READ OK"));
    }

    // Halt, pause, select, pause, authenticate, pause, read; the first "error" ends it.
    void autoSequence_data()
    {
        QTest::addColumn<bool>("tagPresent");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QList<qsizetype>>("pauses");
        QTest::newRow("tag present") << true << QList<QByteArray> {Halt, Select, authDefault(6), read(6)}
                                     << QList<qsizetype> {1, 2, 3};
        QTest::newRow("no tag: select fails") << false << QList<QByteArray> {Halt, Select} << QList<qsizetype> {1};
    }
    void autoSequence()
    {
        QFETCH(bool, tagPresent);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(QList<qsizetype>, pauses);
        Fixture f;
        f.sim.setTagPresent(tagPresent);
        QVERIFY(f.start(true, false, 6));
        f.rig->fillRow(CardType::Mifare1K, 8, "AA");
        setClassicBlock(f.sim, 6, pattern(6));
        f.click();
        QCOMPARE(f.sim.receivedFrames(), frames);
        QCOMPARE(f.pausesAfter, pauses);
        QCOMPARE(f.rig->rowText(CardType::Mifare1K, 8),
                 tagPresent ? pattern(6).toHex().toUpper() : "AA"_ba.repeated(16));
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

        // Ticks while the seek waits do nothing.
        QTest::qWait(200);
        QCOMPARE(f.sim.receivedFrames().size(), 2);
        QVERIFY(f.rig->main().timer().isActive());

        (void)f.rig->newLines();
        f.sim.setTagPresent(true);
        QTRY_COMPARE(f.sim.receivedFrames().size(), 4);
        QTRY_VERIFY(!f.rig->main().timer().isActive());
        QCOMPARE(f.sim.receivedFrames().mid(2), (QList<QByteArray> {authDefault(9), read(9)}));
        QTRY_COMPARE(f.rig->rowText(CardType::Mifare1K, 11), pattern(9).toHex().toUpper());
        const QByteArrayList lines = f.rig->newLines();
        QCOMPARE(lines.size(), 5); // tag report, authentication, read
        QCOMPARE(lines.value(0), TagTestRig::rx(f.sim.sentFrames().value(2), "TAG TYPE: 02 SERIAL: A1B2C3D4"));
        QCOMPARE(lines.value(4), TagTestRig::rx(f.sim.sentFrames().value(4), "READ OK"));
        QCOMPARE(f.rig->main().status(), "TAG TYPE:02 | TAG SERIAL # A1B2C3D4 | Block No:9 | READ OK! "
                                             + Frame::dataText(f.sim.sentFrames().value(4)));
    }

    // The tick for an Ultralight page reads without authenticating and shows the
    // strip on the grid named by PendingGrid, at its current row; the request is
    // used up.
    void tickReadsUltralightAndShowsStrip()
    {
        PtySimulator sim(VirtualCard::create(CardKind::Ultralight));
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        rig.chooseCardType(CardType::MifareUL);
        rig.main().ui().cb_getdata->setChecked(false);
        QVERIFY(rig.prepare(0, false));
        sim.clearTraffic();
        rig.main().grids().view(CardType::MifareUL).selectCell({1, 6});
        rig.link().linkMode.clear(); // as after the seek's answer
        PendingReads &pending = rig.main().pendingReads();
        pending.setPendingBlock(4);
        pending.setPendingGrid("U");
        pending.waitForTag();

        QTRY_VERIFY(!rig.main().timer().isActive());
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {read(4)});
        const ReadStrip &strip = rig.main().grids().readStrip();
        QCOMPARE(strip.lastReadFlag(), "ok"_ba);
        QCOMPARE(strip.lastReadRow(), 6);
        QCOMPARE(pending.pendingGrid(), QByteArray());
    }

    // A failed step ends the tick: no strip of stale data, and the strip request
    // does not outlive it.
    void failedAuthenticationEndsTick()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        QVERIFY(rig.prepare(0, false));
        sim.setTagPresent(false);
        sim.clearTraffic();
        rig.link().linkMode.clear();
        PendingReads &pending = rig.main().pendingReads();
        pending.setPendingBlock(4);
        pending.setPendingGrid("1");
        pending.waitForTag();
        QTRY_VERIFY(!rig.main().timer().isActive());
        QCOMPARE(sim.receivedFrames(), QList<QByteArray> {authDefault(4)});
        QCOMPARE(rig.main().grids().readStrip().lastReadFlag(), QByteArray());
        QCOMPARE(pending.pendingGrid(), QByteArray());
    }

    // Steps 4 to 6 go to the read-all run with the kind, emptied first.
    void tickHandsReadAllOn_data()
    {
        QTest::addColumn<bool>("runSucceeds");
        QTest::newRow("run completes") << true;
        QTest::newRow("run stops on error") << false;
    }
    void tickHandsReadAllOn()
    {
        QFETCH(bool, runSucceeds);
        ScriptedPeer peer;
        BlockTestRig rig(peer.portPath());
        PendingReads &pending = rig.main().pendingReads();
        QByteArrayList runs;
        pending.setReadAllRun([&](const QByteArray &kind) {
            runs << kind + "/" + pending.pendingReadAll();
            return runSucceeds;
        });
        rig.main().grids().view(CardType::Mifare4K).selectCell({2, 40});
        pending.setPendingReadAll("4");
        pending.setPendingGrid("4");
        pending.waitForTag();
        QTRY_VERIFY(!rig.main().timer().isActive());
        QCOMPARE(runs, QByteArrayList {"4/"});
        QVERIFY(peer.requests().isEmpty());
        QCOMPARE(rig.main().grids().readStrip().lastReadFlag(), runSucceeds ? "ok"_ba : QByteArray());
        if (runSucceeds)
            QCOMPARE(rig.main().grids().readStrip().lastReadRow(), 40);
    }

    void controlsWriteSettings()
    {
        PtySimulator sim;
        QVERIFY(sim.start());
        BlockTestRig rig(sim.portPath());
        rig.chooseCardType(CardType::Mifare4K);
        MainWindowUi &ui = rig.main().ui();
        ui.cmb_blk->setCurrentIndex(200);
        emit ui.cmb_blk->activated(200);
        QCOMPARE(rig.main().settings().readIndex("Read_Block_No4K", -1), 200);
        ui.cb_getdata->click();
        QCOMPARE(rig.main().settings().readFirst("Get_Grid_Data4K", "x"), "FALSE"_ba);
        ui.cb_getdata->click();
        QCOMPARE(rig.main().settings().readFirst("Get_Grid_Data4K", "x"), "TRUE"_ba);
    }
};

QTEST_MAIN(TestReadButton)
#include "tst_readbutton.moc"
