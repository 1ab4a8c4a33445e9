#pragma once

#include "card/CardImage.h"

#include <QByteArray>

// NFC device files (.nfc), version 4: the header lines, the UID, ATQA and SAK taken
// from block 0 (Ultralight: a 7-byte serial from pages 0 and 1), then every block or
// page as space-separated upper-case bytes, "??" for an unknown byte. Lines end with LF.
namespace NfcDumpWriter {

[[nodiscard]] QByteArray write(const CardImage &image);

} // namespace NfcDumpWriter
