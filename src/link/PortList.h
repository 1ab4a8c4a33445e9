#pragma once

#include <QString>
#include <QStringList>

// The names offered in the port boxes: the system's serial ports plus the ports that
// running module simulators publish as links in <runtime dir>/merlox-mifare-ports/.
namespace PortList {

// Folder where simulators publish their pseudo-terminals, one symbolic link per port.
[[nodiscard]] QString simulatorFolder();

// All port names, sorted case-insensitively.
[[nodiscard]] QStringList names();

// What to open for a name: the target of a simulator link, else the name itself
// (QSerialPort finds system ports under /dev by name, and accepts full paths).
[[nodiscard]] QString devicePath(const QString &name);

// Sorts names in case-insensitive text order ("COM10" before "COM2").
void sortNames(QStringList &names);

} // namespace PortList
