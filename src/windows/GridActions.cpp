#include "windows/GridActions.h"

#include "windows/AccessEditor.h"
#include "workflows/ValueInput.h"
#include "base/ActionGuard.h"
#include "base/UserDialogs.h"
#include "commands/BlockCommands.h"
#include "commands/CommandSink.h"
#include "commands/TagSequence.h"
#include "commands/TagCommands.h"
#include "commands/ValueCommands.h"
#include "windows/LockBytesEditor.h"
#include "view/CardGridModel.h"
#include "windows/CardGridView.h"
#include "windows/CardGrids.h"
#include "view/CardLayout.h"
#include "commands/CardRun.h"
#include "view/CellChecks.h"
#include "commands/PendingReads.h"
#include "view/WritePlan.h"


namespace {

int numberOfRow(int row)
{
    return CardGeometry::blockOfRow(row);
}

} // namespace

GridActions::GridActions(Commands commands, CardGrids &grids, UserDialogs &dialogs, CardRun &run,
                         AccessEditor &accessEditor, LockBytesEditor &lockEditor, QObject *parent)
    : QObject(parent)
    , m_commands(commands)
    , m_grids(grids)
    , m_dialogs(dialogs)
    , m_run(run)
    , m_accessEditor(accessEditor)
    , m_lockEditor(lockEditor)
{
}

void GridActions::grid1DblClick()
{
    const CellPos cell = m_grids.view(CardType::Mifare1K).currentCell();
    cellDoubleClicked(CardType::Mifare1K, cell.column, cell.row);
}

void GridActions::grid4DblClick()
{
    const CellPos cell = m_grids.view(CardType::Mifare4K).currentCell();
    cellDoubleClicked(CardType::Mifare4K, cell.column, cell.row);
}

void GridActions::gridULDblClick()
{
    const CellPos cell = m_grids.view(CardType::MifareUL).currentCell();
    cellDoubleClicked(CardType::MifareUL, cell.column, cell.row);
}

void GridActions::cellDoubleClicked(CardType type, int column, int row)
{
    if (m_run.isActive())
        return;
    guardAction(m_dialogs, [&] {
        if (type == CardType::MifareUL)
            ultralightAction(UltralightCellAction(column, row), row);
        else
            classicAction(type, ClassicCellAction(column, row), row);
    });
}

void GridActions::classicAction(CardType type, const QByteArray &action, int row)
{
    if (action == "R")
        readBlock(type, row);
    else if (action == "W")
        writeBlock(type, row);
    else if (action == "RV")
        readValue(type, row);
    else if (action == "WV" || action == "I" || action == "D")
        changeValue(type, action, row);
    else if (action == "S")
        m_accessEditor.openForTrailer(type, numberOfRow(row));
}

void GridActions::ultralightAction(const QByteArray &action, int row)
{
    if (action == "R")
        readBlock(CardType::MifareUL, row);
    else if (action == "W")
        writePage(row);
    else if (action == "S")
        m_lockEditor.openFromGrid();
}

bool GridActions::autoSequence(CardType type, int block)
{
    if (!m_commands.tags.options().autoSequence)
        return true;
    return TagSequence(m_commands.tags).prepare(block, isClassic(type));
}

void GridActions::readBlock(CardType type, int row)
{
    const int block = numberOfRow(row);
    const CommandOptions options = m_commands.tags.options();
    if (options.autoSequence && options.seek) {
        seekAndRead(type, block);
        return;
    }
    if (!autoSequence(type, block))
        return;
    QByteArray result;
    m_commands.blocks.ReadBlockToGrid(block, result);
    // A failed read leaves LastReadText as it was: no strip over stale data.
    if (result != "error" && !m_commands.tags.options().getData)
        showStrip(type, row);
}

void GridActions::seekAndRead(CardType type, int block)
{
    PendingReads &pending = m_commands.pending;
    const bool getData = m_commands.tags.options().getData;
    // The seek's result is not looked at: the tag may come later, unasked.
    const bool sought = TagSequence(m_commands.tags).haltAndSeek([&] {
        if (!getData)
            pending.setPendingGrid(CardGeometry(type).code());
        pending.setPendingBlock(block);
    });
    if (sought)
        pending.waitForTag();
}

void GridActions::writeBlock(CardType type, int row)
{
    switchAsciiOff();
    const int block = numberOfRow(row);
    const WritePlan plan = planClassicBlock(m_grids.model(type), block);
    if (!confirmWritePlan(m_dialogs, plan))
        return;
    if (!autoSequence(type, block))
        return;
    QByteArray result;
    m_commands.blocks.WriteBlock(plan.writes.first().data, block, result);
    if (m_commands.tags.options().autoSequence)
        repaint(type);
}

void GridActions::readValue(CardType type, int row)
{
    const int block = numberOfRow(row);
    if (!autoSequence(type, block))
        return;
    QByteArray result;
    QByteArray echo;
    QByteArray data;
    m_commands.values.ReadValue(echo, data, block, result);
    const CommandOptions options = m_commands.tags.options();
    if (result == "error" || !options.autoSequence)
        return;
    const QByteArray value = m_commands.values.lastValueText();
    if (options.getData)
        m_grids.model(type).setCell(CardLayout::kValueColumn, row, value);
    m_grids.setLastReadText("Value is:" + value);
    showStrip(type, row);
}

void GridActions::changeValue(CardType type, const QByteArray &action, int row)
{
    const int block = numberOfRow(row);
    const bool write = action == "WV";
    const int column = write ? CardLayout::kValueColumn : CardLayout::kAmountColumn;
    const CardGridModel &grid = m_grids.model(type);
    QByteArray operand;
    if (const QByteArray text = grid.cell(column, row); ValueInput::isDecimal(text)) {
        const ValueOperand decimal = ValueInput::parse(text, write ? ValueField::Value : ValueField::Amount);
        if (!decimal.ok()) {
            m_dialogs.showWarning(decimal.error);
            return;
        }
        operand = decimal.bytes;
    } else {
        if (CheckValueHex(grid, block, column) == "error") {
            m_dialogs.showWarning(write ? WriteMessages::BadValueHex : WriteMessages::BadIncrementHex);
            return;
        }
        operand = ValueCommands::operandFromText(text);
    }
    if (!autoSequence(type, block))
        return;
    QByteArray result;
    ValueCommands &values = m_commands.values;
    if (write)
        values.WriteValue(operand, block, result);
    else if (action == "I")
        values.IncrementValue(operand, block, result);
    else
        values.DecrementValue(operand, block, result);
    if (m_commands.tags.options().autoSequence)
        repaint(type);
}

void GridActions::writePage(int row)
{
    switchAsciiOff();
    const int page = numberOfRow(row);
    const WritePlan plan = planUltralightPage(m_grids.model(CardType::MifareUL), page);
    if (!confirmWritePlan(m_dialogs, plan))
        return;
    if (!autoSequence(CardType::MifareUL, page))
        return;
    QByteArray result;
    m_commands.blocks.WritePage(plan.writes.first().data, page, result);
}

void GridActions::showStrip(CardType type, int row)
{
    m_grids.showReadStrip(type, row);
}

void GridActions::repaint(CardType type)
{
    m_grids.view(type).viewport()->update();
}

void GridActions::switchAsciiOff()
{
    m_commands.sink.gridsToHex();
}
