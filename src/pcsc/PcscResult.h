#pragma once

#include "pcsc/PcscExchange.h"
#include "pcsc/PcscFailure.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What one session command did: its exchanges in order (log them all), and either the
// data it produced or why it failed.
struct PcscResult {
    PcscFailure failure = PcscFailure::None;
    // UID (select), block or page bytes (read), the value least significant byte first
    // (value commands, as the module reports values).
    QByteArray data;
    QList<PcscExchange> exchanges;
    // What happened and what to do; empty on success. For CardRefused it names the
    // status word the card or reader answered.
    QString message;

    [[nodiscard]] bool ok() const { return failure == PcscFailure::None; }
    // The meaning of the last exchange ("READ OK", ...), or empty.
    [[nodiscard]] QByteArray meaning() const { return exchanges.isEmpty() ? QByteArray() : exchanges.last().meaning; }
};
