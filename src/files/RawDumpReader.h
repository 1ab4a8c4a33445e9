#pragma once

#include "files/CardImage.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Raw binary dumps (.bin, .mfd, .dump): the card's bytes in block order. The size
// names the card: 1024 bytes Mifare 1K, 4096 Mifare 4K, 64 Mifare UL, and 120 a Mifare
// UL whose pages follow a 56-byte header (UltralightDumpHeader).
namespace RawDumpReader {

// The image, or nothing with problem set.
[[nodiscard]] std::optional<CardImage> read(const QByteArray &data, QString *problem);

} // namespace RawDumpReader
