#include "../view/CardRunRig.h"

#include "windows/BatchWriteWindow.h"

#include <QTest>
#include <QTimer>

#include <sys/resource.h>

namespace {

double threadCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
         + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

// The grid's image onto three cards in turn through the simulator, waiting for the
// first; the second card is taken away in the middle of its writes: it is reported by
// UID and not counted.
class TestBatchWriteWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void threeCardsSecondRemoved()
    {
        CardRunRig rig;
        QVERIFY(rig.start(CardType::Mifare1K));
        const QList<QByteArray> uids = {QByteArray::fromHex("11223344"), QByteArray::fromHex("55667788"),
                                        QByteArray::fromHex("99AABBCC")};
        auto *window = rig.main().findChild<BatchWriteWindow *>();
        QVERIFY(window);
        // The first wait has no card for a second: the seek is all that is sent, and
        // the waiting costs no CPU.
        int card = 0;
        int framesWaiting = -1;
        double cpuWaiting = -1;
        window->setWaitHook([&](int wait) {
            const auto place = [&, wait] {
                card = wait;
                rig.sim.setCard(VirtualCard::create(CardKind::Classic1K, uids.at(wait - 1)));
                rig.sim.setTagPresent(true);
            };
            if (wait == 1) {
                rig.sim.setTagPresent(false);
                rig.sim.clearTraffic();
                const double cpu0 = threadCpuSeconds();
                QTimer::singleShot(1000, window, [&, place, cpu0] {
                    framesWaiting = int(rig.frames().size());
                    cpuWaiting = threadCpuSeconds() - cpu0;
                    place();
                });
            } else if (wait <= 3) {
                place();
            } else {
                window->stop();
            }
        });
        window->setWriteHook([&](int block) {
            if (card == 2 && block == 8)
                rig.sim.setTagPresent(false);
        });
        QVERIFY(window->start());
        // One confirmation, No by default, after the pre-flight.
        int confirmations = 0;
        for (const ScriptedDialogs::Shown &shown : rig.dialogs().shown)
            confirmations += shown.caption == QStringLiteral("Write to Many Cards") && shown.defaultNo;
        QCOMPARE(confirmations, 1);
        QCOMPARE(framesWaiting, 1);
        QVERIFY2(cpuWaiting < 0.1, qPrintable(QString::number(cpuWaiting)));

        const QByteArray second = uids.at(1).toHex().toUpper();
        QCOMPARE(window->doneCount(), 2);
        QCOMPARE(window->failedUids(), QList<QByteArray>{second});
        QCOMPARE(window->reports().at(0), QStringLiteral("card 1 done: 11223344"));
        QVERIFY(window->reports().at(1).startsWith(QStringLiteral("card 55667788 failed: writing block 8")));
        QCOMPARE(window->reports().at(2), QStringLiteral("card 2 done: 99AABBCC"));
        // The last card holds the image.
        QCOMPARE(rig.sim.cardImage().mid(16, 16).toHex().toUpper(),
                 [&] {
                     QByteArray row;
                     for (int column = 2; column <= 17; ++column)
                         row += rig.grid(CardType::Mifare1K).cell(column, 3);
                     return row;
                 }());
    }
};

QTEST_MAIN(TestBatchWriteWindow)
#include "tst_batchwritewindow.moc"
