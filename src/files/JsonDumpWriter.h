#pragma once

#include "card/CardImage.h"

#include <QByteArray>

// JSON dumps (.json): "Created" (this program), "FileType" ("mfc v2" or "mfu"),
// "Card" (UID, ATQA, SAK from block 0, or the Ultralight serial pages) and "blocks"
// with every block in order. No place for unknown bytes; callers refuse them.
namespace JsonDumpWriter {

[[nodiscard]] QByteArray write(const CardImage &image);

} // namespace JsonDumpWriter
