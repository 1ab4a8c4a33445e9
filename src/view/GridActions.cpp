#include "view/GridActions.h"

#include "access/AccessEditor.h"
#include "app/ActionGuard.h"
#include "app/MainWindow.h"
#include "tag/BlockCommands.h"
#include "tag/TagCommands.h"
#include "tag/ValueCommands.h"
#include "ultralight/LockBytesEditor.h"
#include "view/CardGridModel.h"
#include "view/CardGridView.h"
#include "view/CardGrids.h"
#include "view/CardLayout.h"
#include "view/CardRun.h"
#include "view/CellChecks.h"
#include "view/PendingReads.h"
#include "view/WritePlan.h"

#include <QCheckBox>

namespace {

QByteArray gridKind(CardType type)
{
    switch (type) {
    case CardType::Mifare1K: return "1";
    case CardType::Mifare4K: return "4";
    case CardType::MifareUL: return "U";
    }
    return {};
}

int numberOfRow(int row)
{
    return row - CardLayout::kFirstDataRow;
}

} // namespace

GridActions::GridActions(MainWindow &main, CardRun &run, AccessEditor &accessEditor, LockBytesEditor &lockEditor,
                         QObject *parent)
    : QObject(parent)
    , m_main(main)
    , m_run(run)
    , m_accessEditor(accessEditor)
    , m_lockEditor(lockEditor)
{
}

void GridActions::grid1DblClick()
{
    const CellPos cell = m_main.grids().view(CardType::Mifare1K).currentCell();
    cellDoubleClicked(CardType::Mifare1K, cell.column, cell.row);
}

void GridActions::grid4DblClick()
{
    const CellPos cell = m_main.grids().view(CardType::Mifare4K).currentCell();
    cellDoubleClicked(CardType::Mifare4K, cell.column, cell.row);
}

void GridActions::gridULDblClick()
{
    const CellPos cell = m_main.grids().view(CardType::MifareUL).currentCell();
    cellDoubleClicked(CardType::MifareUL, cell.column, cell.row);
}

void GridActions::cellDoubleClicked(CardType type, int column, int row)
{
    if (m_run.isActive())
        return;
    guardAction(m_main.dialogs(), [&] {
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

bool GridActions::autoSequence(CardType type, int block, QByteArray &result)
{
    if (!m_main.ui().cb_auto->isChecked())
        return true;
    m_main.tagCommands().HaltTag(result);
    if (result != "error")
        m_main.tagCommands().SelectTag(result);
    if (result != "error" && isClassic(type))
        m_main.tagCommands().Authenticate(block, result);
    return result != "error";
}

void GridActions::readBlock(CardType type, int row)
{
    const int block = numberOfRow(row);
    if (m_main.ui().cb_auto->isChecked() && m_main.ui().cb_select->isChecked()) {
        seekAndRead(type, block);
        return;
    }
    QByteArray result;
    if (!autoSequence(type, block, result))
        return;
    m_main.blockCommands().ReadBlockToGrid(block, result);
    // A failed read leaves LastReadText as it was: no strip over stale data.
    if (result != "error" && !m_main.ui().cb_getdata->isChecked())
        showStrip(type, row);
}

void GridActions::seekAndRead(CardType type, int block)
{
    QByteArray result;
    m_main.tagCommands().HaltTag(result);
    if (result == "error")
        return;
    PendingReads &pending = m_main.pendingReads();
    if (!m_main.ui().cb_getdata->isChecked())
        pending.setPendingGrid(gridKind(type));
    pending.setPendingBlock(block);
    // The seek's result is not looked at: the tag may come later, unasked.
    m_main.tagCommands().SeekTag(result);
    pending.waitForTag();
}

void GridActions::writeBlock(CardType type, int row)
{
    switchAsciiOff();
    const int block = numberOfRow(row);
    const WritePlan plan = planClassicBlock(m_main.grids().model(type), block);
    if (!confirmWritePlan(m_main.dialogs(), plan))
        return;
    QByteArray result;
    if (!autoSequence(type, block, result))
        return;
    m_main.blockCommands().WriteBlock(plan.writes.first().data, block, result);
    if (m_main.ui().cb_auto->isChecked())
        repaint(type);
}

void GridActions::readValue(CardType type, int row)
{
    const int block = numberOfRow(row);
    QByteArray result;
    if (!autoSequence(type, block, result))
        return;
    QByteArray echo;
    QByteArray data;
    m_main.valueCommands().ReadValue(echo, data, block, result);
    if (result == "error" || !m_main.ui().cb_auto->isChecked())
        return;
    const QByteArray value = ValueCommands::valueTextFromEcho(echo);
    if (m_main.ui().cb_getdata->isChecked())
        m_main.grids().model(type).setCell(CardLayout::kValueColumn, row, value);
    m_main.grids().setLastReadText("Value is:" + value);
    showStrip(type, row);
}

void GridActions::changeValue(CardType type, const QByteArray &action, int row)
{
    const int block = numberOfRow(row);
    const bool write = action == "WV";
    const int column = write ? CardLayout::kValueColumn : CardLayout::kAmountColumn;
    const CardGridModel &grid = m_main.grids().model(type);
    if (CheckValueHex(grid, block, column) == "error") {
        m_main.dialogs().showWarning(write ? WriteMessages::BadValueHex : WriteMessages::BadIncrementHex);
        return;
    }
    const QByteArray operand = ValueCommands::operandFromText(grid.cell(column, row));
    QByteArray result;
    if (!autoSequence(type, block, result))
        return;
    ValueCommands &values = m_main.valueCommands();
    if (write)
        values.WriteValue(operand, block, result);
    else if (action == "I")
        values.IncrementValue(operand, block, result);
    else
        values.DecrementValue(operand, block, result);
    if (m_main.ui().cb_auto->isChecked())
        repaint(type);
}

void GridActions::writePage(int row)
{
    switchAsciiOff();
    const int page = numberOfRow(row);
    const WritePlan plan = planUltralightPage(m_main.grids().model(CardType::MifareUL), page);
    if (!confirmWritePlan(m_main.dialogs(), plan))
        return;
    QByteArray result;
    if (!autoSequence(CardType::MifareUL, page, result))
        return;
    m_main.blockCommands().WritePage(plan.writes.first().data, page, result);
}

void GridActions::showStrip(CardType type, int row)
{
    m_main.grids().showReadStrip(type, row);
}

void GridActions::repaint(CardType type)
{
    m_main.grids().view(type).viewport()->update();
}

void GridActions::switchAsciiOff()
{
    // The grids turn back to hexadecimal through the check box's toggled signal.
    m_main.ui().cb_ascii->setChecked(false);
}
