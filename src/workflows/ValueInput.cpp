#include "workflows/ValueInput.h"

#include "card/Hex.h"
#include "commands/WritePlan.h"

#include <QtEndian>

namespace {

QByteArray operandOf(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

} // namespace

bool ValueInput::isDecimal(const QByteArray &text)
{
    return text.trimmed().startsWith(DecimalMarker);
}

ValueOperand ValueInput::parse(const QByteArray &text, ValueField field)
{
    const bool value = field == ValueField::Value;
    if (!isDecimal(text)) {
        if (!Hex::startsWithUpperDigits(text, 8))
            return {{}, value ? WriteMessages::BadValueHex : WriteMessages::BadIncrementHex};
        return {operandOf(text.left(8).toUInt(nullptr, 16)), {}};
    }

    const QString range = value ? QStringLiteral("A decimal value must be a whole number from -2147483648 to 2147483647.")
                                : QStringLiteral("A decimal amount must be a whole number from 0 to 2147483647.");
    QByteArray number = text.trimmed().mid(1).trimmed();
    const bool negative = number.startsWith('-');
    if (negative || number.startsWith('+'))
        number.remove(0, 1);
    // Up to ten digits after dropping leading zeros fit in 64 bits with room to spare.
    while (number.size() > 1 && number.startsWith('0'))
        number.remove(0, 1);
    if (number.isEmpty() || number.size() > 10)
        return {{}, range};
    qint64 magnitude = 0;
    for (char c : number) {
        if (c < '0' || c > '9')
            return {{}, range};
        magnitude = magnitude * 10 + (c - '0');
    }
    const qint64 result = negative ? -magnitude : magnitude;
    const qint64 lowest = value ? qint64(INT32_MIN) : 0;
    if (result < lowest || result > qint64(INT32_MAX))
        return {{}, range};
    return {operandOf(quint32(qint32(result))), {}};
}

QByteArray ValueInput::hexText(qint32 value)
{
    return QByteArray::number(quint32(value), 16).toUpper().rightJustified(8, '0');
}
