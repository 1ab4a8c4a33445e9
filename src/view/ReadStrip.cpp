#include "view/ReadStrip.h"

#include "card/Hex.h"

bool ReadStrip::paintCell(CardType type, int row)
{
    if (m_lastReadFlag != "ok")
        return false;
    const bool show = !m_getData && row == m_lastReadRow;
    if (row > m_lastReadRow) {
        m_lastReadFlag.clear();
        m_lastReadRow = 0;
        if (isClassic(type))
            m_lastReadText.clear();
    }
    return show;
}

QString ReadStrip::caption(CardType type, const QByteArray &text)
{
    if (isClassic(type))
        return QString::fromLatin1(text);
    // The text starts " 41 00 42 43 ...": byte k is at characters 3k+1 and 3k+2.
    QByteArray out = text.left(12) + " ascii: ";
    for (int k = 0; k < 4; ++k) {
        const quint8 value = Hex::pairValue(text.mid(3 * k + 1, 2));
        if (value == 0)
            continue;
        if (k > 0)
            out += ' ';
        out += char(value);
    }
    return QString::fromLatin1(out);
}
