#include "tag/ValueCommands.h"

#include "app/MainWindowUi.h"
#include "link/Frame.h"
#include "card/Hex.h"
#include "link/ModuleAnswers.h"
#include "link/ModuleCommandCodes.h"
#include "link/ModuleLink.h"

#include <QCheckBox>

namespace {

constexpr int ValueBytes = 4;
// A read-value answer: FF 00 06 87, the echoed block, V0..V3 and the checksum.
constexpr int ValueFirstByte = 5;
constexpr int ReadValueAnswerSize = ValueFirstByte + ValueBytes + 1;
// Characters per byte in a hex echo ("FF ").
constexpr int EchoCharsPerByte = 3;

QByteArray blockLabel(const char *operation, int block)
{
    return QByteArray("(") + operation + " Value Block: " + QByteArray::number(block) + " )";
}

} // namespace

ValueCommands::ValueCommands(MainWindowUi &ui, ModuleLink &link)
    : m_ui(ui)
    , m_link(link)
{
}

QByteArray ValueCommands::operandFromText(const QByteArray &text)
{
    QByteArray bytes;
    for (int i = ValueBytes - 1; i >= 0; --i)
        bytes.append(char(Hex::pairValue(text.mid(i * 2, 2))));
    return bytes;
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

void ValueCommands::switchAsciiOff()
{
    if (m_ui.cb_ascii->isChecked())
        m_ui.cb_ascii->setChecked(false);
}

void ValueCommands::ReadValue(QByteArray &echo, QByteArray &data, int block, QByteArray &result)
{
    switchAsciiOff();
    const ModuleResponse response =
        m_link.transact(Frame::request(ModuleCommandCodes::ReadValue, QByteArray(1, char(quint8(block)))), {},
                        blockLabel("Read", block));
    echo = response.echo;
    data = response.data;
    if (!response.ok) {
        result = "error";
        return;
    }
    const QByteArray &tag = m_link.tagStatusText;
    if (response.isData()) {
        if (response.frame.size() < ReadValueAnswerSize) {
            m_link.reportUnexpected(response);
            result = "error";
            return;
        }
        m_link.logResponse(response, "VALUE READ OK");
        m_link.setStatus(tag + " | VALUE READ OK! " + response.data);
        return;
    }
    using namespace ModuleAnswers;
    (void)m_link.reportStatus(response, tag,
                              {{Failed, "READ FAILED", "Read Failed!"},
                               {NoTag, "NO TAG", "Read Failed!"},
                               {NotValueBlock, "INVALID VALUE BLOCK",
                                "Failed! Block was not in the proper Value format"}});
    result = "error";
}

void ValueCommands::WriteValue(const QByteArray &value, int block, QByteArray &result)
{
    changeValue(ModuleCommandCodes::WriteValue, value, block, blockLabel("Write", block), result);
}

void ValueCommands::IncrementValue(const QByteArray &amount, int block, QByteArray &result)
{
    changeValue(ModuleCommandCodes::Increment, amount, block, blockLabel("Increment", block), result);
}

void ValueCommands::DecrementValue(const QByteArray &amount, int block, QByteArray &result)
{
    changeValue(ModuleCommandCodes::Decrement, amount, block, blockLabel("Decrement", block), result);
}

void ValueCommands::changeValue(quint8 command, const QByteArray &operand, int block, const QByteArray &label,
                                QByteArray &result)
{
    switchAsciiOff();
    QByteArray payload = char(quint8(block)) + operand.left(ValueBytes);
    payload.append(QByteArray(ValueBytes + 1 - payload.size(), '\0'));
    const ModuleResponse response =
        m_link.transact(Frame::request(command, payload), Frame::nonZeroChars(payload), label);
    if (!response.ok) {
        result = "error";
        return;
    }
    if (response.isData()) {
        m_link.reportWritten(response, m_link.tagStatusText);
        return;
    }
    using namespace ModuleAnswers;
    (void)m_link.reportStatus(response, m_link.tagStatusText,
                              {{NotValueBlock, "INVALID VALUE BLOCK", "Write is failed!"},
                               {NoTag, "NO TAG", "Write is failed!"},
                               {Failed, "FAILED", "Read is failed during verification!"}});
    result = "error";
}
