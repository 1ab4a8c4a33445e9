#pragma once

#include "card/CardImage.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Text hex dumps (.eml): one block per line as 32 hexadecimal digits (Ultralight: one
// page per line, 8 digits), in block order; lines starting with '#' and blank lines
// are skipped. 64 lines make a Mifare 1K image, 256 a Mifare 4K, 16 pages a Mifare UL.
namespace EmlDumpReader {

[[nodiscard]] std::optional<CardImage> read(const QByteArray &data, QString *problem);

} // namespace EmlDumpReader
