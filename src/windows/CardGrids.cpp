#include "windows/CardGrids.h"

#include "view/CardGridModel.h"
#include "windows/CardGridView.h"
#include "windows/RowInfo.h"
#include "view/GridEditing.h"
#include "view/GridLayout.h"

#include <QMenu>
#include <QStackedLayout>

namespace {

constexpr CardType kTypes[] = {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL};

} // namespace

CardGrids::CardGrids(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("cardGrids"));
    auto *stack = new QStackedLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setStackingMode(QStackedLayout::StackAll);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *toggle = m_popup->addAction(QStringLiteral("ASCII / HEX"));
    connect(toggle, &QAction::triggered, this, &CardGrids::asciiToggleRequested);

    for (CardType type : kTypes) {
        const int i = int(type);
        m_models[i] = new CardGridModel(type, this);
        CardGridModel *model = m_models[i];
        model->setRowToolTip([model](int row) { return rowInfo(*model, row).text; });
        m_views[i] = new CardGridView(*m_models[i], m_readStrip, this);
        CardGridView *view = m_views[i];
        stack->addWidget(view);
        view->hide();
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint &pos) {
            m_popup->popup(view->viewport()->mapToGlobal(pos));
        });
        connect(view, &CardGridView::hintChanged, this, &CardGrids::hintChanged);
        connect(view, &CardGridView::cellDoubleClicked, this, &CardGrids::cellDoubleClicked);
    }
}

CardGrids::~CardGrids() = default;

CardGridModel &CardGrids::model(CardType type) const
{
    return *m_models[int(type)];
}

CardGridView &CardGrids::view(CardType type) const
{
    return *m_views[int(type)];
}

void CardGrids::showOnly(CardType type)
{
    m_shown = type;
    for (CardType t : kTypes)
        m_views[int(t)]->setVisible(t == type);
}

void CardGrids::applyLayouts()
{
    for (CardType type : kTypes)
        GridLayout::apply(*m_models[int(type)]);
}

void CardGrids::setAsciiView(bool on)
{
    if (on == m_asciiView)
        return;
    m_asciiView = on;
    for (CardType type : kTypes) {
        CardGridModel &grid = *m_models[int(type)];
        if (on)
            GridToAscii(grid);
        else
            GridToHex(grid);
        m_views[int(type)]->editor().setAsciiView(on);
    }
}

void CardGrids::setGetData(bool on)
{
    m_readStrip.setGetData(on);
}

void CardGrids::showReadStrip(CardType type, int row)
{
    m_readStrip.setLastReadFlag("ok");
    m_readStrip.setLastReadRow(row);
    m_views[int(type)]->viewport()->update();
}
