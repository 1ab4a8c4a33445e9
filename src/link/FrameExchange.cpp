#include "link/FrameExchange.h"

#include "link/ComPort.h"
#include "link/CommandLog.h"
#include "link/Frame.h"
#include "card/Hex.h"

FrameExchange::FrameExchange(ComPort &port, CommandLog &log)
    : m_port(port)
    , m_log(log)
{
}

QByteArray FrameExchange::SendFrame(const QByteArray &frame)
{
    QByteArray copy = frame;
    if (!copy.isEmpty())
        copy[copy.size() - 1] = char(Frame::checksum(copy));
    m_port.purge();
    m_port.write(copy);
    return Hex::echo(copy);
}

ModuleResponse FrameExchange::fail(const QByteArray &reason, bool purge)
{
    if (purge)
        m_port.purge();
    m_log.appendLine(reason);
    // The status bar must not keep showing the last success: a wrong port, a wrong
    // speed or a module without power look exactly like this. Bytes that came but made
    // no answer (the ones purged) point at the speed or the cable rather than the port.
    m_log.setStatus(reason + (purge ? " Check the baud rate, the cable and the module's power."
                                    : " Check the Com Port, the baud rate and the module's power."));
    ModuleResponse response;
    response.echo = "error";
    return response;
}

FrameExchange::ReadOutcome FrameExchange::readResponseFrom(const ResponseSource &source)
{
    ReadOutcome outcome;
    const auto failed = [&outcome](const QByteArray &reason, bool purge) {
        outcome.response = ModuleResponse();
        outcome.response.echo = "error";
        outcome.failure = reason;
        outcome.purge = purge;
        return outcome;
    };
    ModuleResponse &response = outcome.response;
    if (!source.waitForBytes(3))
        return failed("***Timeout.No Response***", false);
    response.frame = source.read(3);
    if (response.frame.size() < 3)
        return failed("***Timeout.No Response***", true);
    const int length = quint8(response.frame.at(2));
    if (length > Frame::MaxResponseLength) {
        // The tail would not fit the answer buffer: no module sends this.
        return failed("***Invalid Response Length " + QByteArray::number(length) + "***", true);
    }
    if (!source.waitForBytes(length + 1))
        return failed("***Timeout.No Response***", true);
    response.frame += source.read(length + 1);
    if (response.frame.size() != 3 + length + 1)
        return failed("***Timeout.No Response***", true);
    if (quint8(response.frame.back()) != Frame::checksum(response.frame))
        return failed("Checksum error in Response Array", true);
    response.ok = true;
    response.echo = Hex::echo(response.frame);
    response.data = Frame::dataText(response.frame);
    return outcome;
}

ModuleResponse FrameExchange::ReadResponse()
{
    const ResponseSource source {
        [this](int count) { return m_port.waitForBytes(count, m_timeoutMs); },
        [this](int count) { return m_port.read(count); },
    };
    ReadOutcome outcome = readResponseFrom(source);
    if (!outcome.failure.isEmpty())
        return fail(outcome.failure, outcome.purge);
    return outcome.response;
}
