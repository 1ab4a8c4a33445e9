#pragma once

#include "commands/WritePlan.h"

class CardGridModel;

// The write plans of the card grids: what a grid write or Write All sends, with the
// cell tests, refusals and warnings of the grid's cells.

// One Classic block from its row of grid1 or grid4: cell test, then for a trailer the
// access-bit test and the lock warnings.
[[nodiscard]] WritePlan planClassicBlock(const CardGridModel &grid, int block);
// One Ultralight page (2 to 15) from gridUL: page 3 asks the OTP question when any
// cell is not "00"; page 2 is sent as 00 00 L0 L1, its lock bytes tested first and
// then warned about.
[[nodiscard]] WritePlan planUltralightPage(const CardGridModel &gridUL, int page);

// Write all: blocks 1 to the last (block 0 is never written), ending at the first
// refusal. The grid's card type (1K or 4K) gives the block count.
[[nodiscard]] WritePlan planClassicWriteAll(const CardGridModel &grid);
// Write all of an Ultralight card: pages 2 to 15 tested and asked in page order, but
// written 3 to 15 and page 2 last, so that lock bits never lock a page before its
// new data is on the card.
[[nodiscard]] WritePlan planUltralightWriteAll(const CardGridModel &gridUL);

// Write all of the grid's card type: planUltralightWriteAll for gridUL, otherwise
// planClassicWriteAll.
[[nodiscard]] WritePlan planWriteAll(const CardGridModel &grid);
