#include "cli/CliKeys.h"

#include "workflows/KeyFileReader.h"
#include "workflows/SectorKeyPlan.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

CliKeys CliKeys::single(const KeySource &key)
{
    CliKeys keys;
    keys.m_single = key;
    return keys;
}

CliKeys CliKeys::fromSearch(const KeySearchResult &result)
{
    CliKeys keys;
    const SectorKeyPlan plan = SectorKeyPlan::fromSearch(result);
    for (const SectorKeys &entry : result.sectors) {
        if (const std::optional<SectorAuth> auth = plan.forSector(entry.sector)) {
            const KeySource::Type type = auth->type == KeyType::A ? KeySource::Type::A : KeySource::Type::B;
            keys.m_bySector.insert(entry.sector, KeySource::keyBytes(type, auth->key.toBytes()));
        }
    }
    return keys;
}

std::optional<KeySource> CliKeys::forSector(int sector) const
{
    if (m_single)
        return m_single;
    const auto it = m_bySector.constFind(sector);
    return it == m_bySector.cend() ? std::nullopt : std::optional<KeySource>(*it);
}

std::optional<CliKeys::FileKeys> CliKeys::readFile(const QString &path, QString *error)
{
    // The reader's checks (a regular file, not too large) come first.
    if (!KeyFileReader::readFile(path, error))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    std::optional<FileKeys> keys = parse(file.readAll(), error);
    if (!keys)
        *error = path + QStringLiteral(": ") + *error;
    return keys;
}

std::optional<CliKeys::FileKeys> CliKeys::parse(const QByteArray &data, QString *error)
{
    static const QRegularExpression place(QStringLiteral("^(\\d{1,2})([AB])$"));
    const KeyFileContents contents = KeyFileReader::parse(data);
    if (!contents.problems.isEmpty()) {
        *error = contents.problems.first();
        return std::nullopt;
    }
    KeySearchResult result;
    bool placed = false;
    for (const QByteArray &line : data.split('\n')) {
        const qsizetype hash = line.indexOf('#');
        if (hash < 0)
            continue;
        const std::optional<ClassicKey> key = ClassicKey::fromHex(line.left(hash).trimmed());
        if (!key)
            continue;
        for (const QByteArray &word : line.mid(hash + 1).simplified().split(' ')) {
            const QRegularExpressionMatch match = place.match(QString::fromLatin1(word));
            if (!match.hasMatch())
                continue;
            const int sector = match.captured(1).toInt();
            if (sector > 39) {
                *error = QStringLiteral("no sector %1").arg(sector);
                return std::nullopt;
            }
            placed = true;
            auto entry = std::find_if(result.sectors.begin(), result.sectors.end(),
                                      [&](const SectorKeys &s) { return s.sector == sector; });
            if (entry == result.sectors.end()) {
                result.sectors.append(SectorKeys {sector, {}, {}, false, false});
                entry = result.sectors.end() - 1;
            }
            (match.captured(2) == QLatin1String("A") ? entry->keyA : entry->keyB) = *key;
        }
    }
    FileKeys keys;
    if (placed)
        keys.sectors = result;
    keys.keys = contents.keys;
    if (keys.keys.isEmpty()) {
        *error = QStringLiteral("no keys");
        return std::nullopt;
    }
    return keys;
}
