#pragma once

// What the benchmarks share: dialogs that say Yes to every question and keep quiet
// otherwise, and the process's CPU time.

#include "base/UserDialogs.h"

#include <sys/resource.h>

#include <cstdio>

class YesDialogs : public UserDialogs
{
public:
    int errors = 0;
    void showMessage(const QString &) override {}
    void showError(const QString &text) override
    {
        ++errors;
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
    }
    void showWarning(const QString &text) override { showError(text); }
    bool askYesNo(const QString &, const QString &) override { return true; }
    Choice askSaveDiscardCancel(const QString &, const QString &) override { return Choice::Discard; }
    bool askBeforeIrreversible(const QString &, const QString &) override { return true; }
    QString openFileName(const QStringList &, QString *, const QString &) override { return {}; }
    QString saveFileName(const QStringList &, QString *, const QString &) override { return {}; }
};

// User and system CPU seconds of this process (or of its children, RUSAGE_CHILDREN).
inline double cpuSeconds(int who = RUSAGE_SELF)
{
    rusage usage {};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
         + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
