#include "windows/CardGridView.h"

#include "view/CardGridModel.h"
#include "windows/GridDelegate.h"
#include "view/CardLayout.h"
#include "view/GridEditing.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

QString objectNameOf(CardType type)
{
    switch (type) {
    case CardType::Mifare1K: return QStringLiteral("grid1");
    case CardType::Mifare4K: return QStringLiteral("grid4");
    case CardType::MifareUL: return QStringLiteral("gridUL");
    }
    return {};
}

} // namespace

CardGridView::CardGridView(CardGridModel &grid, ReadStrip &strip, QWidget *parent)
    : QTableView(parent)
    , m_grid(grid)
    , m_editor(grid)
    , m_delegate(new GridDelegate(grid.cardType(), strip, this))
{
    setObjectName(objectNameOf(grid.cardType()));
    setModel(&grid);
    setItemDelegate(m_delegate);
    setFont(GridDelegate::gridFont());

    // Header and label cells are ordinary cells of the model, so the toolkit's headers
    // are not shown. The grid lines are painted with the cells (see GridDelegate).
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    // Hovering must not repaint cells: a repaint of the read strip's row below the
    // strip would end it cell by cell under the mouse.
    viewport()->setAttribute(Qt::WA_Hover, false);
    setMouseTracking(false);

    // Sections include the grid line, so a cell is exactly its listed width and 20
    // pixels high and the painted positions (strip, bands) fall on the columns.
    QHeaderView *columns = horizontalHeader();
    columns->setMinimumSectionSize(1);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    const QVector<int> widths = CardLayout::columnWidths(grid.cardType());
    for (int c = 0; c < widths.size(); ++c)
        columns->resizeSection(c, widths.at(c) + CardLayout::kGridLine);
    QHeaderView *rows = verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(CardLayout::kRowHeight + CardLayout::kGridLine);

    setCurrentIndex(grid.index(0, 0));

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        Q_EMIT hintChanged(clickHint(cardType(), index.column(), index.row()));
    });
}

CardType CardGridView::cardType() const
{
    return m_grid.cardType();
}

int CardGridView::gridWidth() const
{
    return horizontalHeader()->length();
}

void CardGridView::selectCell(CellPos cell)
{
    setCurrentIndex(m_grid.index(cell.row, cell.column));
}

void CardGridView::keyPressEvent(QKeyEvent *event)
{
    // Enter or Space on an action cell is its double click: the same action with the
    // same questions. Elsewhere these keys are typed into the cell as before.
    const int key = event->key();
    const bool activates = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (activates && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const CellPos cell = currentCell();
        if (CardLayout::cellAction(cardType(), cell.column, cell.row) != "N") {
            event->accept();
            Q_EMIT cellDoubleClicked(cardType(), cell.column, cell.row);
            return;
        }
    }
    const QString text = event->text();
    // Navigation keys (arrows, pages, Tab) are the table's; every character key goes
    // to the editor, so that no cell is changed or searched by the toolkit.
    if (text.size() != 1 || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
    const QChar typed = text.at(0);
    // Cells hold single bytes; a character outside Latin-1 has no byte and is dropped.
    if (typed.unicode() > 0xFF)
        return;
    if (m_editor.keyPress(char(typed.unicode())))
        followEditor();
}

void CardGridView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (current.isValid())
        m_editor.moveCursor({current.column(), current.row()});
    QTableView::currentChanged(current, previous);
}

void CardGridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (index.isValid())
        Q_EMIT cellDoubleClicked(cardType(), index.column(), index.row());
}

void CardGridView::followEditor()
{
    const CellPos cursor = m_editor.cursor();
    const QModelIndex index = m_grid.index(cursor.row, cursor.column);
    if (index != currentIndex())
        setCurrentIndex(index);
}
