// The PC/SC session through pcscd and its virtual reader, with the simulator's card
// connected to the reader's driver in this process.
#include "PcscCardWait.h"
#include "ClassicCard.h"
#include "PcscSimulator.h"
#include "pcsc/PcscCardWaiter.h"
#include "pcsc/PcscSession.h"

#include <QSignalSpy>
#include <QTest>

#include <winscard.h>

namespace {
const QString Reader = QStringLiteral("Virtual PCD 00 00");
const QByteArray DefaultKey = QByteArray(6, char(0x5C));

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}
} // namespace

class TestPcscSession : public QObject
{
    Q_OBJECT

private:
    PcscSimulator m_sim;

    static bool waitForCard(bool present) { return waitForPcscCard(Reader, present); }

    // Takes the card out (as pcscd sees it).
    bool removeCard()
    {
        m_sim.remove();
        return waitForCard(false);
    }

    // Puts a new card of that kind into the reader and waits until pcscd has seen it.
    bool insertCard(CardKind kind)
    {
        if (!removeCard())
            return false;
        m_sim.setCard(VirtualCard::create(kind));
        QString error;
        if (!m_sim.insert(&error, 3000)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        return waitForCard(true);
    }

private slots:
    void initTestCase()
    {
        QStringList readers;
        const PcscResult listed = PcscSession::listReaders(&readers);
        QVERIFY2(listed.ok(), qPrintable(listed.message + QStringLiteral(" (scripts/start-pcscd.sh starts it)")));
        QVERIFY2(readers.contains(Reader), qPrintable(readers.join(QLatin1Char(','))));
    }

    void cleanup() { QVERIFY(removeCard()); }

    void selectReportsUidAndKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("expected");
        QTest::newRow("1K") << int(CardKind::Classic1K) << int(PcscCardKind::Classic1K);
        QTest::newRow("4K") << int(CardKind::Classic4K) << int(PcscCardKind::Classic4K);
        QTest::newRow("Ultralight") << int(CardKind::Ultralight) << int(PcscCardKind::Ultralight);
    }
    void selectReportsUidAndKind()
    {
        QFETCH(int, kind);
        QFETCH(int, expected);
        QVERIFY(insertCard(CardKind(kind)));
        PcscSession session(Reader);
        const PcscResult selected = session.select();
        QVERIFY2(selected.ok(), qPrintable(selected.message));
        QCOMPARE(selected.data, VirtualCard::defaultUid(CardKind(kind)));
        QCOMPARE(int(session.cardKind()), expected);
        QCOMPARE(selected.exchanges.size(), 1);
        QCOMPARE(selected.exchanges.first().request, hex("FFCA000000"));
        QCOMPARE(selected.meaning(), QByteArray("UID OK"));
        QVERIFY(selected.exchanges.first().requestLine().startsWith("TX > FF CA 00 00 00 "));
        QVERIFY(selected.exchanges.first().answerLine().endsWith("UID OK"));
    }

    void wrongKeyFailsAndTheReadIsRefused()
    {
        QVERIFY(insertCard(CardKind::Classic1K));
        PcscSession session(Reader);
        const PcscResult selected = session.select();
        QVERIFY2(selected.ok(), qPrintable(selected.message));
        const PcscResult auth = session.authenticate(4, PcscApdu::Key::A, hex("010203040506"));
        QCOMPARE(auth.failure, PcscFailure::CardRefused);
        QCOMPARE(auth.exchanges.size(), 2); // the key was loaded, the authentication failed
        QCOMPARE(auth.meaning(), QByteArray("AUTHENTICATION FAILED (63 00)"));
        const PcscResult read = session.read(4);
        QCOMPARE(read.failure, PcscFailure::CardRefused);
        QCOMPARE(read.meaning(), QByteArray("READ FAILED: NOT AUTHENTICATED (69 82)"));
        QVERIFY(read.data.isEmpty());
        QVERIFY(session.isSelected()); // a refusal does not end the session
    }

    void blockAndPageReadWrite()
    {
        QVERIFY(insertCard(CardKind::Classic4K));
        PcscSession session(Reader);
        QVERIFY(session.select().ok());
        const QByteArray data = hex("00112233445566778899AABBCCDDEEFF");
        QVERIFY(session.authenticate(200, PcscApdu::Key::A, DefaultKey).ok()); // a large sector
        const PcscResult written = session.write(200, data);
        QVERIFY2(written.ok(), qPrintable(written.message));
        QCOMPARE(written.meaning(), QByteArray("WRITE OK"));
        QCOMPARE(session.read(200).data, data);
        QCOMPARE(m_sim.cardImage().mid(200 * 16, 16), data);
        QCOMPARE(session.write(200, data.left(4)).failure, PcscFailure::Other); // nothing sent

        QVERIFY(insertCard(CardKind::Ultralight));
        QVERIFY(session.select().ok());
        QVERIFY(session.write(5, hex("CAFEF00D")).ok());
        const PcscResult pages = session.read(4);
        QVERIFY(pages.ok());
        QCOMPARE(pages.data.mid(4, 4), hex("CAFEF00D"));
        QCOMPARE(session.write(0, hex("01020304")).meaning(), QByteArray("WRITE FAILED (63 00)"));
    }

