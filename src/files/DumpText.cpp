#include "files/DumpText.h"

#include "card/Hex.h"

namespace DumpText {

bool readHexRun(const QByteArray &text, int count, char unknownMark, CardImage &image, int offset, QString *problem)
{
    if (text.size() != 2 * count) {
        *problem = QStringLiteral("expected %1 hexadecimal digits, found %2 characters").arg(2 * count).arg(text.size());
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const char high = text.at(2 * i);
        const char low = text.at(2 * i + 1);
        if (unknownMark != 0 && high == unknownMark && low == unknownMark) {
            image.setUnknown(offset + i);
        } else if (Hex::isDigit(high) && Hex::isDigit(low)) {
            image.setByte(offset + i, quint8(Hex::digitValue(high) * 16 + Hex::digitValue(low)));
        } else {
            *problem = QStringLiteral("character %1: expected a hexadecimal byte%2, found \"%3\"")
                           .arg(2 * i + 1)
                           .arg(unknownMark != 0 ? QStringLiteral(" or %1%1").arg(QLatin1Char(unknownMark)) : QString())
                           .arg(QString::fromLatin1(text.mid(2 * i, 2)));
            return false;
        }
    }
    return true;
}

QByteArray hexRun(const CardImage &image, int offset, int count, const QByteArray &unknownMark,
                  const QByteArray &separator)
{
    QByteArray out;
    for (int i = offset; i < offset + count; ++i) {
        if (i > offset)
            out += separator;
        out += image.isKnown(i) ? Hex::pair(image.byte(i)) : unknownMark;
    }
    return out;
}

QString atLine(int lineNumber)
{
    return QStringLiteral("line %1: ").arg(lineNumber);
}

} // namespace DumpText
