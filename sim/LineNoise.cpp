#include "LineNoise.h"

QByteArray LineNoise::garble(const QByteArray &bytes, qint32 senderSpeed, qint32 receiverSpeed)
{
    static const char Patterns[4] = {char(0xF0), char(0xF8), char(0xFC), char(0xFE)};
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char noise = Patterns[quint8(bytes.at(i)) & 3];
        if (receiverSpeed > senderSpeed) {
            out.append(noise);
            out.append(Patterns[(quint8(bytes.at(i)) >> 2) & 3]);
        } else if (i % 2 == 0) {
            out.append(noise);
        }
    }
    return out;
}
