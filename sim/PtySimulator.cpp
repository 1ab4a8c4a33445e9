#include "PtySimulator.h"

#include "LineNoise.h"
#include "SimFrame.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
struct SpeedEntry {
    speed_t code;
    qint32 speed;
};
constexpr SpeedEntry SpeedTable[] = {
    {B1200, 1200}, {B2400, 2400}, {B4800, 4800}, {B9600, 9600}, {B19200, 19200},
    {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
};

qint32 speedOf(speed_t code)
{
    for (const auto &entry : SpeedTable) {
        if (entry.code == code)
            return entry.speed;
    }
    return 0;
}

speed_t codeOf(qint32 speed)
{
    for (const auto &entry : SpeedTable) {
        if (entry.speed == speed)
            return entry.code;
    }
    return B19200;
}

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

QString errnoText(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
}
} // namespace

PtySimulator::PtySimulator(std::unique_ptr<VirtualCard> card)
    : m_module(std::move(card))
{
}

PtySimulator::~PtySimulator()
{
    stop();
}

bool PtySimulator::start(QString *error)
{
    std::lock_guard lock(m_mutex);
    if (m_thread.joinable())
        return true;

    // Raw 8N1 at the module's speed, so nothing is echoed or cooked before the
    // program opens the port and sets its own line settings.
    termios settings{};
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&settings, codeOf(m_module.speed()));
    cfsetospeed(&settings, codeOf(m_module.speed()));
    char name[128] = {};
    if (::openpty(&m_masterFd, &m_slaveFd, name, &settings, nullptr) < 0) {
        if (error)
            *error = errnoText("openpty");
        return false;
    }
    int wake[2] = {-1, -1};
    if (::pipe2(wake, O_NONBLOCK | O_CLOEXEC) < 0) {
        if (error)
            *error = errnoText("pipe2");
        closeFd(m_masterFd);
        closeFd(m_slaveFd);
        return false;
    }
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    ::fcntl(m_masterFd, F_SETFL, ::fcntl(m_masterFd, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_masterFd, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slaveFd, F_SETFD, FD_CLOEXEC);

    m_portPath = QString::fromLocal8Bit(name);
    m_startedAt = Clock::now();
    m_lineFreeAt = m_startedAt;
    m_receivedUntil = m_startedAt;
    m_outgoing.clear();
    m_reader.reset();
    m_stopping = false;
    m_thread = std::thread(&PtySimulator::serve, this);
    return true;
}

void PtySimulator::stop()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_thread.joinable())
            return;
        m_stopping = true;
        wake();
    }
    m_thread.join();
    std::lock_guard lock(m_mutex);
    closeFd(m_masterFd);
    closeFd(m_slaveFd);
    closeFd(m_wakeRead);
    closeFd(m_wakeWrite);
    m_outgoing.clear();
    m_portPath.clear();
    m_changed.notify_all();
}

bool PtySimulator::isRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_thread.joinable() && !m_stopping;
}

QString PtySimulator::portPath() const
{
    std::lock_guard lock(m_mutex);
    return m_portPath;
}

void PtySimulator::setTraceSink(TraceSink sink)
{
    std::lock_guard lock(m_mutex);
    m_trace = std::move(sink);
}

QList<QByteArray> PtySimulator::receivedFrames() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

QList<QByteArray> PtySimulator::sentFrames() const
{
    std::lock_guard lock(m_mutex);
    return m_sent;
}

qint64 PtySimulator::ignoredByteCount() const
{
    std::lock_guard lock(m_mutex);
    return m_ignored;
}

void PtySimulator::clearTraffic()
{
    std::lock_guard lock(m_mutex);
    m_received.clear();
    m_sent.clear();
    m_ignored = 0;
}

bool PtySimulator::waitForReceivedFrames(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_received.size() >= count; });
}

bool PtySimulator::waitForSentFrames(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_sent.size() >= count; });
}

bool PtySimulator::waitUntilIdle(int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_outgoing.empty(); });
}

void PtySimulator::setTagPresent(bool present)
{
    withModule([present](VirtualModule &module) { module.setTagPresent(present); });
}

bool PtySimulator::tagPresent() const
{
    std::lock_guard lock(m_mutex);
    return m_module.tagPresent();
}

void PtySimulator::setCard(std::unique_ptr<VirtualCard> card)
{
    std::lock_guard lock(m_mutex);
    m_module.setCard(std::move(card));
    scheduleUnsolicited();
    wake();
}

CardKind PtySimulator::cardKind() const
{
    std::lock_guard lock(m_mutex);
    return m_module.card().kind();
}

QByteArray PtySimulator::cardUid() const
{
    std::lock_guard lock(m_mutex);
    return m_module.card().uid();
}

QByteArray PtySimulator::cardImage() const
{
    std::lock_guard lock(m_mutex);
    return m_module.card().image();
}

