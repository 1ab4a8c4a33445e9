#include "link/FrameExchange.h"

#include "link/ComPort.h"
#include "link/CommandLog.h"
#include "link/Frame.h"
#include "link/Hex.h"

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
    ModuleResponse response;
    response.echo = "error";
    return response;
}

ModuleResponse FrameExchange::ReadResponse()
{
    if (!m_port.waitForBytes(3, m_timeoutMs))
        return fail("***Timeout.No Response***", false);
    ModuleResponse response;
    response.frame = m_port.read(3);
    const int length = quint8(response.frame.at(2));
    if (length > Frame::MaxResponseLength) {
        // The tail would not fit the answer buffer: no module sends this.
        return fail("***Invalid Response Length " + QByteArray::number(length) + "***", true);
    }
    if (!m_port.waitForBytes(length + 1, m_timeoutMs))
        return fail("***Timeout.No Response***", true);
    response.frame += m_port.read(length + 1);
    if (quint8(response.frame.back()) != Frame::checksum(response.frame))
        return fail("Checksum error in Response Array", true);
    response.ok = true;
    response.echo = Hex::echo(response.frame);
    response.data = Frame::dataText(response.frame);
    return response;
}
