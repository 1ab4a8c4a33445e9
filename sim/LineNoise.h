#pragma once

#include <QByteArray>

// What the far side receives when the two ends of the line run at different speeds.
class LineNoise
{
public:
    // A receiver sampling faster than the sender sees each byte as two, slower as
    // roughly one in two; either way the values come out as high bit patterns
    // (F0, F8, FC, FE): no header byte, and every Length is far beyond the burst,
    // so no frame can ever complete from it.
    [[nodiscard]] static QByteArray garble(const QByteArray &bytes, qint32 senderSpeed, qint32 receiverSpeed);
};
