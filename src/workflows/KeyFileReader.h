#pragma once

#include "workflows/ClassicKey.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What a key file held: its keys in file order, each once, and the lines that were not keys.
struct KeyFileContents {
    QList<ClassicKey> keys;
    // "line 7: ..." for the first bad lines (at most KeyFileReader::MaxListedProblems).
    QStringList problems;
    // Every bad line, also those not listed.
    int badLines = 0;
    // Keys dropped because an earlier line held them.
    int duplicates = 0;
};

// Reads key files: plain text, one key of 12 hexadecimal digits (either case) per line,
// "#" starting a comment (on its own line or after a key), blank lines ignored. Any
// other line is reported by number and skipped, so one typo does not lose a file.
class KeyFileReader
{
public:
    // A dictionary of a million bytes already holds some 75000 keys; anything larger
    // was picked by mistake and is not read into memory.
    static constexpr qint64 MaxFileSize = 1024 * 1024;
    static constexpr int MaxListedProblems = 20;

    [[nodiscard]] static KeyFileContents parse(const QByteArray &data);
    // Reads and parses a regular file of at most MaxFileSize bytes; none with *error
    // set when it is not one or cannot be read.
    [[nodiscard]] static std::optional<KeyFileContents> readFile(const QString &path, QString *error);
};
