#include "card/CardImage.h"

CardImage::CardImage(CardType type)
    : m_type(type)
    , m_bytes(byteCountOf(type), '\0')
    , m_known(byteCountOf(type), '\0')
{
}

void CardImage::setByte(int index, quint8 value)
{
    m_bytes[index] = char(value);
    m_known[index] = 1;
}

void CardImage::setUnknown(int index)
{
    m_bytes[index] = '\0';
    m_known[index] = 0;
}

void CardImage::setBytes(const QByteArray &bytes)
{
    Q_ASSERT(bytes.size() == m_bytes.size());
    m_bytes = bytes.left(m_bytes.size());
    m_bytes.resize(m_known.size(), '\0');
    m_known.fill(1);
}

bool CardImage::isBlockKnown(int n) const
{
    const int first = n * blockSize();
    for (int i = first; i < first + blockSize(); ++i) {
        if (!isKnown(i))
            return false;
    }
    return true;
}

bool CardImage::isBlockUnknown(int n) const
{
    const int first = n * blockSize();
    for (int i = first; i < first + blockSize(); ++i) {
        if (isKnown(i))
            return false;
    }
    return true;
}

int CardImage::unknownCount() const
{
    return int(m_known.count('\0'));
}

int CardImage::firstUnknown() const
{
    return int(m_known.indexOf('\0'));
}
