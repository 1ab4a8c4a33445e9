#include "commands/PendingReads.h"

#include "base/ActionGuard.h"
#include "card/CardGeometry.h"
#include "commands/BlockCommands.h"
#include "commands/CommandSink.h"
#include "commands/TagCommands.h"
#include "reader/CardReader.h"

#include <QTimer>

#include <optional>
#include <utility>

PendingReads::PendingReads(QTimer &timer, CardReader &reader, TagCommands &tags, BlockCommands &blocks,
                           CommandSink &sink, UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_timer(timer)
    , m_reader(reader)
    , m_tags(tags)
    , m_blocks(blocks)
    , m_sink(sink)
    , m_dialogs(dialogs)
{
    connect(&m_timer, &QTimer::timeout, this, &PendingReads::Timer1Timer);
}

void PendingReads::waitForTag()
{
    m_timer.start();
}

void PendingReads::Timer1Timer()
{
    // The seek has not been answered yet.
    if (m_reader.seekWaiting())
        return;
    m_timer.stop();
    // Taken now, so that a strip request never outlives the read it was made for.
    const QByteArray grid = std::exchange(m_pendingGrid, {});
    guardAction(m_dialogs, [&] {
        if (!completePending())
            return;
        if (const std::optional<CardType> type = CardGeometry::typeOfCode(grid))
            m_sink.showReadStrip(*type, -1);
    });
}

bool PendingReads::completePending()
{
    if (m_pendingReadAll.isEmpty())
        return readPendingBlock();
    const QByteArray kind = std::exchange(m_pendingReadAll, {});
    return m_readAllRun && m_readAllRun(kind);
}

bool PendingReads::readPendingBlock()
{
    QByteArray result;
    if (isClassic(m_tags.options().card)) {
        m_tags.Authenticate(m_pendingBlock, result);
        if (result == "error")
            return false;
    }
    m_blocks.ReadBlockToGrid(m_pendingBlock, result);
    // A failed read leaves LastReadText as it was: no strip of stale data.
    return result != "error";
}
