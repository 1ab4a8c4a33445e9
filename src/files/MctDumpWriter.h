#pragma once

#include "card/CardImage.h"

#include <QByteArray>

// Sector text dumps (.mct) of Classic images: "+Sector: N" and the sector's blocks in
// upper-case hexadecimal, "--" for each unknown byte; a sector with no known byte is
// left out. Lines end with LF.
namespace MctDumpWriter {

[[nodiscard]] QByteArray write(const CardImage &image);

} // namespace MctDumpWriter
