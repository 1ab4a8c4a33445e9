#pragma once

#include "workflows/ClassicKey.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct KeySearchResult;

// Writes key files that KeyFileReader (and other card tools) read back: one key of 12
// upper-case digits per line, comments after "#".
class KeyFileWriter
{
public:
    // The keys in order, each once, under an optional comment heading.
    [[nodiscard]] static QByteArray write(const QList<ClassicKey> &keys, const QString &heading = {});
    // The keys a search found, each once in the order found, with a comment naming the
    // sectors and key types it opened ("FFFFFFFFFFFF # 0A 0B 1A").
    [[nodiscard]] static QByteArray write(const KeySearchResult &result);
    // Replaces the file only once all is written (QSaveFile); false with *error set.
    [[nodiscard]] static bool save(const QString &path, const QByteArray &data, QString *error);
};
