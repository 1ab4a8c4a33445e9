#pragma once

#include "pcsc/PcscFailure.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

class PcscContext;

// Waits for a card in a PC/SC reader on a worker thread, blocked in the daemon's status
// change wait (no polling), so that the window stays responsive. Results arrive as
// signals on the waiter's own thread through its event loop; after cancel() or a new
// start() nothing more arrives from the earlier wait.
class PcscCardWaiter : public QObject
{
    Q_OBJECT

public:
    explicit PcscCardWaiter(QObject *parent = nullptr);
    ~PcscCardWaiter() override;

    enum class Wait {
        ForCard,    // a card already there is reported at once
        ForNewCard, // a card already there counts only once it has been taken away
    };

    // Starts waiting for a card in the reader.
    void start(const QString &reader, Wait wait = Wait::ForCard);
    // Ends the wait; returns when the worker has stopped.
    void cancel();
    [[nodiscard]] bool isWaiting() const { return m_thread.joinable() && !m_done; }

signals:
    // A card is in the reader (select it to use it).
    void cardPresent(const QString &reader);
    // The wait ended without a card: failure and its message (what to do).
    void failed(PcscFailure failure, const QString &message);

private:
    void run(std::shared_ptr<PcscContext> context, QString reader, Wait wait, quint64 generation);
    void deliver(quint64 generation, PcscFailure failure, const QString &reader, long code);

    std::shared_ptr<PcscContext> m_context;
    std::thread m_thread;
    std::atomic<bool> m_done{true};
    std::atomic<quint64> m_generation{0};
};
