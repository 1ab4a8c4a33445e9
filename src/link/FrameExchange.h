#pragma once

#include "link/ModuleResponse.h"

#include <QByteArray>

class ComPort;
class CommandLog;

// The synchronous request/response exchange: one request outstanding at a time, the
// answer awaited by blocking on the port (no polling) up to a time-out.
class FrameExchange
{
public:
    // Long enough for the module's answer 500 ms after a baud-rate change.
    static constexpr int DefaultResponseTimeoutMs = 1000;

    FrameExchange(ComPort &port, CommandLog &log);

    // Discards both queues, writes the frame (its checksum is put in here), returns its echo.
    QByteArray SendFrame(const QByteArray &frame);
    // Reads and checks one answer. Time-out, checksum and length errors log their line
    // and give ok == false.
    [[nodiscard]] ModuleResponse ReadResponse();

    void setResponseTimeout(int ms) { m_timeoutMs = ms; }
    [[nodiscard]] int responseTimeout() const { return m_timeoutMs; }

private:
    ModuleResponse fail(const QByteArray &reason, bool purge);

    ComPort &m_port;
    CommandLog &m_log;
    int m_timeoutMs = DefaultResponseTimeoutMs;
};
