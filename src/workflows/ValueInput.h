#pragma once

#include <QByteArray>
#include <QString>

// The two value fields of a Classic row: WV writes a value, IV/DV add or subtract an amount.
enum class ValueField { Value, Amount };

// What a value field's text sends: the 4 operand bytes, least significant first, or
// the message that refuses it.
struct ValueOperand {
    QByteArray bytes;
    QString error;

    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// Reads a value field. Hexadecimal as before: at least eight characters, the first
// eight upper-case hex digits, most significant first ("0000012C"), anything after
// them not examined. Decimal after the marker "#": "#300", "#-5", "#+7", blanks around
// allowed; a value takes -2147483648..2147483647, an amount 0..2147483647 (the module
// adds or subtracts it, so a sign would only confuse which of IV and DV is meant).
class ValueInput
{
public:
    static constexpr char DecimalMarker = '#';

    [[nodiscard]] static bool isDecimal(const QByteArray &text);
    [[nodiscard]] static ValueOperand parse(const QByteArray &text, ValueField field);
    // Eight upper-case hex digits of a value, most significant first ("FFFFFFFB").
    [[nodiscard]] static QByteArray hexText(qint32 value);
};
