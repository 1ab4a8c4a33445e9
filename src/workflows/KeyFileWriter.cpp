#include "workflows/KeyFileWriter.h"

#include "workflows/KeySearch.h"

#include <QSaveFile>

namespace {

QByteArray headingLines(const QString &heading)
{
    QByteArray out;
    for (const QString &line : heading.split(u'\n', Qt::SkipEmptyParts))
        out += "# " + line.toUtf8() + '\n';
    return out;
}

} // namespace

QByteArray KeyFileWriter::write(const QList<ClassicKey> &keys, const QString &heading)
{
    QByteArray out = headingLines(heading);
    QList<ClassicKey> written;
    for (const ClassicKey &key : keys) {
        if (written.contains(key))
            continue;
        written << key;
        out += key.toHex() + '\n';
    }
    return out;
}

QByteArray KeyFileWriter::write(const KeySearchResult &result)
{
    QList<ClassicKey> keys;
    QList<QByteArray> places;
    for (const SectorKeys &entry : result.sectors) {
        for (KeyType type : {KeyType::A, KeyType::B}) {
            const std::optional<ClassicKey> &key = entry.key(type);
            if (!key)
                continue;
            const QByteArray place = QByteArray::number(entry.sector) + keyTypeName(type);
            const qsizetype index = keys.indexOf(*key);
            if (index < 0) {
                keys << *key;
                places << place;
            } else {
                places[index] += ' ' + place;
            }
        }
    }
    QByteArray out = headingLines(QStringLiteral("Keys found, with the sectors and key types they open"));
    for (qsizetype i = 0; i < keys.size(); ++i)
        out += keys.at(i).toHex() + " # " + places.at(i) + '\n';
    return out;
}

bool KeyFileWriter::save(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    *error = QStringLiteral("Cannot save the key file %1: %2").arg(path, file.errorString());
    return false;
}
