#pragma once

#include <QObject>

#include <functional>

class BlockCommands;
struct TagPanelUi;
class PendingReads;
class TagCommands;
class UserDialogs;

// The Read Block button (BitBtn1): reads the block chosen in cmb_blk, with the Auto
// flag after halt, select and authentication, each 500 ms apart; with "Seek for tag"
// the seek's answer is awaited by Timer1, which authenticates and reads.
class ReadBlockButton : public QObject
{
    Q_OBJECT

public:
    // Blocks the thread: the module is given time between the steps, and no events
    // are handled meanwhile.
    using Pause = std::function<void(int ms)>;
    static constexpr int PauseMs = 500;

    ReadBlockButton(TagPanelUi &ui, TagCommands &tags, BlockCommands &blocks, PendingReads &pending,
                    UserDialogs &dialogs, QObject *parent = nullptr);

    // Replaces the pause (tests record it instead of waiting).
    void setPause(Pause pause) { m_pause = std::move(pause); }

public Q_SLOTS:
    void BitBtn1Click();

private:
    void readChosenBlock();

    TagPanelUi &m_ui;
    TagCommands &m_tags;
    BlockCommands &m_blocks;
    PendingReads &m_pending;
    UserDialogs &m_dialogs;
    Pause m_pause;
};
