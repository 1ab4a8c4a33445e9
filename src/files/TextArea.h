#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QList>

class CardGridModel;

// The data area of a card treated as plain text, one character per byte: Classic
// blocks from 1 without the sector trailers; Ultralight pages 3 to 15, but pages 4 to
// 15 for export, so an exported Ultralight text imported again lands one page lower.
namespace TextArea {

enum class Use { Export, ImportOrView };

// Byte offsets on the card of the text area, in text order.
[[nodiscard]] QList<int> byteIndexes(CardType type, Use use);

// One character per byte cell of the area; cells holding a zero byte give nothing.
[[nodiscard]] QByteArray gridText(const CardGridModel &grid, Use use);

// Puts the text into the area, one character per cell as two hexadecimal digits,
// and "00" into the cells after its end; characters beyond the area are dropped.
void importText(CardGridModel &grid, const QByteArray &text);

// The text of an import file: its lines joined again, each followed by CR LF.
[[nodiscard]] QByteArray fileText(const QByteArray &data);

} // namespace TextArea
