#pragma once

#include <QByteArray>
#include <QString>

// Reads a file named by the user or by a setting: only a regular file, and never more
// than a bound, so that a name that points at a device (/dev/zero), a FIFO or a
// terminal neither blocks nor fills the memory. A size check alone cannot do this:
// such files report size 0 and then never end.
class RegularFile
{
public:
    enum class Outcome { Read, NotRegular, TooLarge, Failed };

    struct Content {
        Outcome outcome = Outcome::Failed;
        QByteArray data;   // the whole file when outcome is Read
        qint64 size = 0;   // the size the file reports (for TooLarge)
        QString error;     // why it was not read, for a message
        [[nodiscard]] bool ok() const { return outcome == Outcome::Read; }
    };

    // The whole file when it is a regular file of at most maxBytes bytes.
    [[nodiscard]] static Content read(const QString &name, qint64 maxBytes);
};
