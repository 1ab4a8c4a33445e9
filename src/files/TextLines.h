#pragma once

#include <QByteArray>
#include <QByteArrayList>

// Line handling shared by the text file formats.
namespace TextLines {

// Splits at CR LF, CR alone or LF alone; a line end at the very end starts no
// further line. Line n of a file (from 1) is element n-1.
[[nodiscard]] QByteArrayList split(const QByteArray &data);

// The line without spaces and tabs at either end.
[[nodiscard]] QByteArray trimmed(const QByteArray &line);

} // namespace TextLines
