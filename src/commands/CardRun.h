#pragma once

#include "commands/RunProgress.h"

#include <memory>

class QTimer;

// The one read-all or write-all run that may be going on. While a run is active no
// other action starts (grid double clicks and the run menu items are ignored) and
// Timer1 is held, so that a pending seek-mode read cannot fire between two blocks.
class CardRun
{
public:
    // Ends the run it was given when it goes out of scope, also when a port error
    // ends the run by an exception.
    class Scope
    {
    public:
        explicit Scope(CardRun &run) : m_run(run) {}
        ~Scope() { m_run.finish(); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        CardRun &m_run;
    };

    CardRun(QTimer &timer1, std::unique_ptr<RunProgress> progress);
    ~CardRun();

    [[nodiscard]] bool isActive() const { return m_active; }
    // Replaces the progress display (tests).
    void setProgress(std::unique_ptr<RunProgress> progress);

    // Starts a run of total steps; false when one is running already.
    [[nodiscard]] bool start(const QString &title, int total);
    // Before step done (counted from 0): false when the user cancelled.
    [[nodiscard]] bool step(int done, const QString &next);
    // Ends the run; Timer1 goes on if it was on. Does nothing when no run is active.
    void finish();

private:
    QTimer &m_timer1;
    std::unique_ptr<RunProgress> m_progress;
    bool m_active = false;
    bool m_timerWasActive = false;
};
