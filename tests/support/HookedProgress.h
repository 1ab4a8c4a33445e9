#pragma once

#include "commands/RunProgress.h"

#include <functional>

// A run's progress display that never cancels: it counts the steps and the ends, and
// lets a test act before each step (a port pulled away, a card taken out).
struct HookedProgress : RunProgress
{
    int steps = 0;
    int ended = 0;
    std::function<void(int done)> atStep = [](int) {};

    void begin(const QString &, int) override {}
    bool advance(int done, const QString &) override
    {
        ++steps;
        atStep(done);
        return true;
    }
    void end() override { ++ended; }
};
