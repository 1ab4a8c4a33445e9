#include "commands/ValueCommands.h"

#include "card/Hex.h"
#include "commands/CommandSink.h"
#include "reader/CardReader.h"

namespace {

constexpr int ValueBytes = 4;
// A module's read-value answer: FF 00 06 87, the echoed block, V0..V3, the checksum.
constexpr int ValueFirstByte = 5;
// Characters per byte in a hex echo ("FF ").
constexpr int EchoCharsPerByte = 3;

} // namespace

ValueCommands::ValueCommands(CardReader &reader, CommandSink &sink)
    : m_reader(reader)
    , m_sink(sink)
{
}

QByteArray ValueCommands::operandFromText(const QByteArray &text)
{
    QByteArray bytes;
    for (int i = ValueBytes - 1; i >= 0; --i)
        bytes.append(char(Hex::pairValue(text.mid(i * 2, 2))));
    return bytes;
}

QByteArray ValueCommands::textFromValueBytes(const QByteArray &fourBytes)
{
    QByteArray text;
    for (int i = int(fourBytes.size()) - 1; i >= 0; --i)
        text += Hex::pair(quint8(fourBytes.at(i)));
    return text;
}

QByteArray ValueCommands::valueTextFromEcho(const QByteArray &echo)
{
    if (echo.size() < (ValueFirstByte + ValueBytes) * EchoCharsPerByte - 1)
        return {};
    QByteArray text;
    for (int i = ValueFirstByte + ValueBytes - 1; i >= ValueFirstByte; --i)
        text += echo.mid(i * EchoCharsPerByte, 2);
    return text;
}

void ValueCommands::ReadValue(QByteArray &echo, QByteArray &data, int block, QByteArray &result)
{
    m_sink.gridsToHex();
    const ReaderResult read = m_reader.readValue(block);
    echo = read.exchange.answer.isEmpty() ? QByteArray("error") : Hex::echo(read.exchange.answer);
    data = read.exchange.answerText;
    if (!read.ok()) {
        result = "error";
        return;
    }
    m_lastValueText = textFromValueBytes(read.data);
}

void ValueCommands::WriteValue(const QByteArray &value, int block, QByteArray &result)
{
    changeValue(int(CardReader::ValueOperation::Write), value, block, result);
}

void ValueCommands::IncrementValue(const QByteArray &amount, int block, QByteArray &result)
{
    changeValue(int(CardReader::ValueOperation::Increment), amount, block, result);
}

void ValueCommands::DecrementValue(const QByteArray &amount, int block, QByteArray &result)
{
    changeValue(int(CardReader::ValueOperation::Decrement), amount, block, result);
}

void ValueCommands::changeValue(int operation, const QByteArray &operand, int block, QByteArray &result)
{
    m_sink.gridsToHex();
    if (!m_reader.changeValue(CardReader::ValueOperation(operation), block, operand).ok())
        result = "error";
}
