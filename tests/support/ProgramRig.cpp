#include "ProgramRig.h"

#include <QFile>

QByteArray ProgramRig::settingsBytes() const
{
    QFile file(settings.path());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void ProgramRig::writeSettingsBytes(const QByteArray &bytes) const
{
    QFile file(settings.path());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}
