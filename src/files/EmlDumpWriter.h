#pragma once

#include "card/CardImage.h"

#include <QByteArray>

// Text hex dumps (.eml): one block (or Ultralight page) per line in upper-case
// hexadecimal, lines ended by LF. No place for unknown bytes; callers refuse them.
namespace EmlDumpWriter {

[[nodiscard]] QByteArray write(const CardImage &image);

} // namespace EmlDumpWriter
