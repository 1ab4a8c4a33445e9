// Without pcscd: every way into PC/SC says so and what to do. CTest points this test's
// client library at a socket where no daemon listens.
#include "RecordingLog.h"

#include "pcsc/PcscCardWaiter.h"
#include "pcsc/PcscError.h"
#include "pcsc/PcscReader.h"
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

        // The program's reader: the action stops with that message, once.
        RecordingLog log;
        PcscReader reader(log);
        reader.setReaderName(QStringLiteral("Virtual PCD 00 00"));
        bool thrown = false;
        try {
            (void)reader.select(CardType::Mifare1K);
        } catch (const PcscError &error) {
            thrown = true;
            QCOMPARE(error.failure(), PcscFailure::NoService);
            QCOMPARE(error.boxText(), listed.message);
        }
        QVERIFY(thrown);
        QVERIFY(log.lines.isEmpty());

        PcscCardWaiter waiter;
        QSignalSpy failed(&waiter, &PcscCardWaiter::failed);
        waiter.start(QStringLiteral("Virtual PCD 00 00"));
        QVERIFY(failed.wait(2000));
        QCOMPARE(failed.first().first().value<PcscFailure>(), PcscFailure::NoService);
    }
};

QTEST_GUILESS_MAIN(TestPcscNoDaemon)
#include "tst_pcscnodaemon.moc"
