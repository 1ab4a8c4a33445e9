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

void EditTracker::setBaselineBlock(const CardImage &image, int block)
{
    if (image.type() != m_baseline.type()) {
        setBaseline(image);
        return;
    }
    const int first = block * image.blockSize();
    for (int i = first; i < first + image.blockSize(); ++i) {
        if (image.isKnown(i))
            m_baseline.setByte(i, image.byte(i));
        else
            m_baseline.setUnknown(i);
        setChanged(i, false);
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
