#include "card/Hex.h"

namespace Hex {

bool isDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isUpperDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

quint8 pairValue(const QByteArray &text)
{
    const int high = text.size() > 0 ? digitValue(text.at(0)) : 0;
    const int low = text.size() > 1 ? digitValue(text.at(1)) : 0;
    return quint8(high * 16 + low);
}

QByteArray pair(quint8 byte)
{
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out(2, '0');
    out[0] = digits[byte >> 4];
    out[1] = digits[byte & 0x0F];
    return out;
}

QByteArray echo(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (char b : bytes) {
        out += pair(quint8(b));
        out += ' ';
    }
    return out;
}

bool startsWithUpperDigits(const QByteArray &text, int n)
{
    if (text.size() < n)
        return false;
    for (int i = 0; i < n; ++i) {
        if (!isUpperDigit(text.at(i)))
            return false;
    }
    return true;
}

} // namespace Hex
