#pragma once

#include "card/CardImage.h"

#include <QByteArray>

// Which bytes of a card image changed since it was last read, loaded or written. The
// image at that moment is the baseline; a byte is changed while it differs from it
// (in value, or known against unknown), so an edit typed back to the old value or
// undone is no longer marked.
class EditTracker
{
public:
    explicit EditTracker(CardType type = CardType::Mifare1K);

    // After a load, a Read All, a Write All or a save: nothing is changed.
    void setBaseline(const CardImage &image);
    // After one block (Ultralight: page) was read from or written to the card: held is
    // what the card holds there now; a byte of the block stays changed only where
    // current differs from it.
    void setBaselineBlock(const CardImage &current, int block, const QByteArray &held);
    // After an edit of one byte of current.
    void update(const CardImage &current, int offset);
    // After an undo, a redo or an import: every byte. An image of another card type
    // than the baseline counts as changed throughout.
    void update(const CardImage &current);

    [[nodiscard]] bool isChanged(int offset) const { return m_changed.at(offset) != 0; }
    [[nodiscard]] int changedCount() const { return m_count; }
    [[nodiscard]] bool hasChanges() const { return m_count > 0; }
    [[nodiscard]] const CardImage &baseline() const { return m_baseline; }

private:
    void setChanged(int offset, bool changed);

    CardImage m_baseline;
    QByteArray m_changed; // one flag per byte
    int m_count = 0;
};
