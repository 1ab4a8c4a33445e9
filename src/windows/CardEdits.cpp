#include "windows/CardEdits.h"

#include "card/Hex.h"
#include "files/GridImage.h"
#include "view/CardGridModel.h"
#include "view/GridEditing.h"
#include "windows/CardGrids.h"

#include <QTimer>

namespace {

constexpr CardType kTypes[] = {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL};

} // namespace

CardEdits::CardEdits(CardGrids &grids, QObject *parent)
    : QObject(parent)
    , m_grids(grids)
{
    for (CardType type : kTypes) {
        m_image[int(type)] = readGrid(type);
        m_tracker[int(type)].setBaseline(m_image[int(type)]);
        connect(&grids.model(type), &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                    if (!roles.contains(CardGridModel::MarkRole))
                        onGridChanged();
                });
    }
}

void CardEdits::onGridChanged()
{
    if (m_applying || m_pending)
        return;
    m_pending = true;
    // Everything one key, one load or one import changes is one step.
    QTimer::singleShot(0, this, [this] { settle(QStringLiteral("Edit")); });
}

CardImage CardEdits::readGrid(CardType type) const
{
    // A cell that is not a whole byte yet (one typed digit, an ASCII-view character)
    // keeps the byte it had; an empty hex cell is an unknown byte.
    const CardGridModel &grid = m_grids.model(type);
    CardImage image = m_image[int(type)];
    const bool ascii = m_grids.asciiView();
    for (int i = 0; i < image.size(); ++i) {
        const int column = GridImage::columnOf(type, i);
        const int row = GridImage::rowOf(type, i);
        const QByteArray &text = grid.cellRef(column, row);
        if (ascii && isAsciiDataCell(type, column, row)) {
            if (text.size() == 1)
                image.setByte(i, quint8(text.at(0)));
            continue;
        }
        if (text.isEmpty())
            image.setUnknown(i);
        else if (text.size() == 2 && Hex::isDigit(text.at(0)) && Hex::isDigit(text.at(1)))
            image.setByte(i, Hex::pairValue(text.toUpper()));
    }
    return image;
}

bool CardEdits::settle(const QString &label)
{
    m_pending = false;
    bool changed = false;
    for (CardType type : kTypes) {
        const CardImage now = readGrid(type);
        CardImage &before = m_image[int(type)];
        if (now == before)
            continue;
        m_history[int(type)].record(before, now, label);
        before = now;
        m_tracker[int(type)].update(now);
        showMarks(type);
        changed = true;
    }
    if (changed)
        Q_EMIT historyChanged();
    return changed;
}

void CardEdits::setBaseline()
{
    for (CardType type : kTypes)
        setBaseline(type);
}

void CardEdits::setBaseline(CardType type)
{
    m_image[int(type)] = readGrid(type);
    m_tracker[int(type)].setBaseline(m_image[int(type)]);
    showMarks(type);
}

void CardEdits::cardHolds(CardType type, int block, const QByteArray &held)
{
    // Against the image as last settled: a grid that the read changed differs from it,
    // and the settle that follows compares every byte again.
    m_tracker[int(type)].setBaselineBlock(m_image[int(type)], block, held);
    if (m_marksQueued)
        return;
    // A whole-card run reports every block: the marks are shown once, after it.
    m_marksQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_marksQueued = false;
        for (CardType each : kTypes)
            showMarks(each);
    });
}

QList<CardType> CardEdits::typesWithUnsavedChanges()
{
    settle(QStringLiteral("Edit"));
    QList<CardType> types;
    for (CardType type : kTypes) {
        if (m_tracker[int(type)].hasChanges())
            types << type;
    }
    return types;
}

bool CardEdits::hasUnsavedChanges()
{
    return !typesWithUnsavedChanges().isEmpty();
}

bool CardEdits::canUndo() const
{
    return m_history[int(m_grids.shownType())].canUndo();
}

bool CardEdits::canRedo() const
{
    return m_history[int(m_grids.shownType())].canRedo();
}

QString CardEdits::undoLabel() const
{
    return m_history[int(m_grids.shownType())].undoLabel();
}

QString CardEdits::redoLabel() const
{
    return m_history[int(m_grids.shownType())].redoLabel();
}

void CardEdits::undo()
{
    settle(QStringLiteral("Edit"));
    const CardType type = m_grids.shownType();
    if (const std::optional<CardImage> earlier = m_history[int(type)].undo(m_image[int(type)]))
        apply(type, *earlier);
}

void CardEdits::redo()
{
    settle(QStringLiteral("Edit"));
    const CardType type = m_grids.shownType();
    if (const std::optional<CardImage> later = m_history[int(type)].redo(m_image[int(type)]))
        apply(type, *later);
}

void CardEdits::apply(CardType type, const CardImage &image)
{
    CardGridModel &grid = m_grids.model(type);
    const bool ascii = m_grids.asciiView();
    m_applying = true;
    for (int i = 0; i < image.size(); ++i) {
        const int column = GridImage::columnOf(type, i);
        const int row = GridImage::rowOf(type, i);
        QByteArray text;
        if (ascii && isAsciiDataCell(type, column, row))
            text = image.isKnown(i) && image.byte(i) != 0 ? QByteArray(1, char(image.byte(i))) : QByteArray();
        else if (image.isKnown(i))
            text = Hex::pair(image.byte(i));
        grid.setCell(column, row, text);
    }
    m_applying = false;
    m_image[int(type)] = image;
    m_tracker[int(type)].update(image);
    showMarks(type);
    Q_EMIT historyChanged();
}

void CardEdits::setDifferences(CardType type, const QByteArray &differs)
{
    m_differs[int(type)] = differs;
    showMarks(type);
}

void CardEdits::showMarks(CardType type)
{
    const EditTracker &tracker = m_tracker[int(type)];
    const QByteArray &differs = m_differs[int(type)];
    if (!tracker.hasChanges() && differs.isEmpty()) {
        m_grids.model(type).setByteMarks({});
        return;
    }
    QByteArray marks(m_image[int(type)].size(), char(CardGridModel::NoMark));
    for (int i = 0; i < marks.size(); ++i) {
        const int mark = (tracker.isChanged(i) ? CardGridModel::Changed : 0)
                         | (i < differs.size() && differs.at(i) ? CardGridModel::Differs : 0);
        marks[i] = char(mark);
    }
    m_grids.model(type).setByteMarks(marks);
}