bool PtySimulator::setCardImage(const QByteArray &image)
{
    std::lock_guard lock(m_mutex);
    return m_module.card().setImage(image);
}

void PtySimulator::withModule(const std::function<void(VirtualModule &)> &fn)
{
    std::lock_guard lock(m_mutex);
    fn(m_module);
    scheduleUnsolicited();
    wake();
}

qint32 PtySimulator::moduleSpeed() const
{
    std::lock_guard lock(m_mutex);
    return m_module.speed();
}

bool PtySimulator::setModuleSpeed(qint32 speed)
{
    std::lock_guard lock(m_mutex);
    return m_module.setSpeed(speed);
}

qint32 PtySimulator::lineSpeed() const
{
    std::lock_guard lock(m_mutex);
    return lineSpeedLocked();
}

void PtySimulator::setCardTimeMs(int ms)
{
    std::lock_guard lock(m_mutex);
    m_module.setCardTimeMs(ms);
}

void PtySimulator::setResetLate(bool late)
{
    std::lock_guard lock(m_mutex);
    m_module.setResetLate(late);
}

void PtySimulator::setLateDelayMs(int ms)
{
    std::lock_guard lock(m_mutex);
    m_module.setLateDelayMs(ms);
}

void PtySimulator::setInputPins(quint8 pins)
{
    std::lock_guard lock(m_mutex);
    m_module.setInputPins(pins);
}

quint8 PtySimulator::outputPins() const
{
    std::lock_guard lock(m_mutex);
    return m_module.outputPins();
}

bool PtySimulator::rfFieldOn() const
{
    std::lock_guard lock(m_mutex);
    return m_module.rfFieldOn();
}

QByteArray PtySimulator::storedKey(int slot, KeyType key) const
{
    std::lock_guard lock(m_mutex);
    return m_module.storedKey(slot, key);
}

void PtySimulator::setStoredKey(int slot, KeyType key, const QByteArray &bytes)
{
    std::lock_guard lock(m_mutex);
    m_module.setStoredKey(slot, key, bytes);
}

void PtySimulator::injectFault(SimFault fault, int count)
{
    std::lock_guard lock(m_mutex);
    m_module.injectFault(fault, count);
}

void PtySimulator::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_module.clearFaults();
}

void PtySimulator::serve()
{
    pollfd fds[2] = {{m_masterFd, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
    for (;;) {
        timespec timeout{};
        timespec *timeoutPtr = nullptr;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
            if (!m_outgoing.empty()) {
                const auto wait = std::max(Clock::duration::zero(), nextSendTime() - Clock::now());
                const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
                timeout.tv_sec = time_t(ns / 1'000'000'000);
                timeout.tv_nsec = long(ns % 1'000'000'000);
                timeoutPtr = &timeout;
            }
        }
        const int ready = ::ppoll(fds, 2, timeoutPtr, nullptr);
        if (ready < 0 && errno != EINTR) {
            const QString reason = errnoText("poll");
            std::lock_guard lock(m_mutex);
            trace(reason);
            return;
        }
        if (ready > 0 && (fds[1].revents & POLLIN)) {
            char drain[64];
            while (::read(m_wakeRead, drain, sizeof drain) > 0) {
            }
        }
        if (ready > 0 && (fds[0].revents & POLLIN))
            readInput();
        std::lock_guard lock(m_mutex);
        sendDue(Clock::now());
    }
}

void PtySimulator::readInput()
{
    QByteArray bytes;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(m_masterFd, buffer, sizeof buffer);
        if (n > 0)
            bytes.append(buffer, n);
        else if (!(n < 0 && errno == EINTR))
            break;
    }
    if (bytes.isEmpty())
        return;

    const auto now = Clock::now();
    std::lock_guard lock(m_mutex);
    const qint32 line = lineSpeedLocked();
    if (line != m_module.speed()) {
        // At another speed the module's receiver sees only framing errors.
        m_ignored += bytes.size();
        m_reader.reset();
        trace(QStringLiteral("?? %1 bytes at %2 bit/s not understood (module at %3 bit/s): %4")
                  .arg(bytes.size())
                  .arg(line)
                  .arg(m_module.speed())
                  .arg(SimFrame::hex(bytes)));
        m_changed.notify_all();
        return;
    }
    // The module starts working on a request only when its last byte is in: the
    // frame's bytes come in one after the other at the line speed, from when the
    // first of them arrived, and never before the previous request was complete.
    const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / m_module.speed());
    const bool continued = m_reader.hasPartialFrame();
    auto frameBegunAt = continued ? m_frameBegunAt : now;
    const auto events = m_reader.feed(bytes, elapsedMs(now));
    for (const auto &event : events) {
        switch (event.kind) {
        case FrameReader::Event::Frame: {
            m_received.append(event.bytes);
            trace(QStringLiteral("<- %1  (%2)").arg(SimFrame::hex(event.bytes), SimFrame::commandName(SimFrame::command(event.bytes))));
            m_receivedUntil = std::max(frameBegunAt, m_receivedUntil) + event.bytes.size() * byteTime;
            frameBegunAt = now;
            schedule(m_module.handleFrame(event.bytes), m_receivedUntil);
            break;
        }
        case FrameReader::Event::BadChecksum:
            trace(QStringLiteral("<- %1  bad checksum, ignored").arg(SimFrame::hex(event.bytes)));
            break;
        case FrameReader::Event::BadLength:
            trace(QStringLiteral("<- %1  bad length, ignored").arg(SimFrame::hex(event.bytes)));
            break;
        case FrameReader::Event::Skipped:
            trace(QStringLiteral("<- %1  not a frame, skipped").arg(SimFrame::hex(event.bytes)));
            break;
        case FrameReader::Event::Stale:
            trace(QStringLiteral("<- %1  incomplete frame, dropped").arg(SimFrame::hex(event.bytes)));
            break;
        }
    }
    // A partial frame left over began in this read unless the one before went on.
    if (m_reader.hasPartialFrame())
        m_frameBegunAt = continued && events.isEmpty() ? m_frameBegunAt : now;
    scheduleUnsolicited();
    m_changed.notify_all();
}

void PtySimulator::schedule(const QList<SimAnswer> &answers, Clock::time_point now)
{
    for (const SimAnswer &answer : answers) {
        if (answer.bytes.isEmpty()) {
            trace(QStringLiteral("-> (nothing sent) %1").arg(answer.note));
            continue;
        }
        Outgoing out;
        out.bytes = answer.bytes;
        out.notBefore = now + std::chrono::milliseconds(answer.delayMs);
        out.note = answer.note;
        m_outgoing.push_back(out);
    }
}

void PtySimulator::scheduleUnsolicited()
{
    const QList<SimAnswer> answers = m_module.takeUnsolicited();
    // Without a line there is nobody to send to.
    if (m_masterFd >= 0)
        schedule(answers, Clock::now());
}

PtySimulator::Clock::time_point PtySimulator::nextSendTime() const
{
    const Outgoing &out = m_outgoing.front();
    if (out.started)
        return m_lineFreeAt + out.byteTime;
    const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / m_module.speed());
    return std::max(out.notBefore, m_lineFreeAt) + byteTime;
}

