#include "cli/CliProgress.h"

#include <cstdio>
#include <unistd.h>

CliProgress::CliProgress()
    : m_shown(isatty(STDERR_FILENO) == 1)
{
}

void CliProgress::begin(const QString &title, int total)
{
    m_title = title;
    m_total = total;
}

void CliProgress::step(int done, const QString &what)
{
    if (!m_shown)
        return;
    m_open = true;
    const int percent = m_total > 0 ? done * 100 / m_total : 0;
    std::fprintf(stderr, "\r\033[K%s: %s (%d%%)", qPrintable(m_title), qPrintable(what), percent);
    std::fflush(stderr);
}

void CliProgress::end()
{
    if (!m_open)
        return;
    m_open = false;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
}
