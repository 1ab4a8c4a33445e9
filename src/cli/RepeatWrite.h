#pragma once

#include "card/CardType.h"
#include "commands/WritePlan.h"

#include <cstdio>

class CardReader;
class CliKeys;

// write-card --repeat: the planned image onto card after card (BatchWrite), each read
// back and compared before it counts, until SIGINT or SIGTERM. One line per card on
// out. Exit status 0 when no card failed.
namespace RepeatWrite {

[[nodiscard]] int run(CardReader &reader, CardType type, const CliKeys &keys, const WritePlan &plan, std::FILE *out,
                      std::FILE *err);

} // namespace RepeatWrite
