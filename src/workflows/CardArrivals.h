#pragma once

#include "card/CardType.h"
#include "workflows/BatchWrite.h"

#include <QByteArray>
#include <QEventLoop>
#include <QObject>

class CardReader;

// The cards that come to a reader one after the other, for a batch: each look is the
// reader's own seek, and while no card is there the caller is blocked in an event loop
// (the serial module's unasked tag report, the PC/SC daemon's status change wake it),
// so waiting sends nothing and costs no CPU. A card reported again right after its
// turn is still on the reader: a reader that can (seekNewCard) waits until it is taken
// away and a card comes; otherwise the next look comes only after a pause, as after a
// reader that found no card. stop() ends a wait at once, and the seek with it.
class CardArrivals : public QObject
{
    Q_OBJECT

public:
    // How long a card left on the reader, or a reader that answered without a card,
    // rests before the next look.
    static constexpr int PauseMs = 500;

    CardArrivals(CardReader &reader, CardType type, QObject *parent = nullptr);
    ~CardArrivals() override;

    // Blocks until a card is there (its UID as the reader gives it, trimmed, upper
    // case; arrived when the seek had to wait for it), the reader found none, or
    // stop() was called.
    [[nodiscard]] CardPresence next();
    // Ends the wait; every later next() says Stop.
    void stop();
    [[nodiscard]] bool stopped() const { return m_stopped; }

private:
    // Runs the event loop for ms, or until stop().
    void rest(int ms);

    CardReader &m_reader;
    CardType m_type;
    QEventLoop m_loop;
    QByteArray m_lastUid;
    bool m_pause = false;   // rest before the next look
    bool m_stillThere = false; // the last look found the card before it again, no wait
    bool m_arrived = false; // the waiting seek reported its tag
    bool m_stopped = false;
};
