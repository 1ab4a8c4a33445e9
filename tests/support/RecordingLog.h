#pragma once

#include "link/CommandLog.h"

#include <QByteArrayList>

// A command log that keeps every line and the status text for assertions.
class RecordingLog : public CommandLog
{
public:
    QByteArrayList lines;
    QByteArray statusText;

    void appendLine(const QByteArray &line) override { lines.append(line); }
    void setStatus(const QByteArray &text) override { statusText = text; }
    QByteArray status() const override { return statusText; }
};
