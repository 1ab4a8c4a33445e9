#include "workflows/KeyFileReader.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// A short, printable quotation of a bad line: the file may hold anything.
QString quoted(QByteArrayView text)
{
    constexpr int MaxShown = 24;
    QString shown;
    for (qsizetype i = 0; i < text.size() && i < MaxShown; ++i) {
        const char c = text.at(i);
        shown += c >= 0x20 && c < 0x7F ? QChar::fromLatin1(c) : QChar(u'?');
    }
    if (text.size() > MaxShown)
        shown += QStringLiteral("...");
    return u'"' + shown + u'"';
}

} // namespace

KeyFileContents KeyFileReader::parse(const QByteArray &data)
{
    KeyFileContents contents;
    QSet<ClassicKey> seen;
    QByteArrayView rest(data);
    // An editor's byte order mark is not part of the first line.
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    int lineNumber = 0;
    while (!rest.isEmpty()) {
        ++lineNumber;
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        const qsizetype comment = line.indexOf('#');
        if (comment >= 0)
            line = line.first(comment);
        line = trimmed(line);
        if (line.isEmpty())
            continue;
        const std::optional<ClassicKey> key = ClassicKey::fromHex(line);
        if (!key) {
            if (contents.problems.size() < MaxListedProblems) {
                contents.problems << QStringLiteral("line %1: %2 is not a key of 12 hexadecimal digits")
                                         .arg(lineNumber)
                                         .arg(quoted(line));
            }
            ++contents.badLines;
            continue;
        }
        if (seen.contains(*key)) {
            ++contents.duplicates;
            continue;
        }
        seen.insert(*key);
        contents.keys << *key;
    }
    return contents;
}

std::optional<KeyFileContents> KeyFileReader::readFile(const QString &path, QString *error)
{
    // Only regular files: a FIFO or a device would block or never end.
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("The key file %1 does not exist.").arg(path);
        return std::nullopt;
    }
    if (!info.isFile()) {
        *error = QStringLiteral("The key file %1 is not a regular file.").arg(path);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot read the key file %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // The size is checked on what is read, not on what the file system claims.
    const QByteArray data = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Cannot read the key file %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (data.size() > MaxFileSize) {
        *error = QStringLiteral("The key file %1 is larger than %2 bytes.").arg(path).arg(MaxFileSize);
        return std::nullopt;
    }
    return parse(data);
}
