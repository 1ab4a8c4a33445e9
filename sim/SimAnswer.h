#pragma once

#include <QByteArray>
#include <QString>

// One answer the module sends: the bytes as they go out on the line, how long the
// module works before the first byte leaves, and a note for the trace.
struct SimAnswer {
    QByteArray bytes; // empty when an injected fault swallowed the answer
    int delayMs = 0;
    QString note;
};
