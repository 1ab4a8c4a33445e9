#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QString>

// Reads template files (.mtp) by position: field j of a data line is the two
// characters at offsets 3j and 3j+1, taken as they stand. The reader never reads past
// a line or past the list of lines; what a short file lacks is counted, not invented.
namespace TemplateReader {

// One cell's text for the byte at offset byteIndex of the card.
struct CellText {
    int byteIndex = 0;
    QByteArray text;
};

struct Content {
    QList<CellText> cells;
    int expectedLines = 0; // data lines of the format
    int missingLines = 0;  // data lines beyond the end of the file
    int shortLines = 0;    // data lines too short for all their fields
    int missingCells = 0;  // fields not loaded for either reason
};

// The formats named by a header line, in the order 1K, 4K, UL (case-sensitive
// substring tests; none, one or several).
[[nodiscard]] QList<CardType> typesOf(const QByteArray &headerLine);

// The cells of format type found in lines (line 1, the header, included).
[[nodiscard]] Content read(const QByteArrayList &lines, CardType type);

// One sentence on what was missing, empty when nothing was.
[[nodiscard]] QString describeMissing(const Content &content, CardType type);

} // namespace TemplateReader