    // Native value commands are used where the reader answers them; where it does not,
    // the first refusal marks them absent and no later one is sent.
    void valueCommandsOnlyWhereOffered()
    {
        QVERIFY(insertCard(CardKind::Classic1K));
        PcscSession session(Reader);
        QVERIFY(session.select().ok());
        QVERIFY(session.authenticate(5, PcscApdu::Key::A, DefaultKey).ok());
        m_sim.setValueCommands(false);
        const PcscResult refused = session.increment(5, 1);
        QCOMPARE(refused.failure, PcscFailure::Unsupported);
        QCOMPARE(refused.meaning(), QByteArray("NOT SUPPORTED BY THE READER (6D 00)"));
        QCOMPARE(session.valueSupport(), PcscSession::ValueSupport::Absent);
        const qsizetype sent = m_sim.receivedApdus().size();
        const PcscResult again = session.decrement(5, 1);
        QCOMPARE(again.failure, PcscFailure::Unsupported);
        QVERIFY(again.exchanges.isEmpty());
        QVERIFY(again.message.contains(QLatin1String("not imitated")));
        QCOMPARE(m_sim.receivedApdus().size(), sent);

        m_sim.setValueCommands(true);
        session.setValueSupport(PcscSession::ValueSupport::Unknown);
        QVERIFY(session.writeValue(5, 100).ok());
        QVERIFY(session.increment(5, 0x123).ok());
        QCOMPARE(session.readValue(5).data, hex("87010000")); // 0x187, least significant first
        QCOMPARE(session.valueSupport(), PcscSession::ValueSupport::Offered);
    }

    // A card taken away: one clean failure, the session over, nothing more sent.
    void cardRemovedEndsTheSession()
    {
        QVERIFY(insertCard(CardKind::Classic1K));
        PcscSession session(Reader);
        QVERIFY(session.select().ok());
        QVERIFY(session.authenticate(4, PcscApdu::Key::A, DefaultKey).ok());
        m_sim.remove();
        const PcscResult read = session.read(4);
        QCOMPARE(read.failure, PcscFailure::CardRemoved);
        QVERIFY(read.message.contains(QLatin1String("removed")));
        QVERIFY(!session.isSelected());
        const PcscResult next = session.read(5);
        QCOMPARE(next.failure, PcscFailure::NotSelected);
        QVERIFY(next.exchanges.isEmpty());
        QCOMPARE(session.select().failure, PcscFailure::NoCard);
    }

    void anotherProgramHoldsTheReader()
    {
        QVERIFY(insertCard(CardKind::Classic1K));
        SCARDCONTEXT context = 0;
        QCOMPARE(SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context), SCARD_S_SUCCESS);
        SCARDHANDLE card = 0;
        DWORD protocol = 0;
        QCOMPARE(SCardConnect(context, Reader.toUtf8().constData(), SCARD_SHARE_EXCLUSIVE, SCARD_PROTOCOL_T1, &card, &protocol),
                 SCARD_S_SUCCESS);
        PcscSession session(Reader);
        const PcscResult selected = session.select();
        SCardDisconnect(card, SCARD_LEAVE_CARD);
        SCardReleaseContext(context);
        QCOMPARE(selected.failure, PcscFailure::SharingViolation);
        QVERIFY(selected.message.contains(QLatin1String("Another program")));
        QVERIFY(session.select().ok());
    }

    void unknownReaderIsReported()
    {
        PcscSession session(QStringLiteral("Unplugged Reader 00 00"));
        const PcscResult selected = session.select();
        QCOMPARE(selected.failure, PcscFailure::ReaderGone);
        QVERIFY(selected.message.contains(QLatin1String("Plug it in again")));
    }

    // A cancelled wait reports nothing. (The wait ending when the card is inserted from
    // the simulator's console: the program's seek in tst_pcscprogram.)
    void cancelledWaitReportsNothing()
    {
        PcscCardWaiter waiter;
        QSignalSpy present(&waiter, &PcscCardWaiter::cardPresent);
        QSignalSpy failed(&waiter, &PcscCardWaiter::failed);
        waiter.start(QStringLiteral("Virtual PCD 00 01")); // no card ever comes there
        QTest::qWait(100);
        QVERIFY(waiter.isWaiting());
        waiter.cancel();
        QVERIFY(!waiter.isWaiting());
        QTest::qWait(100);
        QCOMPARE(present.size(), 0);
        QCOMPARE(failed.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPcscSession)
#include "tst_pcscsession.moc"
