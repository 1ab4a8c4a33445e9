#include "link/PortList.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStandardPaths>

#include <algorithm>

namespace PortList {

QString simulatorFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
        + QStringLiteral("/merlox-mifare-ports");
}

void sortNames(QStringList &names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

QStringList names()
{
    QStringList result;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        result.append(info.portName());

    // A link whose simulator has gone leaves a dangling link: skip it.
    const QDir folder(simulatorFolder());
    const QFileInfoList links = folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo &link : links) {
        if (link.isSymLink() && QFileInfo::exists(link.symLinkTarget()) && !result.contains(link.fileName()))
            result.append(link.fileName());
    }
    sortNames(result);
    return result;
}

QString devicePath(const QString &name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return name;
    const QFileInfo link(QDir(simulatorFolder()).filePath(name));
    if (link.isSymLink())
        return link.symLinkTarget();
    return name;
}

} // namespace PortList
