#pragma once

#include "card/CardType.h"

#include <QByteArray>

class CardGridModel;

// Where the card commands put what they read, besides the log and status text that
// the reader writes: the card grids, the read strip text, and the hex view the grids
// must be in before card bytes land in them. The main window implements it; a
// command-line tool or a test may keep grids of its own.
class CommandSink
{
public:
    virtual ~CommandSink() = default;

    // The grid of a card type.
    [[nodiscard]] virtual CardGridModel &grid(CardType type) = 0;
    // The grids back in hexadecimal (the ASCII view off).
    virtual void gridsToHex() = 0;
    // The text the read strip shows: the last block read, or the last value.
    virtual void setLastReadText(const QByteArray &text) = 0;
    // Shows the read strip under a row of a grid; row -1: the grid's current row.
    virtual void showReadStrip(CardType type, int row) = 0;
    // A line in the log that no reader exchange wrote (a run's cancellation).
    virtual void appendLine(const QByteArray &line) = 0;
};
