#include "base/SettingsFile.h"

#include "base/RegularFile.h"
#include "base/SettingsError.h"
#include "base/SettingsKeys.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
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
    const RegularFile::Content file = RegularFile::read(m_path, MaxFileBytes);
    if (!file.ok())
        fail(m_path, file.error);
    return splitLines(file.data);
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

void SettingsFile::prepare() const
{
    removeStaleTemporaries();
    createIfMissing();
    const QByteArrayList lines = loadLines();
    // The first two lines are the header: without it a key on line 0 is never found
    // (index 0 means "not found"), and each start would append that key again.
    if (!lines.isEmpty() && !SettingsKeys::isKnown(lines.value(0)) && !SettingsKeys::isKnown(lines.value(1)))
        return;
    saveLines(repaired(lines));
}

QByteArrayList SettingsFile::repaired(const QByteArrayList &lines)
{
    QByteArrayList out {HeaderLine1, HeaderLine2};
    QSet<QByteArray> seen;
    for (qsizetype i = 0; i < lines.size();) {
        const QByteArray &key = lines.at(i);
        if (key == HeaderLine1 || key == HeaderLine2) {
            ++i;
            continue;
        }
        const bool hasValue = i + 1 < lines.size() && !SettingsKeys::isKnown(lines.at(i + 1))
            && lines.at(i + 1) != HeaderLine1 && lines.at(i + 1) != HeaderLine2;
        // The first pair of a key holds the user's value: later copies were appended
        // with defaults by the starts that could not find it. A key without a value
        // line is left out and gets its default when next read.
        if (hasValue && !seen.contains(key)) {
            seen.insert(key);
            out << key << lines.at(i + 1);
        }
        i += hasValue ? 2 : 1;
    }
    return out;
}

void SettingsFile::removeStaleTemporaries() const
{
    // An interrupted save leaves its temporary file beside the settings file, named
    // after it with a dot and six characters. One younger than a minute may belong to
    // another copy of the program saving at this moment.
    const QFileInfo settings(m_path);
    const QDir folder = settings.absoluteDir();
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(settings.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QDateTime stale = QDateTime::currentDateTime().addSecs(-60);
    const QStringList pattern {settings.fileName() + QStringLiteral(".*")};
    for (const QFileInfo &file : folder.entryInfoList(pattern, QDir::Files | QDir::Hidden)) {
        if (temporary.match(file.fileName()).hasMatch() && file.lastModified() < stale)
            QFile::remove(file.filePath());
    }
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
    // A key line below a key whose value line is missing is that key, not its value.
    if (index < 0 || index + 1 >= lines.size() || SettingsKeys::isKnown(lines.at(index + 1)))
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
    while (lines.size() <= index)
        lines.append(QByteArray());
    // A missing value line is put in, rather than written over the next key.
    if (index + 1 >= lines.size() || SettingsKeys::isKnown(lines.at(index + 1)))
        lines.insert(index + 1, joinValues(values));
    else
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
