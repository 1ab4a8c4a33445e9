#pragma once

#include "card/CardType.h"
#include "reader/KeySource.h"

#include <QByteArray>
#include <QObject>

#include <QList>

#include <functional>

class BlockCommands;
class CardRun;
class CommandSink;
class PendingReads;
class TagCommands;
class UserDialogs;

// "Read All Blocks": halts and selects the tag, then reads every block of the card
// into its grid, authenticating each sector at its first block (Ultralight: pages 0,
// 4, 8 and 12, no authentication). With "Seek for tag" the run waits for the seek's
// answer and Timer1 starts it (runPending).
class ReadAllRun : public QObject
{
    Q_OBJECT

public:
    ReadAllRun(TagCommands &tags, BlockCommands &blocks, PendingReads &pending, CommandSink &sink, CardRun &run,
               UserDialogs &dialogs, QObject *parent = nullptr);
    ~ReadAllRun() override;

    // The keys of a sector, to try in order; none: the sector is skipped.
    using SectorKeys = std::function<QList<KeySource>(int sector)>;
    // The next run authenticates each sector with its own keys instead of the panel's
    // key; a sector none of them opens is skipped, not the end of the run.
    void useSectorKeys(SectorKeys keys);

    // The read-all that Timer1 runs once the seek has found a tag: "1", "4" or "U".
    // Stops at the first "error", of a read as well; false then.
    [[nodiscard]] bool runPending(const QByteArray &kind);

public Q_SLOTS:
    // The menu item; ignored while a run is active.
    void readAllClick();

private:
    // Reads the whole card; a failed authentication stops the run, a failed read only
    // when stopOnReadError. False when the run stopped (cancelled included).
    [[nodiscard]] bool readCard(CardType type, bool stopOnReadError);
    // Authenticates the sector of block with its planned key (then the other found
    // key); after a refusal the tag is selected again for the next sector.
    [[nodiscard]] bool authenticateSector(const SectorKeys &keys, int block);

    TagCommands &m_tags;
    BlockCommands &m_blocks;
    PendingReads &m_pending;
    CommandSink &m_sink;
    CardRun &m_run;
    UserDialogs &m_dialogs;
    SectorKeys m_sectorKeys; // for the next run only
};
