#pragma once

#include "card/CardType.h"

#include <QByteArray>

#include <optional>

// The tag a select or seek answer reports: its type byte and serial number as the
// log and status bar show them.
struct TagReport
{
    QByteArray type;   // two hex digits; the type byte is never translated into a name
    QByteArray serial; // hex, last received byte first

    // The report of an answer frame, read with the serial length of the card type
    // chosen in the window; none when the frame is too short to hold it (nothing past
    // its data bytes is ever read).
    [[nodiscard]] static std::optional<TagReport> fromFrame(const QByteArray &frame, CardType type);

    // "TAG TYPE: 02 SERIAL: 44332211", the response line's interpretation.
    [[nodiscard]] QByteArray interpretation() const;
    // "TAG TYPE:02 | TAG SERIAL # 44332211", the status bar and TagStatusText.
    [[nodiscard]] QByteArray statusText() const;
};
