#pragma once

#include <QByteArray>

// Where commands report: the log pane (lines only appended) and the status bar (one
// text replaced as a whole). The main window implements it; tests may record it.
class CommandLog
{
public:
    virtual ~CommandLog() = default;
    virtual void appendLine(const QByteArray &line) = 0;
    virtual void setStatus(const QByteArray &text) = 0;
    [[nodiscard]] virtual QByteArray status() const = 0;
};
