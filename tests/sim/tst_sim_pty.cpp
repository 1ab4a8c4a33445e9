// The simulator on a real pseudo-terminal, driven the way the program drives a
// serial port: open the device, set the speed, write a frame, wait for bytes.
#include "ModuleCommand.h"
#include "PtySimulator.h"
#include "SimFrame.h"

#include <QElapsedTimer>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

using namespace ModuleCommand;

namespace {
speed_t speedCode(int speed)
{
    switch (speed) {
    case 9600: return B9600;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B19200;
    }
}

// The program's end of the line.
class Line
{
public:
    Line(const QString &path, int speed)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd >= 0)
            setSpeed(speed);
    }
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Line(const Line &) = delete;
    Line &operator=(const Line &) = delete;

    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }
    void setSpeed(int speed)
    {
        termios t{};
        ::tcgetattr(m_fd, &t);
        cfmakeraw(&t);
        cfsetispeed(&t, speedCode(speed));
        cfsetospeed(&t, speedCode(speed));
        ::tcsetattr(m_fd, TCSANOW, &t);
    }
    void send(quint8 command, const QByteArray &data = {})
    {
        const QByteArray frame = SimFrame::build(command, data);
        QCOMPARE(::write(m_fd, frame.constData(), size_t(frame.size())), ssize_t(frame.size()));
    }
    // Whatever arrives until one whole frame (by its Length byte) is there, the line
    // stays quiet for quietMs, or timeoutMs pass.
    QByteArray receive(int timeoutMs, int quietMs = 100) { return read(timeoutMs, quietMs, true); }
    // Everything until the line stays quiet, whatever the bytes announce.
    QByteArray receiveAll(int timeoutMs, int quietMs = 100) { return read(timeoutMs, quietMs, false); }

private:
    QByteArray read(int timeoutMs, int quietMs, bool oneFrame)
    {
        QByteArray bytes;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (oneFrame && bytes.size() >= 3 && bytes.size() >= quint8(bytes.at(2)) + 4)
                break;
            pollfd fd{m_fd, POLLIN, 0};
            const int wait = bytes.isEmpty() ? int(timeoutMs - timer.elapsed()) : quietMs;
            if (::poll(&fd, 1, qMax(0, wait)) <= 0) {
                if (!bytes.isEmpty())
                    break;
                continue;
            }
            char buffer[256];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                bytes.append(buffer, int(n));
        }
        return bytes;
    }

    int m_fd = -1;
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
    void exchangeAcrossReopenedPort();
    void answersArePacedAtLineSpeed_data();
    void answersArePacedAtLineSpeed();
    void requestsTakeTheirTimeToArrive();
    void wrongSpeedIsNotUnderstood();
    void baudChangeAnswersLateAtNewSpeed();
    void answerAtWrongSpeedIsNoise();
    void seekReportsArrivingTag();
    void lateResetArrivesUnasked();
    void faultsOnTheLine_data();
    void faultsOnTheLine();
    void idleCostsNoCpu();
    void stopWithAnswerPending();
};

void TestSimPty::exchangeAcrossReopenedPort()
{
    auto simulator = startedSimulator();
    QVERIFY(simulator->isRunning());
    QVERIFY(simulator->portPath().startsWith(QLatin1String("/dev/pts/")));
    for (int round = 0; round < 3; ++round) {
        Line line(simulator->portPath(), 19200);
        QVERIFY(line.isOpen());
        line.send(Select);
        QCOMPARE(line.receive(1000), SimFrame::build(Select, QByteArray::fromHex("02D4C3B2A1")));
    }
    QVERIFY(simulator->waitUntilIdle(1000));
    QCOMPARE(simulator->receivedFrames().size(), 3);
    QCOMPARE(simulator->sentFrames().size(), 3);
    QCOMPARE(simulator->lineSpeed(), 19200);
}

void TestSimPty::answersArePacedAtLineSpeed_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("cardTimeMs");
    QTest::newRow("9600, 5 ms card") << 9600 << 5;
    QTest::newRow("115200, 40 ms card") << 115200 << 40;
}

void TestSimPty::answersArePacedAtLineSpeed()
{
    QFETCH(int, speed);
    QFETCH(int, cardTimeMs);
    auto simulator = startedSimulator();
    QVERIFY(simulator->setModuleSpeed(speed));
    simulator->setCardTimeMs(cardTimeMs);
    Line line(simulator->portPath(), speed);
    line.send(Select);
    QVERIFY(!line.receive(1000).isEmpty());
    line.send(Authenticate, QByteArray::fromHex("04FF"));
    QVERIFY(!line.receive(1000).isEmpty());
    QElapsedTimer timer;
    timer.start();
    line.send(Read, QByteArray::fromHex("04"));
    const QByteArray answer = line.receive(1000);
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(answer.size(), 22);
    // 22 bytes of 10 bits each, after the card's working time.
    const qint64 minimum = cardTimeMs + 22 * 10 * 1000 / speed;
    QVERIFY2(elapsed >= minimum, qPrintable(QStringLiteral("%1 ms < %2 ms").arg(elapsed).arg(minimum)));
}

