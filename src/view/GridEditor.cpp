#include "view/GridEditor.h"

#include "card/Hex.h"
#include "view/CardGridModel.h"
#include "view/GridEditing.h"

namespace {

constexpr char kEnter = 13;
constexpr int kValueDigits = 8;
// A value cell starting with it holds a decimal number (read by ValueInput where used).
constexpr char kDecimalMarker = '#';

} // namespace

GridEditor::GridEditor(CardGridModel &grid)
    : m_grid(grid)
{
}

void GridEditor::moveCursor(CellPos to)
{
    if (to == m_cursor)
        return;
    NormalizeGrid(m_grid, m_asciiView);
    m_cursor = to;
    m_typing = false;
}

bool GridEditor::keyPress(char key)
{
    switch (keyRoute(m_grid.cardType(), m_cursor.column, m_cursor.row, m_asciiView)) {
    case KeyRoute::Discard:
        return false;
    case KeyRoute::Hex:
        return FilterHexKey(key);
    case KeyRoute::Ascii:
        EnterAsciiChar(key);
        return true;
    }
    return false;
}

bool GridEditor::FilterHexKey(char key)
{
    const bool valueCell = CardLayout::isValueColumn(m_grid.cardType(), m_cursor.column);
    // From a value cell a completed value jumps onto its "IV" or "WV" button.
    const CellPos valueButton{m_cursor.column + 2, m_cursor.row};

    if (valueCell && (key == kDecimalMarker || currentText().trimmed().startsWith(kDecimalMarker)))
        return typeDecimal(key, valueButton);
    if (key == kEnter) {
        const QByteArray text = currentText();
        if (valueCell) {
            if (text.size() < kValueDigits) {
                setCurrentText(text.toUpper().rightJustified(kValueDigits, '0'));
                moveCursor(valueButton);
            }
            return true;
        }
        if (text.size() < 2)
            setCurrentText(text.rightJustified(2, '0'));
        NextByteCell();
        return true;
    }
    if (!Hex::isDigit(key))
        return false;
    if (!valueCell) {
        EnterHexDigit(key);
        return true;
    }
    if (currentText().size() == kValueDigits - 1) {
        setCurrentText((currentText() + key).toUpper());
        moveCursor(valueButton);
    } else {
        typeIntoCell(key);
    }
    return true;
}

bool GridEditor::typeDecimal(char key, CellPos valueButton)
{
    // The marker always starts the cell afresh; the number is read where it is used.
    if (key == kDecimalMarker) {
        setCurrentText(QByteArray(1, key));
        m_typing = true;
        return true;
    }
    if (key == kEnter) {
        moveCursor(valueButton);
        return true;
    }
    const bool digit = key >= '0' && key <= '9';
    if (!digit && key != '-' && key != '+')
        return false;
    typeIntoCell(key);
    return true;
}

void GridEditor::EnterHexDigit(char digit)
{
    const QByteArray text = currentText().toUpper();
    setCurrentText(text);
    if (text.size() == 1) {
        setCurrentText((text + digit).toUpper());
        NextByteCell();
        return;
    }
    typeIntoCell(digit);
}

void GridEditor::EnterAsciiChar(char c)
{
    setCurrentText(QByteArray(1, c));
    NextByteCell();
}

void GridEditor::NextByteCell()
{
    moveCursor(::NextByteCell(m_grid.cardType(), m_cursor));
    // Also where the cursor cannot move on (last byte of the grid): the next digit
    // starts a new byte instead of growing this one.
    m_typing = false;
}

void GridEditor::typeIntoCell(char c)
{
    setCurrentText(m_typing ? currentText() + c : QByteArray(1, c));
    m_typing = true;
}

QByteArray GridEditor::currentText() const
{
    return m_grid.cell(m_cursor.column, m_cursor.row);
}

void GridEditor::setCurrentText(const QByteArray &text)
{
    m_grid.setCell(m_cursor.column, m_cursor.row, text);
}
