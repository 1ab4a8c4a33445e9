#pragma once

#include "card/CardType.h"

#include <QByteArray>

#include <functional>

class CardReader;
class CommandSink;
class TagCommands;

// Reading and writing one Classic block or Ultralight page, and handing what was read
// to the sink (the card's grid).
//
// Each command takes the caller's result text: "error" on failure, otherwise left as
// it was, except that ReadBlockToGrid sets "ok" and a block write whose read-back
// failed sets "no_error". Callers test only for "error". Port errors throw (EComPort);
// callers run them inside guardAction.
class BlockCommands
{
public:
    // The card type and "Get data" come from the tag commands' options.
    BlockCommands(CardReader &reader, TagCommands &tags, CommandSink &sink);

    // Reads a block, or for Mifare UL four pages from the page on (wrapping after
    // page 15); then LastReadText and, with "Get data blocks to grid" on, the grid
    // rows through the sink (which keeps sector trailers). Sets "ok" on success.
    void ReadBlockToGrid(int block, QByteArray &result);
    // Writes 16 bytes; the reader reads the block back to verify.
    void WriteBlock(const QByteArray &data, int block, QByteArray &result);
    // Writes bytes 0..3 of data to an Ultralight page.
    void WritePage(const QByteArray &data, int page, QByteArray &result);

    // Told of each block (Ultralight: page) whose bytes the card is known to hold: read
    // and handed to the sink (not a trailer: its keys read as zeros), or written.
    using OnCard = std::function<void(CardType type, int block, const QByteArray &bytes)>;
    void setOnCard(OnCard onCard) { m_onCard = std::move(onCard); }

    // The read strip text of a read answer: " XX" for each of the 16 data bytes,
    // " ascii: ", then the characters of the non-zero bytes.
    [[nodiscard]] static QByteArray lastReadText(const QByteArray &sixteenBytes);

private:
    void copyToGrid(int block, const QByteArray &sixteenBytes);

    CardReader &m_reader;
    TagCommands &m_tags;
    CommandSink &m_sink;
    OnCard m_onCard;
};
