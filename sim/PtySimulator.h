#pragma once

#include "CardKind.h"
#include "FrameReader.h"
#include "KeyType.h"
#include "SimFault.h"
#include "VirtualModule.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Serves a VirtualModule on a pseudo-terminal, on a thread of its own, so that the
// program (or a test in the same process) opens portPath() as its serial port.
//
// The simulator keeps a slave descriptor of its own open, so the program may open
// and close the port as often as it likes. It reads the speed the program set on the
// line and understands only frames sent at the module's own speed. A request counts
// as received once its last byte would have come in at 10 bits per byte (the
// pseudo-terminal hands it over at once); answers go out paced the same way after
// the module's working time, and as noise when the line is at another speed by then.
// While idle the thread sleeps in poll().
//
// Every public function may be called from any thread.
class PtySimulator
{
public:
    using Clock = std::chrono::steady_clock;
    using TraceSink = std::function<void(const QString &line)>;

    // A null card puts a new Mifare 1K card with the default UID on the reader.
    explicit PtySimulator(std::unique_ptr<VirtualCard> card = {});
    ~PtySimulator();
    PtySimulator(const PtySimulator &) = delete;
    PtySimulator &operator=(const PtySimulator &) = delete;

public: // life cycle
    // Opens the pseudo-terminal and starts serving. False (with a reason) on failure.
    [[nodiscard]] bool start(QString *error = nullptr);
    // Stops serving and closes the pseudo-terminal; pending answers are dropped.
    void stop();
    [[nodiscard]] bool isRunning() const;
    // The slave device, for example "/dev/pts/4"; empty before start().
    [[nodiscard]] QString portPath() const;
    // Receives one readable line per frame in or out and per oddity on the line.
    // Called on the serving thread with the simulator locked: the sink must not call
    // back into the simulator.
    void setTraceSink(TraceSink sink);

public: // traffic
    // Request frames the module understood, in order of arrival.
    [[nodiscard]] QList<QByteArray> receivedFrames() const;
    // Answers as they went out on the line (after faults and line noise).
    [[nodiscard]] QList<QByteArray> sentFrames() const;
    // Bytes thrown away because the line was at another speed.
    [[nodiscard]] qint64 ignoredByteCount() const;
    void clearTraffic();
    // Block until that many frames were received / sent in all, or the time is up.
    [[nodiscard]] bool waitForReceivedFrames(int count, int timeoutMs) const;
    [[nodiscard]] bool waitForSentFrames(int count, int timeoutMs) const;
    // Block until no answer is waiting to go out.
    [[nodiscard]] bool waitUntilIdle(int timeoutMs) const;

public: // the field and the card
    void setTagPresent(bool present);
    [[nodiscard]] bool tagPresent() const;
    void setCard(std::unique_ptr<VirtualCard> card);
    [[nodiscard]] CardKind cardKind() const;
    [[nodiscard]] QByteArray cardUid() const;
    // Raw card memory, keys included.
    [[nodiscard]] QByteArray cardImage() const;
    [[nodiscard]] bool setCardImage(const QByteArray &image);
    // Runs fn with the module locked: for anything the accessors here do not cover
    // (a Classic card's keys, an Ultralight card's pages, ...).
    void withModule(const std::function<void(VirtualModule &)> &fn);

public: // the module
    [[nodiscard]] qint32 moduleSpeed() const;
    bool setModuleSpeed(qint32 speed);
    // The speed the program set on the line; 0 when not running.
    [[nodiscard]] qint32 lineSpeed() const;
    void setCardTimeMs(int ms);
    void setResetLate(bool late);
    void setLateDelayMs(int ms);
    void setInputPins(quint8 pins);
    [[nodiscard]] quint8 outputPins() const;
    [[nodiscard]] bool rfFieldOn() const;
    [[nodiscard]] QByteArray storedKey(int slot, KeyType key) const;
    void setStoredKey(int slot, KeyType key, const QByteArray &bytes);
    void injectFault(SimFault fault, int count = 1);
    void clearFaults();

private:
    struct Outgoing {
        QByteArray bytes;
        Clock::time_point notBefore;
        QString note;
        qsizetype sent = 0;
        bool started = false;
        Clock::duration byteTime{};
    };

    void serve();
    void readInput();
    void sendDue(Clock::time_point now);
    // Queues the module's answers and whatever it sends unasked. Mutex held.
    void schedule(const QList<SimAnswer> &answers, Clock::time_point now);
    void scheduleUnsolicited();
    // Mutex held, so stop() cannot close the pipe meanwhile.
    void wake() const;
    // Mutex held.
    void trace(const QString &line) const;
    [[nodiscard]] qint32 lineSpeedLocked() const;
    [[nodiscard]] qint64 elapsedMs(Clock::time_point t) const;
    // When the serving thread must next wake to send. Mutex held; queue not empty.
    [[nodiscard]] Clock::time_point nextSendTime() const;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    VirtualModule m_module;
    FrameReader m_reader; // serving thread only
    std::deque<Outgoing> m_outgoing;
    Clock::time_point m_lineFreeAt{};
    // Receiving side: when the partial frame in m_reader began to arrive, and when
    // the last request received so far was complete on the line.
    Clock::time_point m_frameBegunAt{};
    Clock::time_point m_receivedUntil{};
    QList<QByteArray> m_received;
    QList<QByteArray> m_sent;
    qint64 m_ignored = 0;
    TraceSink m_trace;
    Clock::time_point m_startedAt{};

    int m_masterFd = -1;
    int m_slaveFd = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    QString m_portPath;
    bool m_stopping = false;
    std::thread m_thread;
};
