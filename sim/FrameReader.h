#pragma once

#include <QByteArray>
#include <QList>

// Cuts the byte stream the module receives into request frames, as the module's
// firmware does: wait for the header FF and the reserved 00, take Length + 1 further
// bytes, check the checksum. Anything else is reported so the trace can show it; the
// module never answers it.
class FrameReader
{
public:
    // A partial frame older than this is thrown away when the next byte arrives,
    // so one lost byte cannot shift every later frame.
    static constexpr qint64 StaleAfterMs = 100;

    struct Event {
        enum Kind {
            Frame,       // a complete frame with a correct checksum
            BadChecksum, // complete, but the checksum does not match
            BadLength,   // Length 0 or above the frame limit
            Skipped,     // bytes before a header
            Stale,       // a partial frame that stopped arriving
        };
        Kind kind = Frame;
        QByteArray bytes;
    };

    [[nodiscard]] QList<Event> feed(const QByteArray &bytes, qint64 nowMs);
    // Forgets a partial frame (after a speed change, say).
    void reset();
    [[nodiscard]] bool hasPartialFrame() const { return !m_partial.isEmpty(); }

private:
    QByteArray m_partial;
    qint64 m_lastByteMs = 0;
};
