// The simulator on a real pseudo-terminal, driven the way the program drives a
// serial port: open the device, set the speed, write a frame, wait for bytes.
#include "ModuleCommand.h"
#include "PtySimulator.h"
#include "SimFrame.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTest>

#include <sys/resource.h>

using namespace ModuleCommand;

namespace {
// The program's end of the line: the pseudo-terminal opened as a serial port.
class Line
{
public:
    Line(const QString &path, int speed)
    {
        m_port.setPortName(path);
        if (m_port.open(QIODevice::ReadWrite))
            setSpeed(speed);
    }
    [[nodiscard]] bool isOpen() const { return m_port.isOpen(); }
    void setSpeed(int speed) { QVERIFY(m_port.setBaudRate(speed)); }
    void send(quint8 command, const QByteArray &data = {})
    {
        const QByteArray frame = SimFrame::build(command, data);
        QCOMPARE(m_port.write(frame), frame.size());
        QVERIFY(m_port.waitForBytesWritten(1000));
    }
    // Whatever arrives until one whole frame (by its Length byte) is there, the line
    // stays quiet for 100 ms, or timeoutMs pass.
    QByteArray receive(int timeoutMs)
    {
        QByteArray bytes;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs && (bytes.size() < 3 || bytes.size() < quint8(bytes.at(2)) + 4)) {
            const int wait = bytes.isEmpty() ? int(timeoutMs - timer.elapsed()) : 100;
            if (m_port.waitForReadyRead(qMax(1, wait)))
                bytes += m_port.readAll();
            else if (!bytes.isEmpty())
                break;
        }
        return bytes;
    }

private:
    QSerialPort m_port;
};

std::unique_ptr<PtySimulator> startedSimulator()
{
    auto simulator = std::make_unique<PtySimulator>();
    QString error;
    if (!simulator->start(&error))
        qWarning("start failed: %s", qPrintable(error));
    return simulator;
}
} // namespace

class TestSimPty : public QObject
{
    Q_OBJECT

private slots:
    // A module on a real line sees a request only after all its bits came in, works,
    // and then takes the answer's wire time: 10 bits a byte each way.
    void exchangeTakesWireAndCardTime()
    {
        const int speed = 9600;
        const int cardTimeMs = 40;
        auto simulator = startedSimulator();
        QVERIFY(simulator->setModuleSpeed(speed));
        simulator->setCardTimeMs(cardTimeMs);
        Line line(simulator->portPath(), speed);
        line.send(Select);
        QVERIFY(!line.receive(1000).isEmpty());
        line.send(Authenticate, QByteArray::fromHex("04FF"));
        QVERIFY(!line.receive(1000).isEmpty());
        const QByteArray data = QByteArray::fromHex("04") + QByteArray(16, '\x5A');
        QElapsedTimer timer;
        timer.start();
        line.send(Write, data);
        const QByteArray answer = line.receive(1000);
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(answer, SimFrame::build(Write, data));
        const qint64 minimum = cardTimeMs + 2 * answer.size() * 10 * 1000 / speed;
        QVERIFY2(elapsed >= minimum, qPrintable(QStringLiteral("%1 ms < %2 ms").arg(elapsed).arg(minimum)));
    }

    // Bytes at another speed are not understood; an answer sent at another speed
    // arrives as noise.
    void speedMismatch()
    {
        auto simulator = startedSimulator();
        Line line(simulator->portPath(), 9600);
        line.send(Version);
        QVERIFY(line.receive(300).isEmpty());
        QVERIFY(simulator->receivedFrames().isEmpty());
        QCOMPARE(simulator->ignoredByteCount(), 5);
        line.setSpeed(19200);
        line.send(Version);
        QCOMPARE(line.receive(1000), SimFrame::build(Version, VirtualModule::versionText()));

        line.send(SetBaud, QByteArray::fromHex("00"));
        const QByteArray noise = line.receive(2000);
        QVERIFY(!noise.isEmpty());
        for (const char byte : noise)
            QVERIFY(quint8(byte) >= 0xF0 && quint8(byte) != 0xFF);
    }

    void idleCostsNoCpu()
    {
        auto simulator = startedSimulator();
        Line line(simulator->portPath(), 19200);
        const auto cpuMs = [] {
            rusage usage{};
            ::getrusage(RUSAGE_SELF, &usage);
            return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
        };
        const auto before = cpuMs();
        QTest::qSleep(400);
        QVERIFY2(cpuMs() - before < 40, "the serving thread spins while idle");
    }

    void stopWithAnswerPending()
    {
        auto simulator = startedSimulator();
        simulator->setResetLate(true);
        Line line(simulator->portPath(), 19200);
        line.send(Reset);
        QVERIFY(simulator->waitForReceivedFrames(1, 1000));
        QElapsedTimer timer;
        timer.start();
        simulator->stop();
        QVERIFY(timer.elapsed() < 500);
        QVERIFY(!simulator->isRunning());
        QVERIFY(simulator->start()); // and it can serve again
    }
};

QTEST_GUILESS_MAIN(TestSimPty)
#include "tst_sim_pty.moc"
