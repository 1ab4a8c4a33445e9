#include "FuzzTargets.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

void fuzzFailure(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "fuzz invariant broken: %s (%s:%d)\n", what, file, line);
    std::fflush(stderr);
    std::abort();
}

void fuzzEnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    static int argc = 1;
    static char name[] = "merlox-fuzz";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
