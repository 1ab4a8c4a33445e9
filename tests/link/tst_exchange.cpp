#include "RecordingLog.h"
#include "ScriptedPeer.h"

#include "link/ComPort.h"
#include "link/EComPort.h"
#include "link/FrameExchange.h"
#include "link/Frame.h"
#include "card/Hex.h"

#include <QElapsedTimer>
#include <QTest>

#include <ctime>

// The request/response exchange over a real pseudo-terminal, with a scripted far end.
class TestExchange : public QObject
{
    Q_OBJECT

    struct Rig {
        ScriptedPeer peer;
        ComPort port;
        RecordingLog log;
        FrameExchange exchange {port, log};
        Rig()
        {
            port.setPortName(peer.portPath());
            port.open();
            exchange.setResponseTimeout(300);
        }
    };

private Q_SLOTS:
    void answerVariants_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("logLine");
        QTest::newRow("status answer") << QByteArray::fromHex("FF0002900193") << true << QByteArray(1, '\x01')
                                       << QByteArray();
        QTest::newRow("length 0: checksum equals reserved byte")
            << QByteArray::fromHex("FF000000") << true << QByteArray() << QByteArray();
        QTest::newRow("zero byte left out of data")
            << QByteArray::fromHex("FF000390004C" "DF") << true << QByteArray("L") << QByteArray();
        QTest::newRow("header not FF still accepted")
            << QByteArray::fromHex("AA00018384") << true << QByteArray() << QByteArray();
        QTest::newRow("checksum error")
            << QByteArray::fromHex("FF0002904C00") << false << QByteArray()
            << QByteArray("Checksum error in Response Array");
        QTest::newRow("oversize length")
            << QByteArray::fromHex("FF0042") + QByteArray(67, '\x01') << false << QByteArray()
            << QByteArray("***Invalid Response Length 66***");
        QTest::newRow("half answer")
            << QByteArray::fromHex("FF000690") << false << QByteArray() << QByteArray("***Timeout.No Response***");
        QTest::newRow("no answer") << QByteArray() << false << QByteArray() << QByteArray("***Timeout.No Response***");
    }
    void answerVariants()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, ok);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, logLine);
        Rig rig;
        rig.log.statusText = "TAG TYPE:02 | TAG SERIAL # 01020304";
        rig.peer.answer(answer);
        QCOMPARE(rig.exchange.SendFrame(Frame::request(0x81)), QByteArray("FF 00 01 81 82 "));
        const ModuleResponse response = rig.exchange.ReadResponse();
        QCOMPARE(rig.peer.requests(), QList<QByteArray> {QByteArray::fromHex("FF00018182")});
        QCOMPARE(response.ok, ok);
        if (ok) {
            QCOMPARE(response.data, data);
            QCOMPARE(response.echo, Hex::echo(answer));
            QVERIFY(rig.log.lines.isEmpty());
        } else {
            QCOMPARE(response.echo, QByteArray("error"));
            // Exactly one reason line, nothing else; the status bar no longer shows the
            // last success but the reason and what to check.
            QCOMPARE(rig.log.lines, QByteArrayList {logLine});
            QVERIFY2(rig.log.statusText.startsWith(logLine + " Check the ")
                         && rig.log.statusText.contains("baud rate") && rig.log.statusText.contains("power"),
                     rig.log.statusText.constData());
        }
    }

    // Bytes left from before the request are dropped; an answer in pieces is whole.
    void staleInputDroppedAnswerInPieces()
    {
        Rig rig;
        rig.peer.sendNow(QByteArray::fromHex("FF0001838403"));
        QTest::qWait(50);
        rig.peer.answer(QByteArray::fromHex("FF00"));
        (void)rig.exchange.SendFrame(Frame::request(0x81));
        QTest::qWait(50);
        rig.peer.sendNow(QByteArray::fromHex("0290"));
        QTest::qWait(50);
        rig.peer.sendNow(QByteArray::fromHex("0193"));
        const ModuleResponse response = rig.exchange.ReadResponse();
        QVERIFY(response.ok);
        QCOMPARE(response.frame, QByteArray::fromHex("FF0002900193"));
    }

    void waitingCostsNoCpu()
    {
        Rig rig;
        (void)rig.exchange.SendFrame(Frame::request(0x81));
        const std::clock_t cpuBefore = std::clock();
        QElapsedTimer wall;
        wall.start();
        QVERIFY(!rig.exchange.ReadResponse().ok);
        const double cpuMs = 1000.0 * double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
        QVERIFY(wall.elapsed() >= 290);
        QVERIFY2(cpuMs < 60, qPrintable(QStringLiteral("CPU %1 ms while waiting").arg(cpuMs)));
    }

    void farEndGoneEndsTheWaitWithAPortError()
    {
        Rig rig;
        rig.exchange.setResponseTimeout(3000);
        (void)rig.exchange.SendFrame(Frame::request(0x81));
        rig.peer.hangUp();
        QElapsedTimer wall;
        wall.start();
        QVERIFY_THROWS_EXCEPTION(EComPort, (void)rig.exchange.ReadResponse());
        QVERIFY(wall.elapsed() < 2500);
        QVERIFY(!rig.port.isOpen());
    }

    void openFailures()
    {
        ComPort port;
        port.setPortName(QStringLiteral("/dev/no-such-port-here"));
        // A second attempt tries again and fails the same way.
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                port.open();
                QFAIL("opened a missing port");
            } catch (const EComPort &error) {
                QCOMPARE(QByteArray(error.what()), QByteArray("Unable to open com port (win error code: 2)"));
            }
            QVERIFY(!port.isOpen());
        }
    }
};

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
