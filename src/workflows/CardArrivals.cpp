#include "workflows/CardArrivals.h"

#include "reader/CardReader.h"

#include <QTimer>

CardArrivals::CardArrivals(CardReader &reader, CardType type, QObject *parent)
    : QObject(parent)
    , m_reader(reader)
    , m_type(type)
{
    m_reader.setTagArrived([this] {
        m_arrived = true;
        m_loop.quit();
    });
}

CardArrivals::~CardArrivals()
{
    m_reader.setTagArrived({});
}

void CardArrivals::stop()
{
    m_stopped = true;
    m_loop.quit();
}

void CardArrivals::rest(int ms)
{
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &m_loop, &QEventLoop::quit);
    timer.start(ms);
    while (!m_stopped && timer.isActive())
        m_loop.exec();
}

CardPresence CardArrivals::next()
{
    // The card left on the reader: a reader that can tell when the field is empty
    // waits for the next card at once instead of looking again after a pause.
    const bool newCard = m_stillThere && m_reader.capabilities().seekNewCard;
    if (m_pause && !newCard && !m_stopped)
        rest(PauseMs);
    if (m_stopped)
        return {CardPresence::Kind::Stop, {}};
    m_arrived = false;
    m_stillThere = false;
    ReaderResult found = newCard ? m_reader.seekNewCard(m_type) : m_reader.seek(m_type);
    const bool waited = found.outcome == ReaderOutcome::Waiting;
    if (waited) {
        while (!m_stopped && !m_arrived && m_reader.seekWaiting())
            m_loop.exec();
        if (m_stopped) {
            // Any command ends the seek: the module stops looking, the PC/SC wait is
            // cancelled. Nothing is reported for it afterwards.
            (void)m_reader.halt();
            return {CardPresence::Kind::Stop, {}};
        }
        // The report said a tag came; selecting it gives its UID through every reader.
        found = m_reader.select(m_type);
    }
    if (!found.ok() || found.data.isEmpty()) {
        m_pause = true;
        return {CardPresence::Kind::NoCard, {}};
    }
    const QByteArray uid = found.data.trimmed().toUpper();
    // A card that came after the field was empty is new, whatever its UID.
    m_pause = uid == m_lastUid && !newCard;
    m_stillThere = m_pause && !waited;
    m_lastUid = uid;
    return {CardPresence::Kind::Card, uid, waited};
}
