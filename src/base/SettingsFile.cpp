#include "base/SettingsFile.h"

#include "base/SettingsError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QByteArray HeaderLine1 = "**MERLOX MIFARE V1.0 CONFIGURATION FILE";
const QByteArray HeaderLine2 = "**This file keeps parameters of MERLOX MIFARE";

[[noreturn]] void fail(const QString &fileName, const QString &systemMessage)
{
    throw SettingsError(QStringLiteral("%1: %2").arg(fileName, systemMessage).toStdString());
}

// Splits at CR LF, CR or LF. A final line end does not start another line.
QByteArrayList splitLines(const QByteArray &data)
{
    QByteArrayList lines;
    QByteArray current;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data.at(i);
        if (c == '\r' || c == '\n') {
            lines.append(current);
            current.clear();
            if (c == '\r' && i + 1 < data.size() && data.at(i + 1) == '\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

// A line break inside a key or value would split the file's key/value pairs.
QByteArray withoutLineBreaks(QByteArray text)
{
    text.replace('\r', QByteArray());
    text.replace('\n', QByteArray());
    return text;
}

// Values end at a comma, so one inside a value (pasted into a key field, say) would
// shift every later value: it is left out.
QByteArray joinValues(const QByteArrayList &values)
{
    QByteArray line;
    for (qsizetype i = 0; i < values.size() && i < SettingsFile::MaxValues; ++i) {
        QByteArray value = withoutLineBreaks(values.at(i));
        value.replace(',', QByteArray());
        line += value + ',';
    }
    return line;
}

QByteArray lastFileKey(CardType type)
{
    return "LastFile" + cardTypeSuffix(type);
}

} // namespace

SettingsFile::SettingsFile(QString path)
    : m_path(std::move(path))
{
}

QString SettingsFile::defaultPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return folder + QStringLiteral("/merlox-mifare/merlox_mifare_cnf.txt");
}

void SettingsFile::createIfMissing() const
{
    if (QFileInfo::exists(m_path))
        return;
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        fail(m_path, QStringLiteral("cannot create the folder %1").arg(info.absolutePath()));
    saveLines({HeaderLine1, HeaderLine2});
}

QByteArrayList SettingsFile::loadLines() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        fail(m_path, file.errorString());
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(m_path, file.errorString());
    return splitLines(data);
}

void SettingsFile::saveLines(const QByteArrayList &lines) const
{
    QByteArray data;
    for (const QByteArray &line : lines)
        data += line + "\r\n";
    QSaveFile file(m_path);
    // The file holds card keys: readable by the user only.
    if (!file.open(QIODevice::WriteOnly))
        fail(m_path, file.errorString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(data) != data.size() || !file.commit())
        fail(m_path, file.errorString());
}

int SettingsFile::findKey(const QByteArray &key) const
{
    const QByteArrayList lines = loadLines();
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i) == key)
            return i;
    }
    return 0;
}

int SettingsFile::append(const QByteArray &key, const QByteArray &valueLine) const
{
    QByteArrayList lines = loadLines();
    // A key on the last line whose value line is missing (value lines end with a comma)
    // would take the new key as its value, and its next write would overwrite that key.
    if (lines.size() >= 2 && !lines.last().endsWith(',') && lines.last() != HeaderLine2)
        lines << QByteArray();
    lines << withoutLineBreaks(key) << withoutLineBreaks(valueLine);
    saveLines(lines);
    return int(lines.size()) - 2;
}

QByteArrayList SettingsFile::readValues(int index) const
{
    const QByteArrayList lines = loadLines();
    QByteArrayList values;
    if (index < 0 || index + 1 >= lines.size())
        return values;
    const QByteArray &line = lines.at(index + 1);
    qsizetype start = 0;
    while (values.size() < MaxValues) {
        const qsizetype comma = line.indexOf(',', start);
        if (comma < 0)
            break;
        values.append(line.mid(start, comma - start));
        start = comma + 1;
    }
    return values;
}

void SettingsFile::writeValues(int index, const QByteArrayList &values) const
{
    QByteArrayList lines = loadLines();
    if (index < 0)
        return;
    while (lines.size() <= index + 1)
        lines.append(QByteArray());
    lines[index + 1] = joinValues(values);
    saveLines(lines);
}

QByteArrayList SettingsFile::read(const QByteArray &key, const QByteArray &defaultLine) const
{
    int index = findKey(key);
    if (index == 0)
        index = append(key, defaultLine);
    return readValues(index);
}

QByteArray SettingsFile::readFirst(const QByteArray &key, const QByteArray &defaultLine) const
{
    const QByteArrayList values = read(key, defaultLine);
    return values.isEmpty() ? QByteArray() : values.first();
}

bool SettingsFile::readFlag(const QByteArray &key, bool defaultValue) const
{
    return readFirst(key, defaultValue ? "TRUE," : "FALSE,") == "TRUE";
}

int SettingsFile::readIndex(const QByteArray &key, int defaultValue) const
{
    bool ok = false;
    const int value = readFirst(key, QByteArray::number(defaultValue) + ',').toInt(&ok);
    return ok ? value : -1;
}

void SettingsFile::write(const QByteArray &key, const QByteArrayList &values) const
{
    const int index = findKey(key);
    if (index == 0)
        return;
    writeValues(index, values);
}

void SettingsFile::writeFlag(const QByteArray &key, bool value) const
{
    write(key, {value ? QByteArray("TRUE") : QByteArray("FALSE")});
}

void SettingsFile::writeIndex(const QByteArray &key, int value) const
{
    write(key, {QByteArray::number(value)});
}

QString SettingsFile::readLastFile(CardType type) const
{
    const int index = findKey(lastFileKey(type));
    if (index == 0)
        return {};
    const QByteArrayList values = readValues(index);
    return values.isEmpty() ? QString() : QString::fromLocal8Bit(values.first());
}

void SettingsFile::writeLastFile(CardType type, const QString &fileName) const
{
    const QByteArray key = lastFileKey(type);
    const QByteArray name = fileName.toLocal8Bit();
    const int index = findKey(key);
    if (index == 0)
        append(key, name + ',');
    else
        writeValues(index, {name});
}
