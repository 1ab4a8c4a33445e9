#include "windows/GridDelegate.h"

#include "view/CardGridModel.h"
#include "view/CardLayout.h"
#include "view/CellLook.h"
#include "view/ColourScheme.h"
#include "view/GridPaintGeometry.h"
#include "view/ReadStrip.h"

#include <QApplication>
#include <QPainter>
#include <QTableView>

namespace {

// Caption text: one line from the left edge, centred vertically, elided at the end.
void drawCaption(QPainter *painter, const QRect &rect, const QString &text)
{
    const QString shown = painter->fontMetrics().elidedText(text, Qt::ElideRight, qMax(0, rect.width()));
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

// Text whose top-left corner is at origin (no margin), cut at the cell's edges.
void drawCornerText(QPainter *painter, const QPoint &origin, const QRect &cell, const QString &text)
{
    const QRect box(origin, cell.bottomRight());
    constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    // Clipping costs, and nearly every cell text fits, so clip only when needed.
    if (painter->fontMetrics().horizontalAdvance(text) <= box.width()) {
        painter->drawText(box, flags, text);
        return;
    }
    painter->save();
    painter->setClipRect(box, Qt::IntersectClip);
    painter->drawText(box, flags, text);
    painter->restore();
}

} // namespace

using namespace GridPaintGeometry;

GridDelegate::GridDelegate(CardType type, ReadStrip &strip, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_type(type)
    , m_strip(strip)
{
}

QFont GridDelegate::gridFont()
{
    static const QFont font(QStringLiteral("Arial"), 8);
    return font;
}

QFont GridDelegate::stripFont()
{
    static const QFont font(QStringLiteral("Arial"), 7);
    return font;
}

QSize GridDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return {18, 20};
}

const ColourScheme &GridDelegate::colours(const QPalette &palette) const
{
    if (palette.cacheKey() != m_coloursKey) {
        m_colours = ColourScheme::fromPalette(palette);
        m_coloursKey = palette.cacheKey();
    }
    return m_colours;
}

void GridDelegate::paintPlainCell(QPainter *painter, const QStyleOptionViewItem &option, const QRect &cell,
                                  const QString &text) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const ColourScheme &c = colours(option.palette);
    painter->fillRect(cell, selected ? c.highlight : c.cell);

    if (!m_gridColor.isValid()) {
        const QWidget *widget = option.widget;
        const QStyle *style = widget ? widget->style() : QApplication::style();
        m_gridColor = QColor::fromRgba(QRgb(style->styleHint(QStyle::SH_Table_GridLineColor, &option, widget)));
    }
    painter->setPen(m_gridColor);
    const int r = cell.left() + cell.width();
    const int b = cell.top() + cell.height();
    painter->drawLine(r, cell.top(), r, b);
    painter->drawLine(cell.left(), b, r, b);

    if (text.isEmpty())
        return;
    painter->setPen(selected ? c.highlightText : c.cellText);
    drawCornerText(painter, cellTextOrigin(cell), cell, text);
}

void GridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto look = index.data(CardGridModel::CellLookRole).value<CellLook>();
    const QString text = index.data(Qt::DisplayRole).toString();
    // Every fill with its own text colour, so that text contrasts under any palette.
    const ColourScheme &c = colours(option.palette);

    // The section includes the grid line right and below; the cell is the rest.
    const QRect cell = option.rect.adjusted(0, 0, -CardLayout::kGridLine, -CardLayout::kGridLine);
    const auto *view = qobject_cast<const QTableView *>(option.widget);
    const int gridLeft = view ? view->columnViewportPosition(0) : 0;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (painter->font() != gridFont())
        painter->setFont(gridFont());
    paintPlainCell(painter, option, cell, text);

    if (m_strip.paintCell(m_type, index.row())) {
        const QRect strip = readStripRect(m_type, gridLeft, cell);
        painter->fillRect(strip, c.strip);
        painter->setFont(stripFont());
        painter->setPen(c.stripText);
        drawCaption(painter, strip, ReadStrip::caption(m_type, m_strip.lastReadText()));
        painter->setFont(gridFont());
    }

    if (look.titleBand) {
        const TitleBand band = titleBand(m_type);
        const int top = cell.top();
        painter->fillRect(fromEdges(gridLeft, top, gridLeft + 555, top + 22), c.cell);
        painter->fillRect(fromEdges(gridLeft + band.innerLeft, top, gridLeft + band.innerRight, top + 22), c.cell);
        painter->setPen(c.cellText);
        drawCaption(painter, fromEdges(gridLeft + band.textLeft, top, gridLeft + band.innerRight, top + 22), band.text);
    }

    if (look.separator)
        painter->fillRect(separatorRect(cell), c.buttonFace);

    if (look.cream) {
        painter->fillRect(cell, c.cream);
        painter->setPen(c.creamText);
        drawCornerText(painter, cornerTextOrigin(cell), cell, text);
    }

    if (look.body == CellLook::Body::Button) {
        const ButtonShape shape = buttonShape(cell, look.captionOffset);
        painter->fillRect(shape.face, c.buttonFace);
        painter->setPen(QPen(c.buttonLight, 1));
        painter->drawPolyline(shape.light);
        painter->setPen(QPen(c.buttonShadow, 1));
        painter->drawPolyline(shape.shadow);
        painter->setPen(c.buttonText);
        drawCaption(painter, shape.caption, look.caption);
    }

    if (look.leftRule)
        painter->fillRect(leftRuleRect(cell), c.rule);

    switch (look.body) {
    case CellLook::Body::Blank:
        painter->fillRect(blankRect(cell), c.cell);
        break;
    case CellLook::Body::ValueField: {
        const ValueFieldShape shape = valueFieldShape(cell);
        painter->fillRect(shape.frame, c.buttonFace);
        painter->fillRect(shape.field, c.cell);
        painter->setPen(c.cellText);
        drawCornerText(painter, shape.text.topLeft(), shape.text, text);
        break;
    }
    case CellLook::Body::TrailerValue:
        painter->fillRect(blankRect(cell), c.cell);
        painter->setPen(c.cellText);
        drawCornerText(painter, cornerTextOrigin(cell), cell, text);
        break;
    case CellLook::Body::Text:
    case CellLook::Body::Button:
        break;
    }

    if ((option.state & QStyle::State_HasFocus) && look.body != CellLook::Body::Blank) {
        painter->setPen(QPen(c.cellText, 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
