#include "workflows/EditTracker.h"

EditTracker::EditTracker(CardType type)
    : m_baseline(type)
    , m_changed(CardImage::byteCountOf(type), '\0')
{
}

void EditTracker::setBaseline(const CardImage &image)
{
    m_baseline = image;
    m_changed.fill('\0', image.size());
    m_count = 0;
}

void EditTracker::setBaselineBlock(const CardImage &current, int block, const QByteArray &held)
{
    if (current.type() != m_baseline.type() || held.size() != current.blockSize())
        return;
    const int first = block * current.blockSize();
    if (first < 0 || first + held.size() > current.size())
        return;
    for (int i = 0; i < held.size(); ++i) {
        m_baseline.setByte(first + i, quint8(held.at(i)));
        update(current, first + i);
    }
}

void EditTracker::update(const CardImage &current, int offset)
{
    if (current.type() != m_baseline.type()) {
        update(current);
        return;
    }
    const bool known = current.isKnown(offset);
    setChanged(offset, known != m_baseline.isKnown(offset) || (known && current.byte(offset) != m_baseline.byte(offset)));
}

void EditTracker::update(const CardImage &current)
{
    if (current.type() != m_baseline.type()) {
        m_baseline = CardImage(current.type());
        m_changed.fill('\1', current.size());
        m_count = current.size();
        return;
    }
    for (int i = 0; i < current.size(); ++i)
        update(current, i);
}

void EditTracker::setChanged(int offset, bool changed)
{
    const bool was = m_changed.at(offset) != 0;
    if (was == changed)
        return;
    m_changed[offset] = changed ? '\1' : '\0';
    m_count += changed ? 1 : -1;
}
