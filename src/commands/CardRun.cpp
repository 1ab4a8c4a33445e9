#include "commands/CardRun.h"

#include <QTimer>

CardRun::CardRun(QTimer &timer1, std::unique_ptr<RunProgress> progress)
    : m_timer1(timer1)
    , m_progress(std::move(progress))
{
}

CardRun::~CardRun() = default;

void CardRun::setProgress(std::unique_ptr<RunProgress> progress)
{
    m_progress = std::move(progress);
}

bool CardRun::start(const QString &title, int total)
{
    if (m_active)
        return false;
    m_active = true;
    m_timerWasActive = m_timer1.isActive();
    m_timer1.stop();
    m_progress->begin(title, total);
    return true;
}

bool CardRun::step(int done, const QString &next)
{
    return m_progress->advance(done, next);
}

void CardRun::finish()
{
    if (!m_active)
        return;
    m_progress->end();
    m_active = false;
    if (m_timerWasActive)
        m_timer1.start();
}
