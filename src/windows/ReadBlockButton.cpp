#include "windows/ReadBlockButton.h"

#include "base/ActionGuard.h"
#include "windows/TagPanelUi.h"
#include "commands/BlockCommands.h"
#include "commands/TagCommands.h"
#include "commands/TagSequence.h"
#include "commands/PendingReads.h"

#include <QComboBox>
#include <QPushButton>
#include <QThread>

ReadBlockButton::ReadBlockButton(TagPanelUi &ui, TagCommands &tags, BlockCommands &blocks,
                                 PendingReads &pending, UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_ui(ui)
    , m_tags(tags)
    , m_blocks(blocks)
    , m_pending(pending)
    , m_dialogs(dialogs)
    , m_pause([](int ms) { QThread::msleep(ulong(ms)); })
{
    connect(m_ui.BitBtn1, &QPushButton::clicked, this, &ReadBlockButton::BitBtn1Click);
}

void ReadBlockButton::BitBtn1Click()
{
    guardAction(m_dialogs, [this] { readChosenBlock(); });
}

void ReadBlockButton::readChosenBlock()
{
    const int block = m_ui.cmb_blk->currentIndex();
    if (block < 0)
        return; // an empty list names no block
    const CommandOptions options = m_tags.options();
    QByteArray result;
    if (!options.autoSequence) {
        m_blocks.ReadBlockToGrid(block, result);
        return;
    }
    TagSequence sequence(m_tags, [this] { m_pause(PauseMs); });
    if (options.seek) {
        // The seek's result is not looked at: the tag may come later, unasked.
        if (sequence.haltAndSeek([&] { m_pending.setPendingBlock(block); }))
            m_pending.waitForTag();
        return;
    }
    if (!sequence.prepare(block, true))
        return;
    m_pause(PauseMs);
    m_blocks.ReadBlockToGrid(block, result);
}
