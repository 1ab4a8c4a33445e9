#include "workflows/UndoHistory.h"

void UndoHistory::record(const CardImage &before, const CardImage &after, const QString &label)
{
    if (before == after)
        return;
    m_undo.append({before, label});
    // The oldest step goes first, so memory stays bounded in a long session.
    while (m_undo.size() > qMax(m_limit, 1))
        m_undo.removeFirst();
    m_redo.clear();
}

std::optional<CardImage> UndoHistory::undo(const CardImage &current)
{
    if (m_undo.isEmpty())
        return std::nullopt;
    Entry entry = m_undo.takeLast();
    m_redo.append({current, entry.label});
    return std::move(entry.image);
}

std::optional<CardImage> UndoHistory::redo(const CardImage &current)
{
    if (m_redo.isEmpty())
        return std::nullopt;
    Entry entry = m_redo.takeLast();
    m_undo.append({current, entry.label});
    return std::move(entry.image);
}

void UndoHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
}
