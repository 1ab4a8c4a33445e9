#include "pcsc/PcscCardWaiter.h"

#include "pcsc/PcscContext.h"

#include <QMetaObject>

#include <chrono>
#include <winscard.h>

PcscCardWaiter::PcscCardWaiter(QObject *parent)
    : QObject(parent)
{
}

PcscCardWaiter::~PcscCardWaiter()
{
    cancel();
}

void PcscCardWaiter::start(const QString &reader, Wait wait)
{
    cancel();
    const quint64 generation = ++m_generation;
    auto context = std::make_shared<PcscContext>();
    const long rv = context->establish();
    if (rv != SCARD_S_SUCCESS) {
        deliver(generation, PcscErrors::failureOf(rv), reader, rv);
        return;
    }
    m_context = context;
    m_done = false;
    m_thread = std::thread([this, context, reader, wait, generation] { run(context, reader, wait, generation); });
}

void PcscCardWaiter::cancel()
{
    ++m_generation; // results of the running wait are dropped from here on
    if (!m_thread.joinable())
        return;
    // A cancel sent before the worker has entered the daemon's wait is lost, so it is
    // repeated until the worker has ended (at once in practice).
    while (!m_done) {
        m_context->cancel();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_thread.join();
    m_context.reset();
}

void PcscCardWaiter::run(std::shared_ptr<PcscContext> context, QString reader, Wait wait, quint64 generation)
{
    unsigned long state = 0; // unaware: the first answer tells the present state
    long rv = SCARD_S_SUCCESS;
    PcscFailure failure = PcscFailure::None;
    bool emptied = wait == Wait::ForCard; // a card counts once the field was empty
    for (;;) {
        rv = context->waitForChange(reader, &state);
        if (rv != SCARD_S_SUCCESS) {
            failure = PcscErrors::failureOf(rv);
            break;
        }
        if (state & (PcscContext::StateUnknown | PcscContext::StateUnavailable)) {
            failure = PcscFailure::ReaderGone;
            break;
        }
        if (state & PcscContext::StateEmpty)
            emptied = true;
        if (emptied && (state & PcscContext::StatePresent) && !(state & PcscContext::StateMute))
            break;
    }
    if (rv != SCARD_E_CANCELLED)
        deliver(generation, failure, reader, rv);
    m_done = true;
}

void PcscCardWaiter::deliver(quint64 generation, PcscFailure failure, const QString &reader, long code)
{
    // Queued to the waiter's thread; a wait cancelled meanwhile has a stale generation.
    QMetaObject::invokeMethod(
        this,
        [this, generation, failure, reader, code] {
            if (generation != m_generation)
                return;
            if (failure == PcscFailure::None)
                emit cardPresent(reader);
            else
                emit failed(failure, PcscErrors::message(failure, reader, code));
        },
        Qt::QueuedConnection);
}
