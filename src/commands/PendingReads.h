#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QObject>

#include <functional>

class BlockCommands;
class CardReader;
class CommandSink;
class QTimer;
class TagCommands;
class UserDialogs;

// Reads that a caller in seek mode leaves for later: the caller stores what is to be
// read, starts the seek and switches Timer1 on; the first tick after the reader has
// taken the seek's answer switches the timer off and does the reading. Everything
// runs on the user-interface thread, so the timer never fires while a command
// exchange is in progress.
class PendingReads : public QObject
{
    Q_OBJECT

public:
    // Steps of a pending read-all: given "1", "4" or "U", reads the card; false when
    // it stopped at an "error".
    using ReadAllRun = std::function<bool(const QByteArray &cardKind)>;

    PendingReads(QTimer &timer, CardReader &reader, TagCommands &tags, BlockCommands &blocks, CommandSink &sink,
                 UserDialogs &dialogs, QObject *parent = nullptr);

public: // what the timer is to complete
    // PendingBlock: the block or page of a single read.
    [[nodiscard]] int pendingBlock() const { return m_pendingBlock; }
    void setPendingBlock(int block) { m_pendingBlock = block; }
    // PendingGrid: "1", "4" or "U", the grid that shows the read strip afterwards
    // (set only when "Get data blocks to grid" is off), or empty.
    [[nodiscard]] const QByteArray &pendingGrid() const { return m_pendingGrid; }
    void setPendingGrid(const QByteArray &grid) { m_pendingGrid = grid; }
    // PendingReadAll: "1", "4" or "U" for a read-all run, or empty for a single read.
    [[nodiscard]] const QByteArray &pendingReadAll() const { return m_pendingReadAll; }
    void setPendingReadAll(const QByteArray &kind) { m_pendingReadAll = kind; }
    // The read-all run; without one a pending read-all is dropped.
    void setReadAllRun(ReadAllRun run) { m_readAllRun = std::move(run); }

    // Switches Timer1 on; called right after the seek, whatever its result.
    void waitForTag();

public Q_SLOTS:
    // The tick of Timer1 (every 50 ms while it is on).
    void Timer1Timer();

private:
    // Runs the pending work; false when a step stopped on "error".
    [[nodiscard]] bool completePending();
    [[nodiscard]] bool readPendingBlock();

    QTimer &m_timer;
    CardReader &m_reader;
    TagCommands &m_tags;
    BlockCommands &m_blocks;
    CommandSink &m_sink;
    UserDialogs &m_dialogs;
    ReadAllRun m_readAllRun;
    int m_pendingBlock = 0;
    QByteArray m_pendingGrid;
    QByteArray m_pendingReadAll;
};
