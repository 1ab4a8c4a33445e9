#pragma once

#include "card/CardType.h"

#include <QString>

class CardGridModel;

// What a Classic row of a grid means beyond its bytes: the value of a data block in
// value format, or the access conditions of a trailer's sector, in words for the row's
// tooltip and the side panel. Worked out from the cells as they stand, so a half-typed
// or ASCII-view row simply shows nothing.
struct RowInfo {
    enum class Kind { None, Value, Access, InvalidAccess };

    Kind kind = Kind::None;
    QString text;
};

[[nodiscard]] RowInfo rowInfo(const CardGridModel &grid, int row);