void PtySimulator::sendDue(Clock::time_point now)
{
    while (!m_outgoing.empty()) {
        Outgoing &out = m_outgoing.front();
        if (!out.started) {
            const auto start = std::max(out.notBefore, m_lineFreeAt);
            const qint32 module = m_module.speed();
            out.byteTime = std::chrono::nanoseconds(10'000'000'000LL / module);
            if (start + out.byteTime > now)
                return;
            const qint32 line = lineSpeedLocked();
            if (line != module) {
                out.bytes = LineNoise::garble(out.bytes, module, line);
                out.note += QStringLiteral(" [line at %1 bit/s, module at %2 bit/s: noise]").arg(line).arg(module);
            }
            out.started = true;
            m_lineFreeAt = start;
        }
        // A byte reaches the far side once its ten bits have gone out.
        qsizetype due = 0;
        while (out.sent + due < out.bytes.size() && m_lineFreeAt + (due + 1) * out.byteTime <= now)
            ++due;
        if (due > 0) {
            const ssize_t written = ::write(m_masterFd, out.bytes.constData() + out.sent, size_t(due));
            if (written < 0 && errno != EINTR)
                trace(QStringLiteral("-- %1 bytes lost: nobody reads the line").arg(due));
            out.sent += due;
            m_lineFreeAt += due * out.byteTime;
        }
        if (out.sent < out.bytes.size())
            return;
        m_sent.append(out.bytes);
        trace(QStringLiteral("-> %1  (%2)").arg(SimFrame::hex(out.bytes), out.note));
        m_outgoing.pop_front();
        m_changed.notify_all();
    }
}

void PtySimulator::wake() const
{
    if (m_wakeWrite >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wakeWrite, &byte, 1);
    }
}

void PtySimulator::trace(const QString &line) const
{
    if (m_trace)
        m_trace(QStringLiteral("%1 %2").arg(double(elapsedMs(Clock::now())) / 1000.0, 9, 'f', 3).arg(line));
}

qint32 PtySimulator::lineSpeedLocked() const
{
    if (m_masterFd < 0)
        return 0;
    termios settings{};
    if (::tcgetattr(m_masterFd, &settings) < 0)
        return 0;
    const speed_t in = cfgetispeed(&settings);
    return speedOf(in != B0 ? in : cfgetospeed(&settings));
}

qint64 PtySimulator::elapsedMs(Clock::time_point t) const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(t - m_startedAt).count();
}
