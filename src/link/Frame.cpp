#include "link/Frame.h"

namespace Frame {

quint8 checksum(const QByteArray &frame)
{
    quint8 sum = 0;
    for (qsizetype i = 1; i + 1 < frame.size(); ++i)
        sum = quint8(sum + quint8(frame.at(i)));
    return sum;
}

QByteArray request(quint8 command, const QByteArray &data)
{
    QByteArray frame;
    frame.reserve(data.size() + 5);
    frame.append(char(0xFF));
    frame.append(char(0x00));
    frame.append(char(quint8(data.size() + 1)));
    frame.append(char(command));
    frame.append(data);
    frame.append(char(0));
    frame[frame.size() - 1] = char(checksum(frame));
    return frame;
}

QByteArray dataText(const QByteArray &frame)
{
    // Data bytes are 4 .. size-2; frames shorter than 6 bytes carry none.
    QByteArray text;
    for (qsizetype i = 4; i + 1 < frame.size(); ++i) {
        if (frame.at(i) != 0)
            text.append(frame.at(i));
    }
    return text;
}

QByteArray nonZeroChars(const QByteArray &bytes)
{
    QByteArray text;
    for (char b : bytes) {
        if (b != 0)
            text.append(b);
    }
    return text;
}

QByteArray PadColumns(QByteArray first, const QByteArray &second)
{
    if (first.size() == 15)
        first.append(' ');
    const qsizetype a = first.size() / 8;
    if (a < 8)
        first.append(QByteArray(8 - a, '\t'));
    else if (a == 8)
        first.append('\t');
    first.append(second);
    const qsizetype b = second.size() / 8;
    if (b < 2)
        first.append(QByteArray(3 - b, '\t'));
    else if (b == 2)
        first.append(QByteArray(2, '\t'));
    return first;
}

} // namespace Frame
