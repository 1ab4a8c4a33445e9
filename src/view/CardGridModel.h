#pragma once

#include "card/CardType.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QVector>

#include <functional>

// The card image of one card type: a table of single-byte text cells addressed
// (column, row) from 0, rows 0 and 1 being header rows. Reads, writes, files and the
// editors all go through cell() and setCell(); the view only displays and edits it.
class CardGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Roles beyond the cell text, for the painter and the actions.
    enum Role {
        CellLookRole = Qt::UserRole + 1, // CellLook: what is painted over the cell
        ActionRole,                      // QByteArray: the cell's action code ("N" for none)
        MarkRole,                        // int: CellMark flags of the cell
    };

    // Marks painted over a byte cell: changed since the last read, load or write, and
    // different from the image the grid is compared with.
    enum CellMark { NoMark = 0, Changed = 1, Differs = 2 };

    explicit CardGridModel(CardType type, QObject *parent = nullptr);

    [[nodiscard]] CardType cardType() const { return m_type; }

public: // cell access
    // Text of a cell; empty outside the grid.
    [[nodiscard]] QByteArray cell(int column, int row) const;
    // The same without a copy, for loops over the whole grid; the cell must exist.
    [[nodiscard]] const QByteArray &cellRef(int column, int row) const { return m_cells.at(row).at(column); }
    // Replaces a cell's text; ignored outside the grid.
    void setCell(int column, int row, const QByteArray &text);

    // The marks of every byte of the card image, one per byte in card order; empty
    // clears them. Byte cells only: values and labels are never marked.
    void setByteMarks(const QByteArray &marks);
    [[nodiscard]] int byteMark(int column, int row) const;
    // What a row means beyond its bytes (a value, access conditions), shown as the
    // tooltip of its byte and description cells; empty for nothing.
    void setRowToolTip(std::function<QString(int row)> toolTip) { m_rowToolTip = std::move(toolTip); }

    [[nodiscard]] int rows() const { return int(m_cells.size()); }
    [[nodiscard]] int columns() const { return m_columns; }

public: // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    CardType m_type;
    int m_columns = 0;
    QVector<QVector<QByteArray>> m_cells;
    QByteArray m_byteMarks; // CellMark per card byte, or empty
    std::function<QString(int)> m_rowToolTip;
};
