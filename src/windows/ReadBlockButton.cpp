#include "windows/ReadBlockButton.h"

#include "base/ActionGuard.h"
#include "app/MainWindowUi.h"
#include "tag/BlockCommands.h"
#include "tag/TagCommands.h"
#include "view/PendingReads.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QThread>

ReadBlockButton::ReadBlockButton(MainWindowUi &ui, TagCommands &tags, BlockCommands &blocks,
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
    QByteArray result;
    if (!m_ui.cb_auto->isChecked()) {
        m_blocks.ReadBlockToGrid(block, result);
        return;
    }
    m_tags.HaltTag(result);
    if (result == "error")
        return;
    if (m_ui.cb_select->isChecked()) {
        // The seek's result is not looked at: the tag may come later, unasked.
        m_pending.setPendingBlock(block);
        m_tags.SeekTag(result);
        m_pending.waitForTag();
        return;
    }
    m_pause(PauseMs);
    m_tags.SelectTag(result);
    if (result == "error")
        return;
    m_pause(PauseMs);
    m_tags.Authenticate(block, result);
    if (result == "error")
        return;
    m_pause(PauseMs);
    m_blocks.ReadBlockToGrid(block, result);
}
