#pragma once

#include <QString>

// Outcome of the checks run before a trailer or the Ultralight lock bytes are written:
// status "ok", "warn" or "error" (the last only for an inconsistent trailer) and the
// warning lines, each ended by a line feed, shown to the user before asking to go on.
struct WarningCheck {
    QString status = QStringLiteral("ok");
    QString warnings;
};
