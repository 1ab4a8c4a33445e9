#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Faults that can be injected into the module's next answer(s).
enum class SimFault {
    NoAnswer,       // the answer is not sent
    BadChecksum,    // the checksum byte is wrong
    Truncated,      // the last two bytes are not sent
    OversizeLength, // Length announces 80 bytes (more than a frame may hold) and that many follow
    Garbage,        // three noise bytes before the header
    Late,           // the answer comes after the program's time-out
    WriteStatusU,   // the next block or page write is done but answered "U"
    WriteStatusX,   // the next block or page write is done but answered "X"
};

// The names used by the line commands: "noanswer", "checksum", "truncate",
// "oversize", "garbage", "late", "write-u", "write-x".
[[nodiscard]] QString simFaultName(SimFault fault);
[[nodiscard]] std::optional<SimFault> parseSimFault(const QString &name);
[[nodiscard]] QStringList simFaultNames();
