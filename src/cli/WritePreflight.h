#pragma once

#include "view/WritePlan.h"

#include <QString>
#include <QStringList>

class CardGridModel;

// The checks before a write from the command line: the same plan and checks as Write
// All (or a single block or page write from the grid), answered without questions.
// Warnings about what cannot be undone refuse the write unless forced; a refusal
// (an invalid trailer, a cell that is not hexadecimal) refuses it always.
struct WritePreflight {
    WritePlan plan;
    QStringList warnings; // the plan's questions, without "Do you want to continue?"
    QString refusal;      // why nothing may be sent; empty when it may

    [[nodiscard]] bool mayWrite() const { return refusal.isEmpty(); }

    // The whole card from its grid.
    [[nodiscard]] static WritePreflight writeAll(const CardGridModel &grid, bool force);
    // One block or page; data already in the grid's row.
    [[nodiscard]] static WritePreflight writeOne(const CardGridModel &grid, int number, bool force);

private:
    void decide(bool force);
};
