#pragma once

#include "card/CardImage.h"

#include <QByteArray>
#include <QString>

#include <optional>

// JSON dumps (.json): an object whose "blocks" object maps block numbers ("0", "1",
// ...) to 32 hexadecimal digits, or for "FileType": "mfu" page numbers to 8. Blocks
// that are not listed are unknown. Other members ("Card", "SectorKeys", ...) are
// ignored. Classic images with blocks beyond 63 are Mifare 4K.
namespace JsonDumpReader {

[[nodiscard]] std::optional<CardImage> read(const QByteArray &data, QString *problem);

} // namespace JsonDumpReader
