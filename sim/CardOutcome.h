#pragma once

#include "ModuleCommand.h"

#include <QByteArray>

// Result of one card operation as the module reports it: success with the bytes to
// answer, or a failure with one status character (ModuleStatus).
struct CardOutcome {
    char status = 0; // 0 on success
    QByteArray data;

    [[nodiscard]] bool ok() const { return status == 0; }
    [[nodiscard]] static CardOutcome success(const QByteArray &data = {}) { return {0, data}; }
    [[nodiscard]] static CardOutcome failure(char status) { return {status, {}}; }
};
