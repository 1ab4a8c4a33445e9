// Times the two grid operations that must feel instant on the 258-row Mifare 4K grid:
// a change of the selected cell (which tidies the whole grid) and a full repaint.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./bench_grid

#include "view/CardGridModel.h"
#include "windows/CardGridView.h"
#include "windows/CardGrids.h"
#include "view/GridEditing.h"
#include "view/GridLayout.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStyledItemDelegate>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>

namespace {

struct Stats {
    double wallMedian = 0; // elapsed time, includes waiting on a busy machine
    double cpuMedian = 0;  // this thread's processor time: the work itself
    double cpuMax = 0;
};

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Times step(i) over runs; prepare(i), when given, runs first and is not timed.
Stats measure(int runs, const std::function<void(int)> &step, const std::function<void(int)> &prepare = {})
{
    QVector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare(i);
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        step(i);
        cpu << threadCpuMs() - cpuStart;
        wall << timer.nsecsElapsed() / 1e6;
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall.at(runs / 2), cpu.at(runs / 2), cpu.last()};
}

void report(QTextStream &out, const char *what, const Stats &s)
{
    out << qSetFieldWidth(46) << Qt::left << what << qSetFieldWidth(0)
        << "cpu median " << QString::number(s.cpuMedian, 'f', 2) << " ms, cpu max " << QString::number(s.cpuMax, 'f', 2)
        << " ms, wall median " << QString::number(s.wallMedian, 'f', 2) << " ms\n";
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    CardGrids grids;
    grids.resize(817, 382);
    grids.applyLayouts();
    for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL})
        GridLayout::fillDefaults(grids.model(type));
    grids.showOnly(CardType::Mifare4K);
    grids.show();
    QCoreApplication::processEvents();

    CardGridView &view = grids.view(CardType::Mifare4K);
    CardGridModel &grid = grids.model(CardType::Mifare4K);
    // Cells within the rows shown at the top, and cells far apart (the move scrolls).
    const CellPos near[] = {{2, 3}, {17, 10}, {23, 12}, {5, 15}};
    const CellPos cells[] = {{2, 3}, {17, 200}, {23, 130}, {5, 257}};

    // The grid is already tidy; a move repaints the two cells involved (processEvents
    // runs that paint), a far move scrolls and repaints the whole grid.
    report(out, "4K selection change, visible cell", measure(400, [&](int i) {
        view.selectCell(near[i % 4]);
        QCoreApplication::processEvents();
    }));
    report(out, "4K selection change, scrolling", measure(400, [&](int i) {
        view.selectCell(cells[i % 4]);
        QCoreApplication::processEvents();
    }));

    // Worst case: every byte and value cell needs tidying on the move.
    const auto untidy = [&](int) {
        for (int row = 3; row < grid.rows(); ++row) {
            for (int c = 2; c <= 17; ++c)
                grid.setCell(c, row, "a");
            grid.setCell(23, row, "7");
        }
        QCoreApplication::processEvents();
    };
    const auto move = [&](int i) {
        view.selectCell(cells[i % 4]);
        QCoreApplication::processEvents();
    };
    report(out, "4K selection change, scrolling, all untidy", measure(20, move, untidy));

    report(out, "4K NormalizeGrid alone (tidy grid)", measure(400, [&](int) { NormalizeGrid(grid, false); }));

    report(out, "4K full repaint", measure(200, [&](int) { view.viewport()->repaint(); }));

    grids.setGetData(false);
    grids.setLastReadText(" 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ascii: ");
    report(out, "4K full repaint with read strip", measure(200, [&](int) {
        grids.showReadStrip(CardType::Mifare4K, view.rowAt(40));
        view.viewport()->repaint();
    }));

    // Reference: the same view painted by the toolkit's standard delegate.
    QAbstractItemDelegate *own = view.itemDelegate();
    QStyledItemDelegate plain;
    view.setItemDelegate(&plain);
    report(out, "reference: toolkit delegate, full repaint", measure(200, [&](int) { view.viewport()->repaint(); }));
    view.setItemDelegate(own);

    report(out, "ASCII/HEX switch over all three grids", measure(20, [&](int i) {
        grids.setAsciiView(i % 2 == 0);
        view.viewport()->repaint();
    }));
    return 0;
}
