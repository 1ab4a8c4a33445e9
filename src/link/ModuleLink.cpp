#include "link/ModuleLink.h"

#include "link/ComPort.h"
#include "link/CommandScope.h"
#include "link/CommandLog.h"
#include "link/Frame.h"

ModuleLink::ModuleLink(ComPort &port, CommandLog &log)
    : m_port(port)
    , m_log(log)
    , m_exchange(port, log)
{
}

void ModuleLink::ensureOpen()
{
    if (m_port.isOpen())
        return;
    if (m_openPort)
        m_openPort();
    else
        m_port.open();
}

ModuleResponse ModuleLink::transact(const QByteArray &frame, const QByteArray &requestColumn,
                                    const QByteArray &label)
{
    ensureOpen();
    CommandScope scope(m_port);
    const QByteArray echo = m_exchange.SendFrame(frame);
    m_log.appendLine("TX > " + Frame::PadColumns(echo, requestColumn) + label);
    return m_exchange.ReadResponse();
}

void ModuleLink::logResponse(const ModuleResponse &response, const QByteArray &interpretation)
{
    m_log.appendLine("RX <" + Frame::PadColumns(response.echo, response.data) + interpretation);
}

void ModuleLink::setStatus(const QByteArray &text)
{
    m_log.setStatus(text);
}

void ModuleLink::reportUnexpected(const ModuleResponse &response)
{
    logResponse(response, "Unexpected Response");
    setStatus(tagStatusText + " | Unexpected Response");
}

char ModuleLink::reportStatus(const ModuleResponse &response, const QByteArray &prefix,
                              std::initializer_list<StatusOutcome> outcomes)
{
    for (const StatusOutcome &outcome : outcomes) {
        if (response.status() == outcome.status) {
            logResponse(response, outcome.interpretation);
            setStatus(prefix + " | " + outcome.statusText);
            return outcome.status;
        }
    }
    reportUnexpected(response);
    return '\0';
}

void ModuleLink::reportWritten(const ModuleResponse &response, const QByteArray &prefix)
{
    logResponse(response, "WRITE OK");
    setStatus(prefix + " | WRITE OK! " + response.data);
}
