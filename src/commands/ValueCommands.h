#pragma once

#include <QByteArray>

class CardReader;
class CommandSink;

// The value-block commands: read, write, increment and decrement a 32-bit value that
// the card keeps in a Classic data block. The reader does the arithmetic and checks
// the block's format; only the four value bytes travel, least significant first,
// while the grid shows them as eight hex digits, most significant first.
//
// Results as for the block commands: "error" on failure, unchanged on success.
// Port errors throw (EComPort).
class ValueCommands
{
public:
    ValueCommands(CardReader &reader, CommandSink &sink);

    // echo gets the hex echo of the answer ("error" when none came), data the
    // answer's data text; lastValueText() the value read.
    void ReadValue(QByteArray &echo, QByteArray &data, int block, QByteArray &result);
    // Bytes 0..3 of the operand.
    void WriteValue(const QByteArray &value, int block, QByteArray &result);
    void IncrementValue(const QByteArray &amount, int block, QByteArray &result);
    void DecrementValue(const QByteArray &amount, int block, QByteArray &result);

    // The value of the last successful ReadValue as grid text ("0000012C").
    [[nodiscard]] const QByteArray &lastValueText() const { return m_lastValueText; }

    // Grid text to operand: "0000012C" gives 2C 01 00 00. The caller has checked that
    // the first eight characters are hex digits.
    [[nodiscard]] static QByteArray operandFromText(const QByteArray &text);
    // Four value bytes, least significant first, as grid text.
    [[nodiscard]] static QByteArray textFromValueBytes(const QByteArray &fourBytes);
    // The value of a module's read-value echo as grid text, answer bytes 8, 7, 6, 5
    // in this order; empty when the echo is too short to hold them.
    [[nodiscard]] static QByteArray valueTextFromEcho(const QByteArray &echo);

private:
    void changeValue(int operation, const QByteArray &operand, int block, QByteArray &result);

    CardReader &m_reader;
    CommandSink &m_sink;
    QByteArray m_lastValueText;
};
