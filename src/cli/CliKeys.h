#pragma once

#include "reader/KeySource.h"
#include "workflows/ClassicKey.h"
#include "workflows/KeySearch.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The key each sector is authenticated with: one key for the whole card (given bytes,
// a key store slot or the module's default key), or a key per sector from a key file.
class CliKeys
{
public:
    [[nodiscard]] static CliKeys single(const KeySource &key);
    // The sectors and keys a found-keys file names: "FFFFFFFFFFFF # 0A 0B 1A". Key A
    // is used where known, else key B.
    [[nodiscard]] static CliKeys fromSearch(const KeySearchResult &result);

    // What a key file holds: a key per sector when any line names sectors, else the
    // file's keys as a list to search. False with *error set when it is neither.
    struct FileKeys {
        std::optional<KeySearchResult> sectors; // keys by sector
        QList<ClassicKey> keys;                 // a plain list
    };
    [[nodiscard]] static std::optional<FileKeys> readFile(const QString &path, QString *error);
    [[nodiscard]] static std::optional<FileKeys> parse(const QByteArray &data, QString *error);

    // None: no key is known for the sector.
    [[nodiscard]] std::optional<KeySource> forSector(int sector) const;

private:
    std::optional<KeySource> m_single;
    QHash<int, KeySource> m_bySector;
};
