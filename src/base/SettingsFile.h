#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

// The plain-text settings file: two header lines, then key lines each followed by a
// value line of comma-terminated values ("5C,5C,5C,5C,5C,5C,"). Nothing is cached:
// every read loads the whole file and every write replaces it (atomically, so a crash
// or a full disk never leaves half a file). I/O failures throw SettingsError.
class SettingsFile
{
public:
    static constexpr int MaxValues = 32;
    // A few dozen short lines; this bound leaves room for every key with 32 long values.
    static constexpr qint64 MaxFileBytes = 1024 * 1024;

    explicit SettingsFile(QString path);

    // merlox_mifare_cnf.txt in the user's configuration folder (XDG_CONFIG_HOME).
    [[nodiscard]] static QString defaultPath();
    [[nodiscard]] QString path() const { return m_path; }

    // Creates the file with its two header lines when it does not exist.
    void createIfMissing() const;
    // At start: removes temporary files that interrupted saves left behind, creates
    // the file when missing, and repairs a file that is empty or starts with keys
    // instead of the header (header first, each key once with its first value).
    void prepare() const;

public: // the four file routines, line indexes from 0
    // Index of the first line equal to key; 0 (the first header line) when none is.
    [[nodiscard]] int findKey(const QByteArray &key) const;
    // Appends key and value line; returns the index of the new key line.
    int append(const QByteArray &key, const QByteArray &valueLine) const;
    // Values of line index+1: each text before a comma; at most MaxValues.
    [[nodiscard]] QByteArrayList readValues(int index) const;
    // Replaces line index+1 with the values, each followed by a comma.
    void writeValues(int index, const QByteArrayList &values) const;

public: // reading and writing a setting by key
    // Values of key; a missing key is first appended with its default value line.
    [[nodiscard]] QByteArrayList read(const QByteArray &key, const QByteArray &defaultLine) const;
    // First value of key (empty when the line has none).
    [[nodiscard]] QByteArray readFirst(const QByteArray &key, const QByteArray &defaultLine) const;
    // A "TRUE"/"FALSE" setting: true exactly when its first value is "TRUE".
    [[nodiscard]] bool readFlag(const QByteArray &key, bool defaultValue) const;
    // A decimal index; -1 when the value is not a number.
    [[nodiscard]] int readIndex(const QByteArray &key, int defaultValue) const;

    // Replaces the value line of an existing key. A key that is not in the file is
    // left alone: a writer never touches any other line.
    void write(const QByteArray &key, const QByteArrayList &values) const;
    void writeFlag(const QByteArray &key, bool value) const;
    void writeIndex(const QByteArray &key, int value) const;

    // The last template file of a card type (LastFile1K/4K/UL). Reading never appends;
    // a missing key gives an empty name. Writing appends the key when it is missing.
    [[nodiscard]] QString readLastFile(CardType type) const;
    void writeLastFile(CardType type, const QString &fileName) const;

public: // file access used by the routines above
    [[nodiscard]] QByteArrayList loadLines() const;
    void saveLines(const QByteArrayList &lines) const;

private:
    void removeStaleTemporaries() const;
    // The lines of a file that prepare() repairs: header, then each key once.
    [[nodiscard]] static QByteArrayList repaired(const QByteArrayList &lines);

    QString m_path;
};
