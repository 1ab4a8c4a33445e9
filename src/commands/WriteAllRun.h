#pragma once

#include "card/CardType.h"

#include <QObject>

class BlockCommands;
class CardRun;
class CommandSink;
class TagCommands;
class UserDialogs;
struct WritePlan;

// "Write All Blocks": programs the whole card from its grid, trailers and Ultralight
// lock and OTP pages included. Every cell test and every warning of the run is done
// first, in block order; only when all pass and are confirmed is the tag halted,
// selected and written, without further questions. A failure of the card itself
// (authentication, a block write) stops the run where it happens.
class WriteAllRun : public QObject
{
    Q_OBJECT

public:
    WriteAllRun(TagCommands &tags, BlockCommands &blocks, CommandSink &sink, CardRun &run, UserDialogs &dialogs,
                QObject *parent = nullptr);

public Q_SLOTS:
    // The menu item; ignored while a run is active.
    void writeAllClick();

private:
    void writeClassic(CardType type, const WritePlan &plan);
    // A failed page is given up: the tag is halted and selected again and the run
    // goes on with the next page.
    void writeUltralight(const WritePlan &plan);
    void logCancelled(CardType type, int number);

    TagCommands &m_tags;
    BlockCommands &m_blocks;
    CommandSink &m_sink;
    CardRun &m_run;
    UserDialogs &m_dialogs;
};
