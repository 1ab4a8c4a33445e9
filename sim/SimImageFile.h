#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A card image from a file, for --image and the consoles' load: only a regular file
// is read (a FIFO or a device would block or never end), and no more than the largest
// card holds.
namespace SimImageFile {

// The largest card image: a Mifare 4K card.
inline constexpr qint64 MaxSize = 4096;

// The file's bytes; nullopt with *error set (what to do) when the file is not a
// readable regular file or is larger than any card.
[[nodiscard]] std::optional<QByteArray> read(const QString &path, QString *error);

} // namespace SimImageFile
