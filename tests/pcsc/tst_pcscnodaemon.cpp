// Without pcscd: every way into PC/SC says so and what to do. CTest points this test's
// client library at a socket where no daemon listens.
#include "pcsc/PcscCardWaiter.h"
#include "pcsc/PcscSession.h"

#include <QSignalSpy>
#include <QTest>

class TestPcscNoDaemon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(qEnvironmentVariableIsSet("PCSCLITE_CSOCK_NAME")); }

    void everyEntryReportsTheMissingDaemon()
    {
        QStringList readers{QStringLiteral("stale")};
        const PcscResult listed = PcscSession::listReaders(&readers);
        QCOMPARE(listed.failure, PcscFailure::NoService);
        QVERIFY(listed.message.contains(QLatin1String("pcscd is not running")));
        QVERIFY(readers.isEmpty());

        PcscSession session(QStringLiteral("Virtual PCD 00 00"));
        const PcscResult selected = session.select();
        QCOMPARE(selected.failure, PcscFailure::NoService);
        QCOMPARE(selected.message, listed.message);
        QCOMPARE(session.read(4).failure, PcscFailure::NotSelected);

        PcscCardWaiter waiter;
        QSignalSpy failed(&waiter, &PcscCardWaiter::failed);
        waiter.start(QStringLiteral("Virtual PCD 00 00"));
        QVERIFY(failed.wait(2000));
        QCOMPARE(failed.first().first().value<PcscFailure>(), PcscFailure::NoService);
    }
};

QTEST_GUILESS_MAIN(TestPcscNoDaemon)
#include "tst_pcscnodaemon.moc"
