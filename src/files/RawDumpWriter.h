#pragma once

#include "card/CardImage.h"

#include <QByteArray>

// Raw binary dumps (.bin, .mfd, .dump): every byte of the card in block order. The
// format has no place for unknown bytes; callers refuse images that have them.
namespace RawDumpWriter {

[[nodiscard]] QByteArray write(const CardImage &image);

} // namespace RawDumpWriter
