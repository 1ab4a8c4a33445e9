#pragma once

#include <QString>

// The progress shown during a read-all or write-all run, with a way to cancel it.
// QtRunProgress is the modal dialog; tests put in one that cancels on cue.
class RunProgress
{
public:
    virtual ~RunProgress() = default;

    virtual void begin(const QString &title, int total) = 0;
    // Shows that done of total steps are finished and what comes next. False once the
    // user has asked to cancel: the run stops before its next step.
    [[nodiscard]] virtual bool advance(int done, const QString &next) = 0;
    virtual void end() = 0;
};
