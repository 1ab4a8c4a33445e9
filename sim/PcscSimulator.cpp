#include "PcscSimulator.h"

#include "SimFrame.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr char PowerOff = 0x00;
constexpr char PowerOn = 0x01;
constexpr char Reset = 0x02;
constexpr char AtrRequest = 0x04;

bool receiveAll(int fd, char *buffer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        // The driver sends a message's length and payload in two writes; acknowledging
        // at once lets the second leave without waiting for a delayed ACK (about 40 ms).
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
        const ssize_t n = ::recv(fd, buffer + done, size - done, 0);
        if (n == 0 || (n < 0 && errno != EINTR))
            return false;
        if (n > 0)
            done += size_t(n);
    }
    return true;
}

bool sendAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}
} // namespace

PcscSimulator::PcscSimulator(std::unique_ptr<VirtualCard> card, quint16 port)
    : m_reader(std::move(card))
    , m_port(port)
{
}

PcscSimulator::~PcscSimulator()
{
    remove();
}

void PcscSimulator::setPort(quint16 port)
{
    std::lock_guard lock(m_mutex);
    m_port = port;
}

quint16 PcscSimulator::port() const
{
    std::lock_guard lock(m_mutex);
    return m_port;
}

bool PcscSimulator::insert(QString *error, int waitMs)
{
    join(true); // a connection the driver closed
    std::unique_lock lock(m_mutex);
    if (m_thread.joinable())
        return true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int fd = -1;
    for (;;) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
            break;
        const int reason = errno;
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            if (error)
                *error = QStringLiteral("the virtual reader driver does not listen on 127.0.0.1:%1 (%2); "
                                        "is pcscd running with vsmartcard-vpcd installed?")
                             .arg(m_port)
                             .arg(QString::fromLocal8Bit(strerror(reason)));
            return false;
        }
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        lock.lock();
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    m_fd = fd;
    m_connected = true;
    m_reader.powerOff(); // a card entering the field is unpowered until the reader powers it
    trace(QStringLiteral("card inserted (connected to port %1)").arg(m_port));
    m_thread = std::thread([this, fd] { serve(fd); });
    return true;
}

void PcscSimulator::remove()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_fd < 0)
            return;
        ::shutdown(m_fd, SHUT_RDWR); // wakes the serving thread's recv()
    }
    join(false);
}

void PcscSimulator::join(bool onlyEnded)
{
    std::thread serving;
    {
        std::lock_guard lock(m_mutex);
        if (onlyEnded && m_connected)
            return;
        serving = std::move(m_thread);
    }
    if (serving.joinable())
        serving.join();
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool PcscSimulator::inserted() const
{
    std::lock_guard lock(m_mutex);
    return m_connected;
}

void PcscSimulator::serve(int fd)
{
    for (;;) {
        char head[2];
        if (!receiveAll(fd, head, 2))
            break;
        const size_t length = (size_t(quint8(head[0])) << 8) | quint8(head[1]);
        QByteArray message(qsizetype(length), Qt::Uninitialized);
        if (length > 0 && !receiveAll(fd, message.data(), length))
            break;
        QByteArray answer;
        {
            std::lock_guard lock(m_mutex);
            answer = handle(message);
        }
        if (answer.isEmpty())
            continue;
        QByteArray out;
        out.append(char(answer.size() >> 8));
        out.append(char(answer.size() & 0xFF));
        out.append(answer);
        if (!sendAll(fd, out))
            break;
    }
    std::lock_guard lock(m_mutex);
    m_connected = false;
    m_reader.powerOff();
    trace(QStringLiteral("card out of the reader (connection closed)"));
}

QByteArray PcscSimulator::handle(const QByteArray &message)
{
    if (message.size() == 1) {
        switch (message.at(0)) {
        case PowerOff:
            m_reader.powerOff();
            trace(QStringLiteral("power off"));
            return {};
        case PowerOn:
            m_reader.powerOn();
            trace(QStringLiteral("power on"));
            return {};
        case Reset:
            m_reader.reset();
            trace(QStringLiteral("reset"));
            return {};
        case AtrRequest:
            return m_reader.atr(); // asked for often (presence checks): not traced
        default:
            trace(QStringLiteral("unknown control %1").arg(SimFrame::hex(message)));
            return {};
        }
    }
    m_apdus.append(message);
    const QByteArray answer = m_reader.answer(message);
    trace(QStringLiteral("C-APDU %1").arg(SimFrame::hex(message)));
    trace(QStringLiteral("R-APDU %1").arg(SimFrame::hex(answer)));
    return answer;
}

void PcscSimulator::trace(const QString &line) const
{
    if (m_trace)
        m_trace(line);
}

void PcscSimulator::setCard(std::unique_ptr<VirtualCard> card)
{
    std::lock_guard lock(m_mutex);
    m_reader.setCard(std::move(card));
    if (m_connected)
        m_reader.powerOn();
}

CardKind PcscSimulator::cardKind() const
{
    std::lock_guard lock(m_mutex);
    return m_reader.card().kind();
}

QByteArray PcscSimulator::cardUid() const
{
    std::lock_guard lock(m_mutex);
    return m_reader.card().uid();
}

QByteArray PcscSimulator::cardImage() const
{
    std::lock_guard lock(m_mutex);
    return m_reader.card().image();
}

bool PcscSimulator::setCardImage(const QByteArray &image)
{
    std::lock_guard lock(m_mutex);
    return m_reader.card().setImage(image);
}

void PcscSimulator::setValueCommands(bool on)
{
    std::lock_guard lock(m_mutex);
    m_reader.setValueCommands(on);
}

bool PcscSimulator::valueCommands() const
{
    std::lock_guard lock(m_mutex);
    return m_reader.valueCommands();
}

void PcscSimulator::withReader(const std::function<void(VirtualPcscReader &)> &fn)
{
    std::lock_guard lock(m_mutex);
    fn(m_reader);
}

QList<QByteArray> PcscSimulator::receivedApdus() const
{
    std::lock_guard lock(m_mutex);
    return m_apdus;
}

void PcscSimulator::setTraceSink(TraceSink sink)
{
    std::lock_guard lock(m_mutex);
    m_trace = std::move(sink);
}
