#pragma once

#include "card/CardType.h"
#include "commands/WritePlan.h"

#include <QByteArray>

// Where the card commands put what they read and find what Write All is to write,
// besides the log and status text that the reader writes: the card image (the main
// window's grids), the read strip text, and the hex view the grids must be in before
// card bytes land in them. The commands never see a grid: the main window implements
// this over its grids; a command-line tool or a test may keep a card image of its own.
class CommandSink
{
public:
    virtual ~CommandSink() = default;

    // A read with "Get data blocks to grid" on answered a block: 16 bytes of a Classic
    // block (a sector trailer too, its keys read as zeros) or 4 bytes of an Ultralight
    // page.
    virtual void blockRead(CardType type, int number, const QByteArray &bytes) = 0;
    // What Write All of a card type is to send and ask, from the card image kept.
    [[nodiscard]] virtual WritePlan writePlan(CardType type) = 0;
    // The grids back in hexadecimal (the ASCII view off).
    virtual void gridsToHex() = 0;
    // The text the read strip shows: the last block read, or the last value.
    virtual void setLastReadText(const QByteArray &text) = 0;
    // Shows the read strip under a row of a grid; row -1: the grid's current row.
    virtual void showReadStrip(CardType type, int row) = 0;
    // A line in the log that no reader exchange wrote (a run's cancellation).
    virtual void appendLine(const QByteArray &line) = 0;
};
