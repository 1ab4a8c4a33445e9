#pragma once

#include <cstdio>

struct CliOptions;

// Runs one parsed command line; returns the exit status (ExitCode). Results go to out,
// messages and progress to err.
namespace CliCommands {

[[nodiscard]] int run(const CliOptions &options, std::FILE *out, std::FILE *err);

} // namespace CliCommands