void TestSimPty::requestsTakeTheirTimeToArrive()
{
    // The pseudo-terminal hands a request over at once; a module on a real line sees
    // its last byte only after all its bits came in, and only then starts working.
    auto simulator = startedSimulator();
    QVERIFY(simulator->setModuleSpeed(9600));
    simulator->setCardTimeMs(0);
    Line line(simulator->portPath(), 9600);
    line.send(Select);
    QVERIFY(!line.receive(1000).isEmpty());
    line.send(Authenticate, QByteArray::fromHex("04FF"));
    QVERIFY(!line.receive(1000).isEmpty());
    const QByteArray data = QByteArray::fromHex("04") + QByteArray(16, '\x5A');
    const qint64 requestSize = SimFrame::build(Write, data).size();
    QElapsedTimer timer;
    timer.start();
    line.send(Write, data);
    const QByteArray answer = line.receive(1000);
    const qint64 elapsed = timer.elapsed();
    QVERIFY(SimFrame::isWellFormed(answer));
    const qint64 minimum = (requestSize + answer.size()) * 10 * 1000 / 9600;
    QVERIFY2(elapsed >= minimum, qPrintable(QStringLiteral("%1 ms < %2 ms").arg(elapsed).arg(minimum)));
}

void TestSimPty::wrongSpeedIsNotUnderstood()
{
    auto simulator = startedSimulator();
    Line line(simulator->portPath(), 9600);
    line.send(Version);
    QVERIFY(line.receive(300).isEmpty());
    QVERIFY(simulator->receivedFrames().isEmpty());
    QCOMPARE(simulator->ignoredByteCount(), 5);
    QCOMPARE(simulator->lineSpeed(), 9600);
    // At the module's speed the same port works.
    line.setSpeed(19200);
    line.send(Version);
    QCOMPARE(line.receive(1000), SimFrame::build(Version, VirtualModule::versionText()));
}

void TestSimPty::baudChangeAnswersLateAtNewSpeed()
{
    auto simulator = startedSimulator();
    Line line(simulator->portPath(), 19200);
    QElapsedTimer timer;
    timer.start();
    line.send(SetBaud, QByteArray::fromHex("04"));
    QTest::qWait(50);
    line.setSpeed(115200);
    const QByteArray answer = line.receive(2000);
    QCOMPARE(answer, SimFrame::status(SetBaud, 'L'));
    QVERIFY(timer.elapsed() >= VirtualModule::BaudAnswerDelayMs);
    QCOMPARE(simulator->moduleSpeed(), 115200);
    line.send(Version);
    QCOMPARE(line.receive(1000), SimFrame::build(Version, VirtualModule::versionText()));
}

void TestSimPty::answerAtWrongSpeedIsNoise()
{
    auto simulator = startedSimulator();
    Line line(simulator->portPath(), 19200);
    line.send(SetBaud, QByteArray::fromHex("00"));
    // The line stays at 19200: the module's answer at 9600 arrives as noise.
    const QByteArray noise = line.receive(2000);
    QVERIFY(!noise.isEmpty());
    for (const char byte : noise)
        QVERIFY(quint8(byte) >= 0xF0 && quint8(byte) != 0xFF);
}

void TestSimPty::seekReportsArrivingTag()
{
    auto simulator = startedSimulator();
    simulator->setTagPresent(false);
    Line line(simulator->portPath(), 19200);
    line.send(Seek);
    QCOMPARE(line.receive(1000), SimFrame::status(Seek, 'L'));
    QVERIFY(line.receive(200).isEmpty());
    simulator->setTagPresent(true);
    QCOMPARE(line.receive(1000), SimFrame::build(Seek, QByteArray::fromHex("02D4C3B2A1")));
    QVERIFY(line.receive(200).isEmpty());
}

void TestSimPty::lateResetArrivesUnasked()
{
    auto simulator = startedSimulator();
    simulator->setResetLate(true);
    simulator->setLateDelayMs(700);
    Line line(simulator->portPath(), 19200);
    line.send(Reset);
    QVERIFY(line.receive(450).isEmpty());
    QCOMPARE(line.receive(1500), SimFrame::build(Reset, VirtualModule::versionText()));
}

void TestSimPty::faultsOnTheLine_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("wellFormed");
    const int clean = int(SimFrame::build(Version, VirtualModule::versionText()).size());
    QTest::newRow("no answer") << int(SimFault::NoAnswer) << 0 << false;
    QTest::newRow("bad checksum") << int(SimFault::BadChecksum) << clean << false;
    QTest::newRow("truncated") << int(SimFault::Truncated) << clean - 2 << false;
    QTest::newRow("oversize") << int(SimFault::OversizeLength) << 84 << true;
    QTest::newRow("garbage") << int(SimFault::Garbage) << clean + 3 << false;
}

void TestSimPty::faultsOnTheLine()
{
    QFETCH(int, fault);
    QFETCH(int, size);
    QFETCH(bool, wellFormed);
    auto simulator = startedSimulator();
    simulator->injectFault(SimFault(fault));
    Line line(simulator->portPath(), 19200);
    line.send(Version);
    const QByteArray spoilt = line.receiveAll(400);
    QCOMPARE(spoilt.size(), size);
    QCOMPARE(SimFrame::isWellFormed(spoilt), wellFormed);
    line.send(Version);
    QCOMPARE(line.receive(1000), SimFrame::build(Version, VirtualModule::versionText()));
}

void TestSimPty::idleCostsNoCpu()
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

void TestSimPty::stopWithAnswerPending()
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
    QVERIFY(simulator->portPath().isEmpty());
    QVERIFY(simulator->start()); // and it can serve again
    QVERIFY(simulator->isRunning());
}

QTEST_GUILESS_MAIN(TestSimPty)
#include "tst_sim_pty.moc"
