// Read All and Write All of Mifare 1K and 4K cards through the module simulator on a
// pseudo-terminal, the simulator pacing every byte at the line speed and spending a
// card time on each operation. For each case it prints the wall time, the floor (the
// wire time of every frame in and out at 10 bits per byte plus the card times), their
// ratio, and the process CPU time as a share of the wall time.
//
//   QT_QPA_PLATFORM=offscreen ./bench_readwriteall [card-time-ms]

#include "ClassicCard.h"
#include "PtySimulator.h"
#include "VirtualCard.h"

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/ProgramWindows.h"
#include "app/SettingsFile.h"
#include "app/UserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Says Yes to every question and keeps quiet otherwise.
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
    bool askYesNo(const QString &, const QString &) override { return true; }
    QString openFileName(const QStringList &, QString *) override { return {}; }
    QString saveFileName(const QStringList &, QString *) override { return {}; }
};

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
         + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Result {
    double wallMs = 0;
    double floorMs = 0;
    double cpuShare = 0;
    int exchanges = 0;
};

// Floor of the traffic the simulator saw: bytes at 10 bits each, plus one card time
// per request.
double floorMs(const PtySimulator &sim, int speed, int cardTimeMs)
{
    qint64 bytes = 0;
    const QList<QByteArray> in = sim.receivedFrames();
    for (const QByteArray &frame : in)
        bytes += frame.size();
    for (const QByteArray &frame : sim.sentFrames())
        bytes += frame.size();
    return double(bytes) * 10.0 * 1000.0 / speed + double(in.size()) * cardTimeMs;
}

Result measure(PtySimulator &sim, QAction *action, int speed, int cardTimeMs)
{
    sim.clearTraffic();
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    action->trigger();
    Result result;
    result.wallMs = double(clock.nsecsElapsed()) / 1e6;
    result.cpuShare = (cpuSeconds() - cpu0) * 1000.0 / result.wallMs;
    (void)sim.waitUntilIdle(1000);
    result.floorMs = floorMs(sim, speed, cardTimeMs);
    result.exchanges = int(sim.receivedFrames().size());
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int cardTimeMs = argc > 1 ? std::atoi(argv[1]) : 5;

    struct Speed {
        int bits;
        int baudIndex;
        double target;
    };
    const Speed speeds[] = {{115200, 4, 1.30}, {9600, 0, 1.10}};
    bool allMet = true;

    std::printf("card time %d ms per operation\n", cardTimeMs);
    std::printf("%-8s %-6s %-10s %9s %6s %10s %10s %7s %7s\n", "speed", "card", "run", "exchanges", "", "wall ms",
                "floor ms", "ratio", "cpu %");
    for (const Speed &speed : speeds) {
        for (const bool is4K : {false, true}) {
            PtySimulator sim(std::make_unique<ClassicCard>(
                is4K, VirtualCard::defaultUid(is4K ? CardKind::Classic4K : CardKind::Classic1K)));
            sim.setModuleSpeed(speed.bits);
            sim.setCardTimeMs(cardTimeMs);
            QString error;
            if (!sim.start(&error)) {
                std::fprintf(stderr, "simulator: %s\n", qPrintable(error));
                return 2;
            }
            QTemporaryDir dir;
            SettingsFile settings(dir.filePath(QStringLiteral("merlox_mifare_cnf.txt")));
            YesDialogs dialogs;
            ProgramWindows windows(settings, dialogs);
            MainWindow &main = windows.main();
            MainWindowUi &ui = main.ui();
            ui.cmb_port->addItem(sim.portPath());
            ui.cmb_port->setCurrentIndex(ui.cmb_port->count() - 1);
            ui.cmb_baud->setCurrentIndex(speed.baudIndex);
            ui.cmb_tag_type->setCurrentIndex(is4K ? 1 : 0);
            main.tag_changeClick();
            ui.cb_select->setChecked(false);
            main.show();

            const struct {
                const char *name;
                QAction *action;
            } runs[] = {{"read all", ui.readAll}, {"write all", ui.writeAll}};
            for (const auto &run : runs) {
                const Result r = measure(sim, run.action, speed.bits, cardTimeMs);
                const double ratio = r.wallMs / r.floorMs;
                const bool met = ratio <= speed.target && r.cpuShare <= 0.02 && dialogs.errors == 0;
                allMet = allMet && met;
                std::printf("%-8d %-6s %-10s %9d %6s %10.1f %10.1f %7.3f %7.2f%s\n", speed.bits, is4K ? "4K" : "1K",
                            run.name, r.exchanges, "", r.wallMs, r.floorMs, ratio, r.cpuShare * 100.0,
                            met ? "" : "  (target missed)");
            }
            main.close();
        }
    }
    std::printf("targets: ratio <= 1.10 at 9600, <= 1.30 at 115200; cpu <= 2%% of wall time: %s\n",
                allMet ? "met" : "NOT met");
    return allMet ? 0 : 1;
}
