#include "CardRunRig.h"

#include "windows/QtRunProgress.h"

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QTest>

using namespace Qt::StringLiterals;

// "Read All Blocks" through the simulator: the frames of a whole 1K card and the real
// progress dialog's Cancel. Each card type's order of operations, the runs stopping on
// failures and the seek mode that Timer1 completes are tested over a scripted reader
// (tst_cardruns).
class TestReadAll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Halt and select, then each block with its sector's authentication first.
    void wholeCard()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare1K));
        setClassicBlock(r.sim, 9, pattern(9));
        r.main().ui().readAll->trigger();
        QList<QByteArray> frames {Frames::Halt, Frames::Select};
        for (int block = 0; block < 64; ++block) {
            if (block % 4 == 0)
                frames << Frames::auth(block);
            frames << Frames::read(block);
        }
        QCOMPARE(r.frames(), frames);
        QCOMPARE(r.rig->rowText(CardType::Mifare1K, 11), pattern(9).toHex().toUpper());
        QCOMPARE(r.progress->steps.size(), 64);
        QCOMPARE(r.progress->ended, 1);
        QVERIFY(!r.windows().cardRun().isActive());
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
