#pragma once

#include "link/ModuleResponse.h"

#include <QByteArray>

#include <functional>

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
    // Reads and checks one answer. Time-out, checksum and length errors log their line,
    // put it in the status bar with what to check, and give ok == false.
    [[nodiscard]] ModuleResponse ReadResponse();

    // Where an answer's bytes come from: the port, or a plain buffer (tests, fuzzing).
    struct ResponseSource {
        std::function<bool(int count)> waitForBytes; // true when count bytes wait
        std::function<QByteArray(int count)> read;   // at most count waiting bytes
    };
    struct ReadOutcome {
        ModuleResponse response;
        QByteArray failure; // the line to log; empty when response is ok
        bool purge = false; // the rest of the answer is to be thrown away
    };
    // Reads and checks one answer: ReadResponse without the logging and purging. Never
    // asks for more than the answer's Length announces.
    [[nodiscard]] static ReadOutcome readResponseFrom(const ResponseSource &source);

    void setResponseTimeout(int ms) { m_timeoutMs = ms; }
    [[nodiscard]] int responseTimeout() const { return m_timeoutMs; }

private:
    ModuleResponse fail(const QByteArray &reason, bool purge);

    ComPort &m_port;
    CommandLog &m_log;
    int m_timeoutMs = DefaultResponseTimeoutMs;
};
