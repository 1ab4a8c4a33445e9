#pragma once

#include "card/CardType.h"
#include "view/ColourScheme.h"

#include <QStyledItemDelegate>

class ReadStrip;

// Paints the cells of a card grid: the plain cell (background, text, grid lines) and
// then, from the model's CellLook role, title band, separators, cream trailers, rules,
// blanks, buttons and value fields; over the row of the last read, the read strip.
// Painting is not clipped to the cell: like the bands and the strip, a later cell may
// paint over an earlier one, so cells must be painted row by row, left to right.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    GridDelegate(CardType type, ReadStrip &strip, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Fonts of the grid and of the read strip ("Arial" 8 and 7 point).
    [[nodiscard]] static QFont gridFont();
    [[nodiscard]] static QFont stripFont();

private:
    void paintPlainCell(QPainter *painter, const QStyleOptionViewItem &option, const QRect &cell,
                        const QString &text) const;

    // The colours for a palette, worked out again only when the palette changes.
    [[nodiscard]] const ColourScheme &colours(const QPalette &palette) const;

    CardType m_type;
    ReadStrip &m_strip;
    mutable QColor m_gridColor; // the style's grid line colour, looked up on first paint
    mutable ColourScheme m_colours;
    mutable qint64 m_coloursKey = -1;
};
