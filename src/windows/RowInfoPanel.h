#pragma once

#include "card/CardType.h"

#include <QLabel>

class CardGrids;

// The side panel under the command panels (objectName "RowInfoPanel"): for the selected
// row of the shown Classic grid, the decoded access conditions of a trailer or the value
// of a value block; invalid access bits in the palette's warning colour. Hidden while
// the selected row has nothing to tell.
class RowInfoPanel : public QLabel
{
    Q_OBJECT

public:
    explicit RowInfoPanel(CardGrids &grids, QWidget *parent = nullptr);

    // Shows what the row of the grid of type means now.
    void showRow(CardType type, int row);

private:
    void refresh();

    CardGrids &m_grids;
    CardType m_type = CardType::Mifare1K;
    int m_row = -1;
};
