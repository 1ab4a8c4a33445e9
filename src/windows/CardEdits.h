#pragma once

#include "card/CardImage.h"
#include "workflows/EditTracker.h"
#include "workflows/UndoHistory.h"

#include <QObject>
#include <QString>

#include <array>

class CardGrids;
class CardGridModel;

// Keeps what the user changed in the card grids: the bytes changed since the last read,
// load or write (marked in the grid), and the undo history of grid edits, loads and
// imports. It watches the grid models: changes that arrive while one event is handled
// are settled together afterwards as one step, named by whoever caused them ("Edit"
// unless settle() is called earlier with another name).
class CardEdits : public QObject
{
    Q_OBJECT

public:
    explicit CardEdits(CardGrids &grids, QObject *parent = nullptr);

    // Records the changes made since the last step as one step named label; true when
    // any byte changed.
    bool settle(const QString &label);
    // After a load, a Read All, a Write All or a save: nothing counts as changed.
    void setBaseline();
    void setBaseline(CardType type);
    // After one block (Ultralight: page) was read into the grid or written to the card:
    // held is what the card holds there; its marks go where the grid differs from it.
    void cardHolds(CardType type, int block, const QByteArray &held);
    // The card types whose grids have bytes changed and not yet read, loaded, written
    // or saved.
    [[nodiscard]] QList<CardType> typesWithUnsavedChanges();

    void undo();
    void redo();
    [[nodiscard]] bool canUndo() const;
    [[nodiscard]] bool canRedo() const;
    [[nodiscard]] QString undoLabel() const;
    [[nodiscard]] QString redoLabel() const;

    // Marks the bytes of a grid that differ from a compared image (one flag per byte,
    // non-zero differs); empty clears the marks.
    void setDifferences(CardType type, const QByteArray &differs);

    // Bytes changed and not yet read, loaded, written or saved, in any grid.
    [[nodiscard]] bool hasUnsavedChanges();
    [[nodiscard]] const EditTracker &tracker(CardType type) const { return m_tracker[int(type)]; }
    // The image the grid of a card type shows, as last settled.
    [[nodiscard]] const CardImage &image(CardType type) const { return m_image[int(type)]; }

Q_SIGNALS:
    // Undo or redo became possible or impossible, or their names changed.
    void historyChanged();

private:
    void onGridChanged();
    void apply(CardType type, const CardImage &image);
    void showMarks(CardType type);
    [[nodiscard]] CardImage readGrid(CardType type) const;

    CardGrids &m_grids;
    std::array<EditTracker, 3> m_tracker{EditTracker(CardType::Mifare1K), EditTracker(CardType::Mifare4K),
                                         EditTracker(CardType::MifareUL)};
    std::array<UndoHistory, 3> m_history{UndoHistory(), UndoHistory(), UndoHistory()};
    std::array<CardImage, 3> m_image{CardImage(CardType::Mifare1K), CardImage(CardType::Mifare4K),
                                     CardImage(CardType::MifareUL)};
    std::array<QByteArray, 3> m_differs{};
    bool m_pending = false;  // a grid changed since the last settle
    bool m_applying = false; // an undo or redo is writing the grid
    bool m_marksQueued = false; // the marks are shown again once the current event is done
};
