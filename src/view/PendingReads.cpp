#include "view/PendingReads.h"

#include "base/ActionGuard.h"
#include "card/CardGeometry.h"
#include "link/ModuleLink.h"
#include "tag/BlockCommands.h"
#include "tag/TagCommands.h"
#include "windows/CardGridView.h"
#include "windows/CardGrids.h"

#include <QTimer>

#include <optional>
#include <utility>

PendingReads::PendingReads(QTimer &timer, ModuleLink &link, TagCommands &tags, BlockCommands &blocks,
                           CardGrids &grids, UserDialogs &dialogs, std::function<CardType()> cardType,
                           QObject *parent)
    : QObject(parent)
    , m_timer(timer)
    , m_link(link)
    , m_tags(tags)
    , m_blocks(blocks)
    , m_grids(grids)
    , m_dialogs(dialogs)
    , m_cardType(std::move(cardType))
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
    if (!m_link.linkMode.isEmpty())
        return;
    m_timer.stop();
    // Taken now, so that a strip request never outlives the read it was made for.
    const QByteArray grid = std::exchange(m_pendingGrid, {});
    guardAction(m_dialogs, [&] {
        if (completePending())
            showReadStrip(grid);
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
    if (isClassic(m_cardType())) {
        m_tags.Authenticate(m_pendingBlock, result);
        if (result == "error")
            return false;
    }
    m_blocks.ReadBlockToGrid(m_pendingBlock, result);
    // A failed read leaves LastReadText as it was: no strip of stale data.
    return result != "error";
}

void PendingReads::showReadStrip(const QByteArray &grid)
{
    const std::optional<CardType> type = CardGeometry::typeOfCode(grid);
    if (!type)
        return;
    m_grids.showReadStrip(*type, m_grids.view(*type).currentCell().row);
}
