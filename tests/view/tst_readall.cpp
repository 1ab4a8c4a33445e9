#include "CardRunRig.h"

#include "commands/PendingReads.h"
#include "windows/QtRunProgress.h"

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Halt and select, then each block with its sector's authentication first.
QList<QByteArray> classicReadAll(int blocks, bool select = true)
{
    QList<QByteArray> frames {Frames::Halt};
    if (select)
        frames << Frames::Select;
    for (int block = 0; block < blocks; ++block) {
        if (block < 128 ? block % 4 == 0 : block % 16 == 0)
            frames << Frames::auth(block);
        frames << Frames::read(block);
    }
    return frames;
}

} // namespace

// "Read All Blocks": the frames of a whole-card read for each card type, the seek
// mode that Timer1 completes, and Cancel.
class TestReadAll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeCard_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::newRow("1K") << CardType::Mifare1K << classicReadAll(64);
        QTest::newRow("4K") << CardType::Mifare4K << classicReadAll(256);
        QTest::newRow("UL") << CardType::MifareUL
                            << QList<QByteArray> {Frames::Halt, Frames::Select, Frames::read(0), Frames::read(4),
                                                  Frames::read(8), Frames::read(12)};
    }
    void wholeCard()
    {
        QFETCH(CardType, type);
        QFETCH(QList<QByteArray>, frames);
        CardRunRig r;
        QVERIFY(r.start(type));
        const bool ul = type == CardType::MifareUL;
        if (ul)
            r.sim.withModule([](VirtualModule &m) { m.ultralightCard()->setPage(9, "\x01\x02\x03\x04"); });
        else
            setClassicBlock(r.sim, 9, pattern(9));
        r.main().ui().readAll->trigger();
        QCOMPARE(r.frames(), frames);
        QCOMPARE(r.rig->rowText(type, 11), ul ? "01020304"_ba : pattern(9).toHex().toUpper());
        QCOMPARE(r.progress->steps.size(), frames.size() - 2 - r.framesOf(Frames::AuthCode).size());
        QCOMPARE(r.progress->ended, 1);
        QVERIFY(!r.windows().cardRun().isActive());
    }

    // With "Seek for tag": halt and seek, nothing until the tag answers; then Timer1
    // reads the whole card without a select.
    void seekModeWaitsForTag()
    {
        CardRunRig r;
        r.sim.setTagPresent(false);
        QVERIFY(r.start(CardType::Mifare1K));
        r.main().ui().cb_select->setChecked(true);
        setClassicBlock(r.sim, 62, pattern(62));
        r.main().ui().readAll->trigger();
        QCOMPARE(r.frames(), (QList<QByteArray> {Frames::Halt, Frames::Seek}));
        QVERIFY(r.main().timer().isActive());
        QTest::qWait(150);
        QCOMPARE(r.frames().size(), 2);

        r.sim.setTagPresent(true);
        QTRY_VERIFY(!r.main().timer().isActive());
        QList<QByteArray> expected = classicReadAll(64, false);
        expected.insert(1, Frames::Seek);
        QTRY_COMPARE(r.frames(), expected);
        QCOMPARE(r.rig->rowText(CardType::Mifare1K, 64), pattern(62).toHex().toUpper());
        QVERIFY(r.main().pendingReads().pendingReadAll().isEmpty());
    }

    // The real dialog: its Cancel button ends the run.
    void dialogCancelButton()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare4K));
        r.sim.setCardTimeMs(3); // long enough for the dialog to show
        auto qtProgress = std::make_unique<QtRunProgress>(&r.main());
        QDialog *dialog = qtProgress->dialog();
        r.windows().cardRun().setProgress(std::move(qtProgress));
        QTimer::singleShot(600, dialog, [dialog] {
            if (auto *button = dialog->findChild<QPushButton *>(u"cancelButton"_s))
                button->click();
        });
        r.main().ui().readAll->trigger();
        QVERIFY(r.framesOf(Frames::ReadCode).size() < 256);
        QVERIFY(r.main().logLines().last().startsWith("Read All cancelled before block "));
        QVERIFY(!dialog->isVisible());
    }
};

QTEST_MAIN(TestReadAll)
#include "tst_readall.moc"
