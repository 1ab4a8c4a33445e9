#include "pcsc/PcscApdu.h"

namespace PcscApdu {
namespace {
QByteArray header(quint8 ins, int p1p2)
{
    QByteArray apdu;
    apdu.append(char(0xFF));
    apdu.append(char(ins));
    apdu.append(char((p1p2 >> 8) & 0xFF));
    apdu.append(char(p1p2 & 0xFF));
    return apdu;
}

QByteArray withData(QByteArray apdu, const QByteArray &data)
{
    apdu.append(char(data.size()));
    apdu.append(data);
    return apdu;
}

// The word for a command's failure and its success text.
struct CommandWords {
    const char *name;
    const char *ok;
};

CommandWords words(Command command)
{
    switch (command) {
    case Command::GetUid: return {"GET UID", "UID OK"};
    case Command::LoadKey: return {"LOAD KEY", "KEY LOADED"};
    case Command::Authenticate: return {"AUTHENTICATION", "AUTHENTICATION OK"};
    case Command::Read: return {"READ", "READ OK"};
    case Command::Write: return {"WRITE", "WRITE OK"};
    case Command::ValueOperation: return {"VALUE OPERATION", "WRITE OK"};
    case Command::ReadValue: return {"VALUE READ", "VALUE READ OK"};
    }
    return {"COMMAND", "OK"};
}
} // namespace

QByteArray getUid()
{
    return header(0xCA, 0x0000) + QByteArray(1, 0x00);
}

QByteArray loadKey(const QByteArray &key, quint8 slot)
{
    return withData(header(0x82, slot), key);
}

QByteArray authenticate(int block, Key key, quint8 slot)
{
    QByteArray data;
    data.append(char(0x01)); // version
    data.append(char((block >> 8) & 0xFF));
    data.append(char(block & 0xFF));
    data.append(char(key));
    data.append(char(slot));
    return withData(header(0x86, 0x0000), data);
}

QByteArray readBinary(int block, int length)
{
    return header(0xB0, block) + QByteArray(1, char(length));
}

QByteArray updateBinary(int block, const QByteArray &data)
{
    return withData(header(0xD6, block), data);
}

QByteArray valueOperation(int block, ValueOp op, qint32 value)
{
    return withData(header(0xD7, block), QByteArray(1, char(op)) + valueBytes(value));
}

QByteArray restoreValue(int source, int target)
{
    QByteArray data;
    data.append(char(ValueOp::Restore));
    data.append(char(target & 0xFF));
    return withData(header(0xD7, source), data);
}

QByteArray readValue(int block)
{
    return header(0xB1, block) + QByteArray(1, 0x04);
}

quint16 statusWord(const QByteArray &answer)
{
    if (answer.size() < 2)
        return 0;
    return quint16((quint8(answer.at(answer.size() - 2)) << 8) | quint8(answer.back()));
}

QByteArray answerData(const QByteArray &answer)
{
    return answer.size() < 2 ? QByteArray() : answer.left(answer.size() - 2);
}

Outcome outcome(const QByteArray &answer)
{
    if (answer.size() < 2)
        return Outcome::NoAnswer;
    const quint16 sw = statusWord(answer);
    switch (sw) {
    case 0x9000: return Outcome::Ok;
    case 0x6300: return Outcome::Failed;
    case 0x6982: return Outcome::NotAuthenticated;
    case 0x6A81:
    case 0x6D00:
    case 0x6E00:
    case 0x6800: return Outcome::Unsupported;
    case 0x6700: return Outcome::WrongLength;
    default: break;
    }
    if ((sw >> 8) == 0x6C)
        return Outcome::WrongLength;
    return Outcome::Unexpected;
}

QByteArray statusText(quint16 sw)
{
    const char bytes[] = {char(sw >> 8), char(sw & 0xFF)};
    return QByteArray(bytes, 2).toHex(' ').toUpper();
}

QByteArray meaning(Command command, const QByteArray &answer)
{
    const CommandWords w = words(command);
    const QByteArray sw = " (" + statusText(statusWord(answer)) + ')';
    switch (outcome(answer)) {
    case Outcome::Ok: return w.ok;
    case Outcome::Failed: return w.name + QByteArray(" FAILED") + sw;
    case Outcome::NotAuthenticated: return w.name + QByteArray(" FAILED: NOT AUTHENTICATED") + sw;
    case Outcome::Unsupported: return "NOT SUPPORTED BY THE READER" + sw;
    case Outcome::WrongLength: return w.name + QByteArray(" FAILED: WRONG LENGTH") + sw;
    case Outcome::Unexpected: return "UNEXPECTED ANSWER" + sw;
    case Outcome::NoAnswer: return "NO VALID ANSWER";
    }
    return {};
}

qint32 valueFromBytes(const QByteArray &bytes)
{
    quint32 v = 0;
    for (int i = 0; i < 4 && i < bytes.size(); ++i)
        v = (v << 8) | quint8(bytes.at(i));
    return qint32(v);
}

QByteArray valueBytes(qint32 value)
{
    const auto v = quint32(value);
    QByteArray bytes;
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((v >> shift) & 0xFF));
    return bytes;
}

} // namespace PcscApdu
