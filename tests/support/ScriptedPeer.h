#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// A scripted far end on a pseudo-terminal: for every complete request frame it
// receives it writes the next scripted answer (possibly nothing, or after a delay).
// Used to test the frame exchange without the module simulator.
class ScriptedPeer
{
public:
    struct Answer {
        QByteArray bytes;
        int delayMs = 0;
    };

    ScriptedPeer();
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer &) = delete;
    ScriptedPeer &operator=(const ScriptedPeer &) = delete;

    // Path of the pseudo-terminal's slave, to open as the serial port.
    [[nodiscard]] QString portPath() const { return m_path; }

    // Queues the answer to the next request.
    void answer(const QByteArray &bytes, int delayMs = 0);
    // Sends bytes at once, unasked.
    void sendNow(const QByteArray &bytes);
    // Request frames received so far.
    [[nodiscard]] QList<QByteArray> requests() const;
    // Closes the master side: the far end disappears.
    void hangUp();

private:
    void run();

    int m_master = -1;
    int m_slave = -1;
    int m_wake[2] = {-1, -1};
    QString m_path;
    mutable std::mutex m_mutex;
    std::condition_variable m_hungUp;
    std::deque<Answer> m_answers;
    QList<QByteArray> m_requests;
    QByteArray m_pending;
    bool m_stop = false;
    std::thread m_thread;
};
