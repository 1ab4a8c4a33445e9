#pragma once

#include <QByteArray>

struct MainWindowUi;
class ModuleLink;
struct ModuleResponse;

// The module's value-block commands: read, write, increment and decrement a 32-bit
// value that the card keeps in a Classic data block. The module does the arithmetic
// and checks the block's format; only the four value bytes travel, least significant
// first, while the grid shows them as eight hex digits, most significant first.
//
// Results as for the block commands: "error" on failure, unchanged on success.
// Port errors throw (EComPort).
class ValueCommands
{
public:
    ValueCommands(MainWindowUi &ui, ModuleLink &link);

    // FF 00 02 87: echo gets the response's hex echo (value in answer bytes 5..8,
    // least significant first), data its data text.
    void ReadValue(QByteArray &echo, QByteArray &data, int block, QByteArray &result);
    // FF 00 06 8A / 8D / 8E with bytes 0..3 of the operand.
    void WriteValue(const QByteArray &value, int block, QByteArray &result);
    void IncrementValue(const QByteArray &amount, int block, QByteArray &result);
    void DecrementValue(const QByteArray &amount, int block, QByteArray &result);

    // Grid text to operand: "0000012C" gives 2C 01 00 00. The caller has checked that
    // the first eight characters are hex digits.
    [[nodiscard]] static QByteArray operandFromText(const QByteArray &text);
    // The value of a read-value echo as grid text, answer bytes 8, 7, 6, 5 in this
    // order; empty when the echo is too short to hold them.
    [[nodiscard]] static QByteArray valueTextFromEcho(const QByteArray &echo);

private:
    void switchAsciiOff();
    // Write, increment and decrement share frame layout and outcomes.
    void changeValue(quint8 command, const QByteArray &operand, int block, const QByteArray &label,
                     QByteArray &result);

    MainWindowUi &m_ui;
    ModuleLink &m_link;
};
