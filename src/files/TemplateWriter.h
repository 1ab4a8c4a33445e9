#pragma once

#include "card/CardType.h"

#include <QByteArray>

class CardGridModel;

// The template file (.mtp) of a grid: a header line naming the card type, then one
// line per stored block or page of comma-terminated cell texts, every line ended by
// CR LF. Block 0 and Ultralight pages 0 and 1 are not stored; the Ultralight page 2
// line holds only the two lock bytes (",,L0,L1,").
namespace TemplateWriter {

[[nodiscard]] QByteArray header(CardType type);

// The whole file; cell texts are written as they stand.
[[nodiscard]] QByteArray write(const CardGridModel &grid);

} // namespace TemplateWriter
