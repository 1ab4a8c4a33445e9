#include "windows/RowInfoPanel.h"

#include "view/CardGridModel.h"
#include "windows/ColourScheme.h"
#include "windows/RowInfo.h"
#include "windows/CardGridView.h"
#include "windows/CardGrids.h"

#include <QApplication>
#include <QItemSelectionModel>

RowInfoPanel::RowInfoPanel(CardGrids &grids, QWidget *parent)
    : QLabel(parent)
    , m_grids(grids)
{
    setObjectName(QStringLiteral("RowInfoPanel"));
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFrameShape(QFrame::StyledPanel);
    setMargin(3);
    hide();
    for (CardType type : {CardType::Mifare1K, CardType::Mifare4K}) {
        CardGridView &view = grids.view(type);
        connect(view.selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this, type](const QModelIndex &current) { showRow(type, current.row()); });
        // Typing into the selected row changes what it means.
        connect(&grids.model(type), &QAbstractItemModel::dataChanged, this,
                [this, type](const QModelIndex &first, const QModelIndex &last) {
                    if (type == m_type && m_row >= first.row() && m_row <= last.row())
                        refresh();
                });
    }
}

void RowInfoPanel::showRow(CardType type, int row)
{
    m_type = type;
    m_row = row;
    refresh();
}

void RowInfoPanel::refresh()
{
    const RowInfo info = m_row < 0 ? RowInfo{} : rowInfo(m_grids.model(m_type), m_row);
    if (info.kind == RowInfo::Kind::None) {
        clear();
        hide();
        return;
    }
    const QPalette base = QApplication::palette(this);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, info.kind == RowInfo::Kind::InvalidAccess
                                               ? ColourScheme::fromPalette(base).warningText
                                               : base.color(QPalette::WindowText));
    setPalette(colours);
    setText(info.text);
    show();
}
