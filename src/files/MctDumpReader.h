#pragma once

#include "card/CardImage.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Sector text dumps (.mct): a line "+Sector: N" before the lines of each sector (4
// blocks, 16 for sectors 32 to 39), each block 32 hexadecimal digits with "--" for an
// unknown byte. Sectors may be missing (their bytes are unknown) but not repeated;
// sector numbers run from 0 to 39, and one above 15 makes the image Mifare 4K.
namespace MctDumpReader {

[[nodiscard]] std::optional<CardImage> read(const QByteArray &data, QString *problem);

} // namespace MctDumpReader
