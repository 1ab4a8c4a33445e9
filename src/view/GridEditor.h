#pragma once

#include "view/CardLayout.h"

class CardGridModel;

// Keyboard entry into one card grid, without widgets: the typing cursor, the key
// filters and the in-place typing state. The view hands it every typed character and
// every change of the selected cell, and follows cursor() afterwards.
class GridEditor
{
public:
    explicit GridEditor(CardGridModel &grid);

    [[nodiscard]] bool asciiView() const { return m_asciiView; }
    void setAsciiView(bool on) { m_asciiView = on; }

    [[nodiscard]] CellPos cursor() const { return m_cursor; }
    // Selects a cell. The grid is tidied first (NormalizeGrid), as on every change of
    // the selected cell; selecting the cell already selected changes nothing.
    void moveCursor(CellPos to);

    // One typed character at the cursor (13 is Enter). Returns false when the cell
    // discards it. Only accepting cells take keys; see keyRoute().
    bool keyPress(char key);

public: // the steps of keyPress, also used on their own
    // Hexadecimal entry: Enter completes the cell, digits are typed, anything else is
    // discarded. Returns false for a discarded key.
    bool FilterHexKey(char key);
    // A digit in a byte cell: the second digit completes the byte and moves on.
    void EnterHexDigit(char digit);
    // ASCII view: the character, whatever its code, becomes the byte; the cursor moves on.
    void EnterAsciiChar(char c);
    // Moves the cursor to the next byte cell (see ::NextByteCell).
    void NextByteCell();

private:
    // A key in a value cell holding (or starting) a decimal number after '#'.
    bool typeDecimal(char key, CellPos valueButton);
    // Puts a character into the cell as an in-place editor would: the first key on a
    // freshly selected cell replaces its text, later keys are appended.
    void typeIntoCell(char c);
    [[nodiscard]] QByteArray currentText() const;
    void setCurrentText(const QByteArray &text);

    CardGridModel &m_grid;
    CellPos m_cursor{0, 0};
    bool m_asciiView = false;
    bool m_typing = false; // a key has been typed into the cell since it was selected
};
