#pragma once

#include "files/CardImage.h"

#include <QList>
#include <QString>

#include <optional>

// Undo and redo of a card image as whole snapshots (8 KB for the largest card), so a
// grid edit, a load and an import are undone alike. One history per card type.
class UndoHistory
{
public:
    explicit UndoHistory(int limit = 100) : m_limit(limit) {}

    // The image before and after a change, named for the Edit menu ("Edit", "Load",
    // "Import"). A change that changed nothing is not recorded. Clears the redo side.
    void record(const CardImage &before, const CardImage &after, const QString &label);

    [[nodiscard]] bool canUndo() const { return !m_undo.isEmpty(); }
    [[nodiscard]] bool canRedo() const { return !m_redo.isEmpty(); }
    [[nodiscard]] QString undoLabel() const { return canUndo() ? m_undo.last().label : QString(); }
    [[nodiscard]] QString redoLabel() const { return canRedo() ? m_redo.last().label : QString(); }

    // The image to show instead of current, which moves to the other side; none when
    // there is nothing to undo (redo).
    [[nodiscard]] std::optional<CardImage> undo(const CardImage &current);
    [[nodiscard]] std::optional<CardImage> redo(const CardImage &current);

    void clear();

private:
    struct Entry {
        CardImage image;
        QString label;
    };

    int m_limit;
    QList<Entry> m_undo;
    QList<Entry> m_redo;
};
