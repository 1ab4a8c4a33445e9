#include "view/CardGridModel.h"

#include "view/CardLayout.h"
#include "view/CellLook.h"

namespace {

int rowsOf(CardType type)
{
    return CardLayout::rowCount(type);
}

int columnsOf(CardType type)
{
    return CardLayout::columnCount(type);
}

QVector<QVariant> buildLookTable(CardType type)
{
    QVector<QVariant> table;
    const int columns = columnsOf(type);
    table.reserve(rowsOf(type) * columns);
    for (int row = 0; row < rowsOf(type); ++row) {
        for (int column = 0; column < columns; ++column)
            table.append(QVariant::fromValue(cellLook(type, column, row)));
    }
    return table;
}

// The looks depend only on the card type and the cell, so they are worked out once.
const QVector<QVariant> &lookTable(CardType type)
{
    static const QVector<QVariant> tables[3] = {buildLookTable(CardType::Mifare1K),
                                                buildLookTable(CardType::Mifare4K),
                                                buildLookTable(CardType::MifareUL)};
    return tables[int(type)];
}

// Value fields take a 32-bit number as text: say how, since nothing else on screen does.
QVariant toolTipOf(const CellLook &look, int column)
{
    if (look.body != CellLook::Body::ValueField)
        return {};
    const char *what = column == CardLayout::kAmountColumn ? "Amount to increment or decrement"
                                                             : "Value to write, or the value last read";
    return QStringLiteral("%1: 8 hexadecimal digits, most significant first (0000012C is 300)")
        .arg(QLatin1String(what));
}

} // namespace

CardGridModel::CardGridModel(CardType type, QObject *parent)
    : QAbstractTableModel(parent)
    , m_type(type)
    , m_columns(columnsOf(type))
    , m_cells(rowsOf(type), QVector<QByteArray>(columnsOf(type)))
{
}

QByteArray CardGridModel::cell(int column, int row) const
{
    if (row < 0 || row >= rows() || column < 0 || column >= m_columns)
        return {};
    return m_cells.at(row).at(column);
}

void CardGridModel::setCell(int column, int row, const QByteArray &text)
{
    if (row < 0 || row >= rows() || column < 0 || column >= m_columns)
        return;
    if (m_cells.at(row).at(column) == text)
        return;
    m_cells[row][column] = text;
    const QModelIndex changed = index(row, column);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
}

int CardGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows();
}

int CardGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant CardGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows() || index.column() >= m_columns)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromLatin1(m_cells.at(index.row()).at(index.column()));
    case CellLookRole:
        return lookTable(m_type).at(index.row() * m_columns + index.column());
    case ActionRole:
        return CardLayout::cellAction(m_type, index.column(), index.row());
    case Qt::AccessibleTextRole: {
        // An action cell is read out as what it does; other cells as their text.
        const QString name = CardLayout::actionName(m_type, index.column(), index.row());
        if (!name.isEmpty())
            return name;
        return QString::fromLatin1(m_cells.at(index.row()).at(index.column()));
    }
    case Qt::ToolTipRole:
        return toolTipOf(lookTable(m_type).at(index.row() * m_columns + index.column()).value<CellLook>(),
                         index.column());
    default:
        return {};
    }
}

bool CardGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setCell(index.column(), index.row(), value.toString().toLatin1());
    return true;
}

Qt::ItemFlags CardGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
