#include "windows/GridPaintGeometry.h"

namespace GridPaintGeometry {

QRect fromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

namespace {
int L(const QRect &c) { return c.left(); }
int T(const QRect &c) { return c.top(); }
int R(const QRect &c) { return c.left() + c.width(); }
int B(const QRect &c) { return c.top() + c.height(); }
} // namespace

QPoint cellTextOrigin(const QRect &cell)
{
    return {L(cell) + 2, T(cell) + 2};
}

QPoint cornerTextOrigin(const QRect &cell)
{
    return {L(cell), T(cell)};
}

QRect blankRect(const QRect &cell)
{
    return fromEdges(L(cell), T(cell), R(cell) + 1, B(cell) + 1);
}

QRect separatorRect(const QRect &cell)
{
    return fromEdges(L(cell), T(cell), R(cell), B(cell) - 17);
}

QRect leftRuleRect(const QRect &cell)
{
    return fromEdges(L(cell) - 1, T(cell), L(cell) + 1, B(cell));
}

ButtonShape buttonShape(const QRect &cell, int captionOffset)
{
    const int l = L(cell), t = T(cell), r = R(cell), b = B(cell);
    ButtonShape shape;
    shape.face = fromEdges(l + 2, t + 2, r, b - 1);
    shape.light << QPoint(l, b) << QPoint(l, t) << QPoint(r, t);
    shape.shadow << QPoint(l + 1, b - 1) << QPoint(r - 1, b - 1) << QPoint(r - 1, t + 1);
    shape.caption = fromEdges(l + 2 + captionOffset, t + 2, r, b - 1);
    return shape;
}

ValueFieldShape valueFieldShape(const QRect &cell)
{
    const int l = L(cell), t = T(cell), r = R(cell), b = B(cell);
    return {fromEdges(l + 1, t + 1, r, b - 1), fromEdges(l + 3, t + 3, r - 1, b - 2), fromEdges(l + 3, t + 2, r, b)};
}

QRect readStripRect(CardType type, int gridLeft, const QRect &cell)
{
    int left = 73, right = 435;
    if (type == CardType::Mifare4K) {
        left = 85;
        right = 449;
    } else if (type == CardType::MifareUL) {
        left = 45;
        right = 200;
    }
    return fromEdges(gridLeft + left, T(cell), gridLeft + right, B(cell));
}

} // namespace GridPaintGeometry
