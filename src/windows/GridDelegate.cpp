#include "windows/GridDelegate.h"

#include "view/CardGridModel.h"
#include "view/CardLayout.h"
#include "view/CellLook.h"
#include "view/GridPaintGeometry.h"
#include "view/ReadStrip.h"

#include <QApplication>
#include <QPainter>
#include <QTableView>

namespace {

const QColor kWhite(255, 255, 255);
const QColor kCream(255, 251, 240);
const QColor kSkyBlue(166, 202, 240);
const QColor kGrey(128, 128, 128);

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

namespace {

// A palette whose text is lighter than its background is a dark one.
bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::WindowText).lightness() > palette.color(QPalette::Window).lightness();
}

} // namespace

QColor GridDelegate::markColour(const QPalette &palette, int mark)
{
    const bool dark = isDark(palette);
    if (mark & CardGridModel::Differs)
        return dark ? QColor(128, 40, 48) : QColor(255, 190, 190);
    if (mark & CardGridModel::Changed)
        return dark ? QColor(112, 92, 24) : QColor(255, 236, 150);
    return {};
}

QColor GridDelegate::warningColour(const QPalette &palette)
{
    return isDark(palette) ? QColor(255, 120, 120) : QColor(192, 0, 0);
}

void GridDelegate::paintPlainCell(QPainter *painter, const QStyleOptionViewItem &option, const QRect &cell,
                                  const QString &text, int mark) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &palette = option.palette;
    const QColor marked = markColour(palette, mark);
    painter->fillRect(cell, selected ? palette.color(QPalette::Highlight) : marked.isValid() ? marked : kWhite);

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
    painter->setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::WindowText));
    drawCornerText(painter, cellTextOrigin(cell), cell, text);
}

void GridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto look = index.data(CardGridModel::CellLookRole).value<CellLook>();
    const QString text = index.data(Qt::DisplayRole).toString();
    const QPalette &palette = option.palette;
    const QColor windowText = palette.color(QPalette::WindowText);
    const QColor buttonFace = palette.color(QPalette::Button);
    const QColor buttonShadow = palette.color(QPalette::Dark);

    // The section includes the grid line right and below; the cell is the rest.
    const QRect cell = option.rect.adjusted(0, 0, -CardLayout::kGridLine, -CardLayout::kGridLine);
    const auto *view = qobject_cast<const QTableView *>(option.widget);
    const int gridLeft = view ? view->columnViewportPosition(0) : 0;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (painter->font() != gridFont())
        painter->setFont(gridFont());
    paintPlainCell(painter, option, cell, text, index.data(CardGridModel::MarkRole).toInt());

    if (m_strip.paintCell(m_type, index.row())) {
        const QRect strip = readStripRect(m_type, gridLeft, cell);
        painter->fillRect(strip, kSkyBlue);
        painter->setFont(stripFont());
        painter->setPen(windowText);
        drawCaption(painter, strip, ReadStrip::caption(m_type, m_strip.lastReadText()));
        painter->setFont(gridFont());
    }

    if (look.titleBand) {
        const TitleBand band = titleBand(m_type);
        const int top = cell.top();
        painter->fillRect(fromEdges(gridLeft, top, gridLeft + 555, top + 22), kWhite);
        painter->fillRect(fromEdges(gridLeft + band.innerLeft, top, gridLeft + band.innerRight, top + 22), kWhite);
        painter->setPen(windowText);
        drawCaption(painter, fromEdges(gridLeft + band.textLeft, top, gridLeft + band.innerRight, top + 22), band.text);
    }

    if (look.separator)
        painter->fillRect(separatorRect(cell), buttonFace);

    if (look.cream) {
        painter->fillRect(cell, kCream);
        painter->setPen(windowText);
        drawCornerText(painter, cornerTextOrigin(cell), cell, text);
    }

    if (look.body == CellLook::Body::Button) {
        const ButtonShape shape = buttonShape(cell, look.captionOffset);
        painter->fillRect(shape.face, buttonFace);
        painter->setPen(QPen(kWhite, 1));
        painter->drawPolyline(shape.light);
        painter->setPen(QPen(buttonShadow, 1));
        painter->drawPolyline(shape.shadow);
        painter->setPen(windowText);
        drawCaption(painter, shape.caption, look.caption);
    }

    if (look.leftRule)
        painter->fillRect(leftRuleRect(cell), kGrey);

    switch (look.body) {
    case CellLook::Body::Blank:
        painter->fillRect(blankRect(cell), kWhite);
        break;
    case CellLook::Body::ValueField: {
        const ValueFieldShape shape = valueFieldShape(cell);
        painter->fillRect(shape.frame, buttonFace);
        painter->fillRect(shape.field, kWhite);
        painter->setPen(windowText);
        drawCornerText(painter, shape.text.topLeft(), shape.text, text);
        break;
    }
    case CellLook::Body::TrailerValue:
        painter->fillRect(blankRect(cell), kWhite);
        painter->setPen(windowText);
        drawCornerText(painter, cornerTextOrigin(cell), cell, text);
        break;
    case CellLook::Body::Text:
    case CellLook::Body::Button:
        break;
    }

    if ((option.state & QStyle::State_HasFocus) && look.body != CellLook::Body::Blank) {
        painter->setPen(QPen(windowText, 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
