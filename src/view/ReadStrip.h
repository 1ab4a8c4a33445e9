#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QString>

// The read strip: the data of the last read shown over the row it came from when the
// data was not copied into the grid. A read action sets the text, the flag and the
// row and repaints the grid; the painter shows the strip on the row and ends it as
// soon as it paints a lower row, so the grid's own cells come back on the next paint.
class ReadStrip
{
public: // main window state of the read commands
    [[nodiscard]] const QByteArray &lastReadText() const { return m_lastReadText; }
    void setLastReadText(const QByteArray &text) { m_lastReadText = text; }
    // "ok" while the strip is to be shown, empty otherwise.
    [[nodiscard]] const QByteArray &lastReadFlag() const { return m_lastReadFlag; }
    void setLastReadFlag(const QByteArray &flag) { m_lastReadFlag = flag; }
    [[nodiscard]] int lastReadRow() const { return m_lastReadRow; }
    void setLastReadRow(int row) { m_lastReadRow = row; }
    // State of "Get data blocks to grid": with it on the data went into the grid and no
    // strip is drawn.
    [[nodiscard]] bool getData() const { return m_getData; }
    void setGetData(bool on) { m_getData = on; }

public: // painter
    // Called for every cell the painter draws. True when the strip is to be drawn over
    // this cell's row; then, a row below the strip's ends it. The Classic grids clear
    // the text with it, gridUL keeps it.
    [[nodiscard]] bool paintCell(CardType type, int row);

    // Caption of the strip: the whole text for Classic; for Ultralight the first 12
    // characters (four bytes), " ascii: " and the characters of those bytes, zero
    // bytes left out.
    [[nodiscard]] static QString caption(CardType type, const QByteArray &text);

private:
    QByteArray m_lastReadText;
    QByteArray m_lastReadFlag;
    int m_lastReadRow = 0;
    bool m_getData = true;
};
