#pragma once

#include "link/ModuleAnswers.h"

#include <QByteArray>

// One answer of the module as ReadResponse returns it.
struct ModuleResponse
{
    bool ok = false;  // false: time-out, checksum or length error (already logged)
    QByteArray frame; // every byte received, header through checksum
    QByteArray echo;  // hex echo of the frame, or "error"
    QByteArray data;  // response data text: data bytes, zero bytes left out

    // A data answer is 7 bytes or longer; a shorter one carries one status byte.
    [[nodiscard]] bool isData() const { return ModuleAnswers::isDataFrame(frame); }
    // Status character: the first character of the data text, 0 when it is empty.
    [[nodiscard]] char status() const { return data.isEmpty() ? '\0' : data.at(0); }
    // Byte i of the frame (0 = header), or -1 when the frame is too short for it.
    [[nodiscard]] int byteAt(int i) const { return i >= 0 && i < frame.size() ? quint8(frame.at(i)) : -1; }
};
