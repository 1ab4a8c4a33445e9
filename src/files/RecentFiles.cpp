#include "files/RecentFiles.h"

#include "base/SettingsFile.h"

#include <QFileInfo>
#include <QUrl>

QStringList RecentFiles::names() const
{
    const int index = m_settings.findKey(Key);
    if (index == 0)
        return {};
    QStringList names;
    for (const QByteArray &value : m_settings.readValues(index)) {
        if (!value.isEmpty() && names.size() < Limit)
            names << QUrl::fromPercentEncoding(value);
    }
    return names;
}

void RecentFiles::remember(const QString &fileName)
{
    const QString name = QFileInfo(fileName).absoluteFilePath();
    QStringList names = this->names();
    names.removeAll(name);
    names.prepend(name);
    QByteArrayList values;
    for (const QString &each : names.mid(0, Limit))
        values << QUrl::toPercentEncoding(each, "/");
    const int index = m_settings.findKey(Key);
    if (index == 0)
        m_settings.append(Key, values.join(',') + ',');
    else
        m_settings.writeValues(index, values);
}
