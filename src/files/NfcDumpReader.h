#pragma once

#include "card/CardImage.h"

#include <QByteArray>
#include <QString>

#include <optional>

// NFC device files (.nfc): "Key: value" lines, '#' comment lines. The file starts
// with "Filetype: Flipper NFC device"; "Device type" names Mifare Classic (with
// "Mifare Classic type: 1K" or "4K") or an Ultralight type; then "Block N: " with 16
// space-separated bytes, or "Page N: " with 4, "??" standing for an unknown byte.
// Blocks or pages that are not listed are unknown; other keys are ignored.
namespace NfcDumpReader {

[[nodiscard]] std::optional<CardImage> read(const QByteArray &data, QString *problem);

} // namespace NfcDumpReader
