#pragma once

#include "card/CardImage.h"

#include <QByteArray>
#include <QString>

// Hexadecimal text helpers shared by the dump readers and writers.
namespace DumpText {

// Reads the 2 * count characters of text as bytes into image from offset on.
// A pair of two unknownMarks (when unknownMark is not 0) makes that byte unknown.
// On a bad character sets problem ("expected ...") and returns false.
[[nodiscard]] bool readHexRun(const QByteArray &text, int count, char unknownMark, CardImage &image, int offset,
                              QString *problem);

// Upper-case hexadecimal digits of count bytes from offset; unknown bytes as two
// unknownMarks, then separator after every byte but the last.
[[nodiscard]] QByteArray hexRun(const CardImage &image, int offset, int count, const QByteArray &unknownMark,
                                const QByteArray &separator = QByteArray());

// "line 5: " for messages.
[[nodiscard]] QString atLine(int lineNumber);

} // namespace DumpText
