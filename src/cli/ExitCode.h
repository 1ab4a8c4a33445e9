#pragma once

// What merlox-mifare-cli's exit status says. 0 only when everything asked was done.
namespace ExitCode {
constexpr int Done = 0;
// The card or module did not do everything asked: no tag, a refused authentication, a
// block that could not be read or written (or whose read-back failed), no answer.
// For diff: the two images differ.
constexpr int CardFailed = 1;
// The command line was wrong: unknown command or option, a missing or bad value.
constexpr int Usage = 2;
// A file could not be read, understood or written, or cannot hold what it should.
constexpr int FileProblem = 3;
// The write was refused before anything was sent: a warning that needs --force, or
// data no write may send (an invalid sector trailer, unknown bytes).
constexpr int Refused = 4;
// The serial port could not be opened or failed while in use.
constexpr int PortProblem = 5;
} // namespace ExitCode
