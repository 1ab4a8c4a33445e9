#include "commands/ReadAllRun.h"

#include "base/ActionGuard.h"
#include "card/CardGeometry.h"
#include "commands/BlockCommands.h"
#include "commands/CardRun.h"
#include "commands/CommandSink.h"
#include "commands/PendingReads.h"
#include "commands/TagCommands.h"
#include "commands/TagSequence.h"
#include "reader/CardReader.h"

#include <QList>

ReadAllRun::ReadAllRun(TagCommands &tags, BlockCommands &blocks, PendingReads &pending, CommandSink &sink,
                       CardRun &run, UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_tags(tags)
    , m_blocks(blocks)
    , m_pending(pending)
    , m_sink(sink)
    , m_run(run)
    , m_dialogs(dialogs)
{
}

void ReadAllRun::readAllClick()
{
    if (m_run.isActive())
        return;
    guardAction(m_dialogs, [this] {
        const CommandOptions options = m_tags.options();
        TagSequence sequence(m_tags);
        if (options.seek) {
            // Timer1 runs the reads once the seek's answer has come.
            if (sequence.haltAndSeek([&] { m_pending.setPendingReadAll(CardGeometry(options.card).code()); }))
                m_pending.waitForTag();
            return;
        }
        if (sequence.haltAndSelect())
            (void)readCard(options.card, false);
    });
}

bool ReadAllRun::runPending(const QByteArray &kind)
{
    const std::optional<CardType> type = CardGeometry::typeOfCode(kind);
    return type && readCard(*type, true);
}

ReadAllRun::~ReadAllRun() = default;

void ReadAllRun::useSectorKeys(SectorKeys keys)
{
    m_sectorKeys = std::move(keys);
}

bool ReadAllRun::authenticateSector(const SectorKeys &keys, int block)
{
    const int sector = CardGeometry::sectorOfBlock(block);
    TagSequence sequence(m_tags);
    const QList<KeySource> candidates = keys(sector);
    for (const KeySource &key : candidates) {
        if (m_tags.reader().authenticate(block, key).ok())
            return true;
        // A refused authentication leaves the tag halted: select it for what follows.
        if (!sequence.haltAndSelect())
            return false;
    }
    m_sink.appendLine("Read All: no found key opens sector " + QByteArray::number(sector) + "; skipped");
    return false;
}

bool ReadAllRun::readCard(CardType type, bool stopOnReadError)
{
    const SectorKeys plan = std::exchange(m_sectorKeys, nullptr);
    const CardGeometry geometry(type);
    const QList<int> numbers = geometry.wholeCardReads();
    if (!m_run.start(QStringLiteral("Read All Blocks"), int(numbers.size())))
        return false;
    const CardRun::Scope scope(m_run);
    const bool ultralight = !geometry.classic();
    for (int i = 0; i < numbers.size(); ++i) {
        const int number = numbers.at(i);
        const QString where = ultralight ? QStringLiteral("Page %1 (%2 of %3)").arg(number).arg(i + 1).arg(numbers.size())
                                         : QStringLiteral("Block %1 of %2").arg(i + 1).arg(numbers.size());
        if (!m_run.step(i, where)) {
            m_sink.appendLine(QByteArray(ultralight ? "Read All cancelled before page " : "Read All cancelled before block ")
                              + QByteArray::number(number));
            return false;
        }
        QByteArray result;
        if (plan && geometry.classic() && geometry.isAuthenticationPoint(number)) {
            if (!authenticateSector(plan, number)) {
                // Skip the rest of the sector.
                const int next = CardGeometry::firstBlockOfSector(CardGeometry::sectorOfBlock(number) + 1);
                while (i + 1 < numbers.size() && numbers.at(i + 1) < next)
                    ++i;
                continue;
            }
        } else if (geometry.isAuthenticationPoint(number)) {
            // A sector is authenticated once, at its first block.
            m_tags.Authenticate(number, result);
            if (result == "error")
                return false;
        }
        m_blocks.ReadBlockToGrid(number, result);
        if (result == "error" && stopOnReadError)
            return false;
    }
    return true;
}
