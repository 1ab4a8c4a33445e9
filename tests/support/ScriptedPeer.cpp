#include "ScriptedPeer.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

ScriptedPeer::ScriptedPeer()
{
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        return;
    termios tio {};
    tcgetattr(m_slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(m_slave, TCSANOW, &tio);
    m_path = QString::fromLocal8Bit(name);
    if (pipe(m_wake) != 0)
        return;
    m_thread = std::thread([this] { run(); });
}

ScriptedPeer::~ScriptedPeer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    if (m_wake[1] >= 0)
        (void)::write(m_wake[1], "x", 1);
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : {m_master, m_slave, m_wake[0], m_wake[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void ScriptedPeer::answer(const QByteArray &bytes, int delayMs)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back({bytes, delayMs});
}

void ScriptedPeer::sendNow(const QByteArray &bytes)
{
    std::lock_guard lock(m_mutex);
    if (m_master >= 0)
        (void)::write(m_master, bytes.constData(), size_t(bytes.size()));
}

QList<QByteArray> ScriptedPeer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void ScriptedPeer::hangUp()
{
    // The peer thread may be inside poll() on the master: closed from here, the pty
    // would stay alive until that poll returned. The thread closes both ends itself.
    std::unique_lock lock(m_mutex);
    if (m_master < 0 || m_wake[1] < 0)
        return;
    (void)::write(m_wake[1], "h", 1);
    m_hungUp.wait(lock, [this] { return m_master < 0; });
}

void ScriptedPeer::run()
{
    for (;;) {
        int master;
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return;
            master = m_master;
        }
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {master, POLLIN, 0}};
        const int count = master >= 0 ? 2 : 1;
        if (poll(fds, nfds_t(count), -1) < 0)
            continue;
        if (fds[0].revents & POLLIN) {
            char wake = 0;
            (void)::read(m_wake[0], &wake, 1);
            if (wake != 'h')
                return;
            std::lock_guard lock(m_mutex);
            for (int *fd : {&m_slave, &m_master}) {
                if (*fd >= 0)
                    ::close(*fd);
                *fd = -1;
            }
            m_hungUp.notify_all();
            continue;
        }
        if (count < 2 || !(fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        char buffer[256];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            // The program closed the port: wait a little for it to come back.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        std::unique_lock lock(m_mutex);
        m_pending.append(buffer, int(n));
        // A request is FF 00 Length, then Length + 1 bytes.
        while (m_pending.size() >= 3 && m_pending.size() >= 4 + quint8(m_pending.at(2))) {
            const int size = 4 + quint8(m_pending.at(2));
            m_requests.append(m_pending.left(size));
            m_pending.remove(0, size);
            if (m_answers.empty())
                continue;
            const Answer next = m_answers.front();
            m_answers.pop_front();
            lock.unlock();
            if (next.delayMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(next.delayMs));
            lock.lock();
            if (!next.bytes.isEmpty() && m_master >= 0)
                (void)::write(m_master, next.bytes.constData(), size_t(next.bytes.size()));
        }
    }
}
