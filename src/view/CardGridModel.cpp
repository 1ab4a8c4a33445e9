#include "view/CardGridModel.h"

namespace {

int rowsOf(CardType type)
{
    switch (type) {
    case CardType::Mifare1K: return 66;
    case CardType::Mifare4K: return 258;
    case CardType::MifareUL: return 18;
    }
    return 0;
}

int columnsOf(CardType type)
{
    return type == CardType::MifareUL ? 10 : 34;
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
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return QString::fromLatin1(cell(index.column(), index.row()));
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
