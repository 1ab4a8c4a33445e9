#include "view/WriteAllRun.h"

#include "app/ActionGuard.h"
#include "app/MainWindow.h"
#include "tag/BlockCommands.h"
#include "tag/TagCommands.h"
#include "view/CardGrids.h"
#include "view/CardRun.h"
#include "view/WritePlan.h"

#include <QCheckBox>

namespace {

bool isAuthenticationPoint(int block)
{
    return block < 128 ? block % 4 == 0 : block % 16 == 0;
}

} // namespace

WriteAllRun::WriteAllRun(MainWindow &main, CardRun &run, QObject *parent)
    : QObject(parent)
    , m_main(main)
    , m_run(run)
{
}

void WriteAllRun::writeAllClick()
{
    if (m_run.isActive())
        return;
    guardAction(m_main.dialogs(), [this] {
        m_main.ui().cb_ascii->setChecked(false); // the grids back in hexadecimal
        if (!m_main.dialogs().askBeforeIrreversible(WriteMessages::WarningCaption, WriteMessages::WriteAllQuestion))
            return;
        const CardType type = m_main.cardType();
        const CardGridModel &grid = m_main.grids().model(type);
        const WritePlan plan = type == CardType::MifareUL ? planUltralightWriteAll(grid) : planClassicWriteAll(grid);
        if (!confirmWritePlan(m_main.dialogs(), plan))
            return;
        if (type == CardType::MifareUL)
            writeUltralight(plan);
        else
            writeClassic(type, plan);
    });
}

bool WriteAllRun::haltAndSelect()
{
    QByteArray result;
    m_main.tagCommands().HaltTag(result);
    if (result != "error")
        m_main.tagCommands().SelectTag(result);
    return result != "error";
}

void WriteAllRun::writeClassic(CardType type, const WritePlan &plan)
{
    if (!haltAndSelect())
        return;
    QByteArray result;
    m_main.tagCommands().Authenticate(0, result);
    if (result == "error")
        return;
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
        if (isAuthenticationPoint(write.number)) {
            m_main.tagCommands().Authenticate(write.number, result);
            if (result == "error")
                return;
        }
        m_main.blockCommands().WriteBlock(write.data, write.number, result);
        if (result == "error")
            return;
        result.clear(); // "no_error" (read-back failed) counts as written
    }
}

void WriteAllRun::writeUltralight(const WritePlan &plan)
{
    if (!haltAndSelect())
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
        m_main.blockCommands().WritePage(write.data, write.number, result);
        if (result == "error" && !haltAndSelect())
            return;
    }
}

void WriteAllRun::logCancelled(CardType type, int number)
{
    m_main.appendLine((type == CardType::MifareUL ? "Write All cancelled before page " : "Write All cancelled before block ")
                      + QByteArray::number(number));
}
