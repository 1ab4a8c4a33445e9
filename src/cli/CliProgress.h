#pragma once

#include <QString>

// Progress of a whole-card run on stderr, one line rewritten in place, and only when
// stderr is a terminal: a script that captures stderr gets the messages alone.
class CliProgress
{
public:
    CliProgress();
    // For tests and for output that is not a terminal.
    explicit CliProgress(bool shown) : m_shown(shown) {}
    ~CliProgress() { end(); }

    void begin(const QString &title, int total);
    void step(int done, const QString &what);
    // Clears the line.
    void end();

private:
    bool m_shown = false;
    bool m_open = false;
    QString m_title;
    int m_total = 0;
};
