#pragma once

#include "view/CardLayout.h"
#include "view/ReadStrip.h"

#include <QWidget>

class CardGridModel;
class CardGridView;
class QMenu;

// The three card grids of the main window (grid1, grid4, gridUL) at one place, only
// the grid of the selected card type visible. Owns the card images, the read strip
// state and the ASCII/HEX view, and the grids' pop-up menu "PopupMenu1".
class CardGrids : public QWidget
{
    Q_OBJECT

public:
    explicit CardGrids(QWidget *parent = nullptr);
    ~CardGrids() override;

    [[nodiscard]] CardGridModel &model(CardType type) const;
    [[nodiscard]] CardGridView &view(CardType type) const;

    // Shows the grid of a card type and hides the two others; no cell changes.
    void showOnly(CardType type);
    [[nodiscard]] CardType shownType() const { return m_shown; }

    // Re-applies the layouts of grid1, grid4 and gridUL, in this order; byte and
    // value cells are kept.
    void applyLayouts();

    // The ASCII/HEX view of all three grids ("Grid as ASCII"). Switching it converts
    // the data cells of every grid (GridToAscii / GridToHex); setting the state the
    // view already has converts nothing, so the data is never converted twice.
    [[nodiscard]] bool asciiView() const { return m_asciiView; }
    void setAsciiView(bool on);

    // State of "Get data blocks to grid", read by the strip painter.
    void setGetData(bool on);

public: // the read strip (LastReadText, LastReadFlag, LastReadRow)
    [[nodiscard]] ReadStrip &readStrip() { return m_readStrip; }
    [[nodiscard]] const QByteArray &lastReadText() const { return m_readStrip.lastReadText(); }
    void setLastReadText(const QByteArray &text) { m_readStrip.setLastReadText(text); }
    // Sets LastReadFlag to "ok" and LastReadRow to row, and repaints the grid of the
    // type so that the strip shows (when "Get data blocks to grid" is off).
    void showReadStrip(CardType type, int row);

Q_SIGNALS:
    // A single click in a grid: the status-bar text (empty clears the status bar).
    void hintChanged(const QString &text);
    // A double click on a cell of a grid, for the grid actions.
    void cellDoubleClicked(CardType type, int column, int row);
    // The pop-up item "ASCII / HEX": the owner of "Grid as ASCII" toggles it and calls
    // setAsciiView with the new state.
    void asciiToggleRequested();

private:
    CardGridModel *m_models[3] = {};
    CardGridView *m_views[3] = {};
    QMenu *m_popup = nullptr;
    ReadStrip m_readStrip;
    CardType m_shown = CardType::Mifare1K;
    bool m_asciiView = false;
};
