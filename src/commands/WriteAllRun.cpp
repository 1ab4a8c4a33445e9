#include "commands/WriteAllRun.h"

#include "base/ActionGuard.h"
#include "base/UserDialogs.h"
#include "card/CardGeometry.h"
#include "commands/BlockCommands.h"
#include "commands/CardRun.h"
#include "commands/CommandSink.h"
#include "commands/TagCommands.h"
#include "commands/TagSequence.h"
#include "commands/WritePlan.h"

WriteAllRun::WriteAllRun(TagCommands &tags, BlockCommands &blocks, CommandSink &sink, CardRun &run,
                         UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_tags(tags)
    , m_blocks(blocks)
    , m_sink(sink)
    , m_run(run)
    , m_dialogs(dialogs)
{
}

void WriteAllRun::writeAllClick()
{
    if (m_run.isActive())
        return;
    guardAction(m_dialogs, [this] {
        m_sink.gridsToHex();
        if (!m_dialogs.askBeforeIrreversible(WriteMessages::WarningCaption, WriteMessages::WriteAllQuestion))
            return;
        const CardType type = m_tags.options().card;
        const WritePlan plan = m_sink.writePlan(type);
        if (!confirmWritePlan(m_dialogs, plan))
            return;
        if (type == CardType::MifareUL)
            writeUltralight(plan);
        else
            writeClassic(type, plan);
    });
}

void WriteAllRun::writeClassic(CardType type, const WritePlan &plan)
{
    if (!TagSequence(m_tags).prepare(0, true))
        return;
    QByteArray result;
    const int total = int(plan.writes.size());
    if (!m_run.start(QStringLiteral("Write All Blocks"), total))
        return;
    const CardRun::Scope scope(m_run);
    for (int i = 0; i < total; ++i) {
        const WritePlan::Write &write = plan.writes.at(i);
        if (!m_run.step(i, QStringLiteral("Block %1 of %2").arg(write.number).arg(total))) {
            logCancelled(type, write.number);
            return;
        }
        if (CardGeometry(type).isAuthenticationPoint(write.number)) {
            m_tags.Authenticate(write.number, result);
            if (result == "error")
                return;
        }
        m_blocks.WriteBlock(write.data, write.number, result);
        if (result == "error")
            return;
        result.clear(); // "no_error" (read-back failed) counts as written
    }
}

void WriteAllRun::writeUltralight(const WritePlan &plan)
{
    if (!TagSequence(m_tags).haltAndSelect())
        return;
    const int total = int(plan.writes.size());
    if (!m_run.start(QStringLiteral("Write All Blocks"), total))
        return;
    const CardRun::Scope scope(m_run);
    for (int i = 0; i < total; ++i) {
        const WritePlan::Write &write = plan.writes.at(i);
        if (!m_run.step(i, QStringLiteral("Page %1 (%2 of %3)").arg(write.number).arg(i + 1).arg(total))) {
            logCancelled(CardType::MifareUL, write.number);
            return;
        }
        QByteArray result;
        m_blocks.WritePage(write.data, write.number, result);
        if (result == "error" && !TagSequence(m_tags).haltAndSelect())
            return;
    }
}

void WriteAllRun::logCancelled(CardType type, int number)
{
    m_sink.appendLine((type == CardType::MifareUL ? "Write All cancelled before page " : "Write All cancelled before block ")
                      + QByteArray::number(number));
}
