#pragma once

#include "view/CardLayout.h"
#include "view/GridEditor.h"

#include <QTableView>

class CardGridModel;
class GridDelegate;
class ReadStrip;

// One card grid on screen (objectName "grid1", "grid4" or "gridUL"). It only routes
// events: typed characters and selection changes go to its GridEditor, clicks become
// hints and action requests; painting is the GridDelegate's.
class CardGridView : public QTableView
{
    Q_OBJECT

public:
    CardGridView(CardGridModel &grid, ReadStrip &strip, QWidget *parent = nullptr);

    [[nodiscard]] CardGridModel &grid() const { return m_grid; }
    [[nodiscard]] CardType cardType() const;
    [[nodiscard]] GridEditor &editor() { return m_editor; }

    // The selected cell; (0, 0) before anything was selected.
    [[nodiscard]] CellPos currentCell() const { return m_editor.cursor(); }
    // Selects a cell as the user would (the grid is tidied first).
    void selectCell(CellPos cell);

    // Pixel width of the whole grid, grid lines included.
    [[nodiscard]] int gridWidth() const;

Q_SIGNALS:
    // A single click: the status-bar text to show (empty clears it).
    void hintChanged(const QString &text);
    // A double click on a cell; the receiver looks up the action code.
    void cellDoubleClicked(CardType type, int column, int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void followEditor();

    CardGridModel &m_grid;
    GridEditor m_editor;
    GridDelegate *m_delegate = nullptr;
};
