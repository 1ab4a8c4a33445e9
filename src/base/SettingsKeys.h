#pragma once

#include <QByteArray>

// The keys the program keeps in its settings file.
namespace SettingsKeys {

// Whether a line of the settings file is one of the program's keys. Such a line is
// always a key, never the value line of the key above it.
[[nodiscard]] bool isKnown(const QByteArray &line);

} // namespace SettingsKeys
