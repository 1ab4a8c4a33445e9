#pragma once

#include "access/WarningCheck.h"

#include <QByteArray>

// The check run on every sector trailer just before it is written to a card.
// trailer: the 16 bytes to be written (only bytes 6 to 8 are examined; fewer than 9
// bytes count as inconsistent). block: the absolute block number 0..255 it goes to,
// which picks the small-sector (up to 127) or large-sector (128 and up) texts.
// "error" with no lines when the access bits disagree with their inverted copies;
// otherwise "warn" with one line per write that would become impossible for ever,
// or "ok" with no lines.
[[nodiscard]] WarningCheck ClassicTrailerWarnings(const QByteArray &trailer, int block);
