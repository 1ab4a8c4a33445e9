#include "SimFrame.h"

#include "ModuleCommand.h"

quint8 SimFrame::checksumOf(const QByteArray &frame)
{
    quint8 sum = 0;
    for (qsizetype i = 1; i + 1 < frame.size(); ++i)
        sum = quint8(sum + quint8(frame.at(i)));
    return sum;
}

QByteArray SimFrame::build(quint8 command, const QByteArray &data)
{
    QByteArray frame;
    frame.reserve(int(data.size()) + 5);
    frame.append(char(Header));
    frame.append(char(0x00));
    frame.append(char(quint8(data.size() + 1)));
    frame.append(char(command));
    frame.append(data);
    frame.append(char(0x00));
    frame[frame.size() - 1] = char(checksumOf(frame));
    return frame;
}

QByteArray SimFrame::status(quint8 command, char statusByte)
{
    return build(command, QByteArray(1, statusByte));
}

bool SimFrame::isWellFormed(const QByteArray &frame)
{
    if (frame.size() < 4)
        return false;
    const int length = quint8(frame.at(2));
    return frame.size() == length + 4 && quint8(frame.back()) == checksumOf(frame);
}

quint8 SimFrame::command(const QByteArray &frame)
{
    return frame.size() > 3 ? quint8(frame.at(3)) : 0;
}

QByteArray SimFrame::data(const QByteArray &frame)
{
    if (frame.size() < 5)
        return {};
    return frame.mid(4, frame.size() - 5);
}

QString SimFrame::hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QByteArray SimFrame::parseHex(const QString &text)
{
    QByteArray digits;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char(':'))
            continue;
        if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')))
            return {};
        digits.append(char(c.toLatin1()));
    }
    if (digits.size() % 2 != 0)
        return {};
    return QByteArray::fromHex(digits);
}

QString SimFrame::commandName(quint8 command)
{
    switch (command) {
    case ModuleCommand::Reset: return QStringLiteral("reset");
    case ModuleCommand::Version: return QStringLiteral("version");
    case ModuleCommand::Seek: return QStringLiteral("seek");
    case ModuleCommand::Select: return QStringLiteral("select");
    case ModuleCommand::Authenticate: return QStringLiteral("authenticate");
    case ModuleCommand::Read: return QStringLiteral("read");
    case ModuleCommand::ReadValue: return QStringLiteral("read value");
    case ModuleCommand::Write: return QStringLiteral("write block");
    case ModuleCommand::WriteValue: return QStringLiteral("write value");
    case ModuleCommand::WritePage: return QStringLiteral("write page");
    case ModuleCommand::WriteKey: return QStringLiteral("write key");
    case ModuleCommand::Increment: return QStringLiteral("increment");
    case ModuleCommand::Decrement: return QStringLiteral("decrement");
    case ModuleCommand::RfField: return QStringLiteral("rf field");
    case ModuleCommand::ReadInputs: return QStringLiteral("read inputs");
    case ModuleCommand::WriteOutputs: return QStringLiteral("write outputs");
    case ModuleCommand::Halt: return QStringLiteral("halt");
    case ModuleCommand::SetBaud: return QStringLiteral("set baud");
    case ModuleCommand::Sleep: return QStringLiteral("sleep");
    default: return QStringLiteral("unknown command");
    }
}
