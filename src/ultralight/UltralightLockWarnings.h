#pragma once

#include "access/WarningCheck.h"

#include <QtGlobal>

// The check run before page 2 of an Ultralight card is written: "warn" with one line
// per set lock bit (lock byte 0 bit 7 first, lock byte 1 bit 0 last), or "ok" with no
// lines when both bytes are 0. Every set bit warns, set on the card already or not.
[[nodiscard]] WarningCheck UltralightLockWarnings(quint8 lockByte0, quint8 lockByte1);
