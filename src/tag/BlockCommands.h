#pragma once

#include "link/ModuleResponse.h"
#include "card/CardType.h"

#include <QByteArray>

#include <functional>

class CardGrids;
struct MainWindowUi;
class ModuleLink;

// Reading and writing one Classic block or Ultralight page, and copying what was read
// into the card's grid.
//
// Each command takes the caller's result text: "error" on failure, otherwise left as
// it was, except that ReadBlockToGrid sets "ok" and a block write whose read-back
// failed sets "no_error". Callers test only for "error". Port errors throw (EComPort);
// callers run them inside guardAction.
class BlockCommands
{
public:
    BlockCommands(MainWindowUi &ui, ModuleLink &link, CardGrids &grids, std::function<CardType()> cardType);

    // FF 00 02 86: reads a block, or for Mifare UL four pages from the page on
    // (wrapping after page 15). echo gets the response's column text, data its data
    // text; both are "error"/empty after a failure.
    void ReadBlock(QByteArray &echo, QByteArray &data, int block, QByteArray &result);
    // ReadBlock, then LastReadText and, with "Get data blocks to grid" on, the grid
    // rows (sector trailers are never overwritten). Sets "ok" on success.
    void ReadBlockToGrid(int block, QByteArray &result);
    // FF 00 12 89: writes 16 bytes; the module reads the block back to verify.
    void WriteBlock(const QByteArray &data, int block, QByteArray &result);
    // FF 00 06 8B: writes bytes 0..3 of data to an Ultralight page.
    void WritePage(const QByteArray &data, int page, QByteArray &result);

    // The read strip text of a read answer: " XX" for each of the 16 data bytes,
    // " ascii: ", then the characters of the non-zero bytes.
    [[nodiscard]] static QByteArray lastReadText(const QByteArray &sixteenBytes);
    // "p-(p+1)-(p+2)-(p+3)", page numbers wrapping after 15.
    [[nodiscard]] static QByteArray pageRun(int page);

private:
    // ReadBlock's exchange and outcomes; the answer, whose frame holds the 16 data
    // bytes when the result is not "error".
    [[nodiscard]] ModuleResponse read(int block, QByteArray &result);
    void switchAsciiOff();
    void copyToGrid(int block, const QByteArray &sixteenBytes);

    MainWindowUi &m_ui;
    ModuleLink &m_link;
    CardGrids &m_grids;
    std::function<CardType()> m_cardType;
};
