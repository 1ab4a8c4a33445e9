#pragma once

#include <QString>
#include <QStringList>

// PC/SC readers as entries of the Com Port box: the reader's name after a prefix that
// no serial port name has, "PC/SC: Virtual PCD 00 00".
namespace PcscPortNames {

inline const QString Prefix = QStringLiteral("PC/SC: ");

[[nodiscard]] inline bool isReader(const QString &entry)
{
    return entry.startsWith(Prefix);
}
[[nodiscard]] inline QString entry(const QString &reader)
{
    return Prefix + reader;
}
// The reader's name of an entry (empty for a serial port).
[[nodiscard]] inline QString reader(const QString &entry)
{
    return isReader(entry) ? entry.mid(Prefix.size()) : QString();
}
// The entries of the readers pcscd knows now; none when pcscd is not running.
[[nodiscard]] QStringList entries();

} // namespace PcscPortNames
