#pragma once

#include "link/FrameExchange.h"
#include "link/ModuleResponse.h"

#include <QByteArray>

#include <functional>
#include <initializer_list>

class ComPort;
class CommandLog;

// What every command shares: the port (opened on demand through the main window's
// Open Port action), the exchange, the log and status bar, and the link state that
// select, seek and the receive handler keep.
class ModuleLink
{
public:
    ModuleLink(ComPort &port, CommandLog &log);

    [[nodiscard]] ComPort &port() { return m_port; }
    [[nodiscard]] FrameExchange &exchange() { return m_exchange; }
    [[nodiscard]] CommandLog &log() { return m_log; }

    // The Open Port action; commands run it first when the port is closed.
    void setOpenPortAction(std::function<void()> action) { m_openPort = std::move(action); }
    void ensureOpen();

    // One command exchange: opens the port if needed, sends the frame (checksum filled
    // in), appends "TX > " + columns + label, and reads the answer. Port errors throw.
    [[nodiscard]] ModuleResponse transact(const QByteArray &frame, const QByteArray &requestColumn,
                                          const QByteArray &label);
    // Appends "RX <" + columns + interpretation for an answer.
    void logResponse(const ModuleResponse &response, const QByteArray &interpretation);
    void setStatus(const QByteArray &text);
    // An answer whose status no outcome of the command names: logged and shown as
    // "Unexpected Response". Not knowing whether a write reached the card, or where a
    // value is in the frame, the command must count it as failed.
    void reportUnexpected(const ModuleResponse &response);

    // One way a status answer can end a command: its status character, the
    // interpretation logged with it, and the status bar text after prefix + " | ".
    struct StatusOutcome {
        char status;
        const char *interpretation;
        const char *statusText;
    };
    // Logs and shows the outcome the answer's status character names, or reports it
    // as unexpected when none does. Returns the status named, or '\0'.
    char reportStatus(const ModuleResponse &response, const QByteArray &prefix,
                      std::initializer_list<StatusOutcome> outcomes);
    // A data answer to a write: the data as the module read it back.
    void reportWritten(const ModuleResponse &response, const QByteArray &prefix);

    // Text of the last select, seek or halt; most status texts start with it.
    QByteArray tagStatusText;
    // "", "listen" after Open Port, "select_continuous" while a seek waits for a tag.
    QByteArray linkMode;

private:
    ComPort &m_port;
    CommandLog &m_log;
    FrameExchange m_exchange;
    std::function<void()> m_openPort;
};
