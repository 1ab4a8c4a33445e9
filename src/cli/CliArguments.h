#pragma once

#include "cli/CliOptions.h"

#include <QString>
#include <QStringList>

#include <optional>

// The command line of merlox-mifare-cli: a command, its operands and options, in any
// order after the command ("--opt value" or "--opt=value"). Checked here as far as
// it can be without a port or a file.
namespace CliArguments {

// The commands, in the order the overview lists them.
[[nodiscard]] QStringList commands();

// args without the program name. None with *error set when the line is wrong.
[[nodiscard]] std::optional<CliOptions> parse(const QStringList &args, QString *error);

// The overview (empty command) or one command's help, for stdout.
[[nodiscard]] QString helpText(const QString &command = {});

// "A:FFFFFFFFFFFF", "B:a0a1a2a3a4a5" or twelve digits (key A).
[[nodiscard]] std::optional<KeySource> parseKey(const QString &text);
// "A:3", "B:15" or a slot number alone (key A); slots 0 to 15.
[[nodiscard]] std::optional<KeySource> parseKeySlot(const QString &text);
// Hexadecimal digits, spaces and colons allowed between bytes: "00 11 22 33".
[[nodiscard]] std::optional<QByteArray> parseBytes(const QString &text);

} // namespace CliArguments
