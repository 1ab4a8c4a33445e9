#include "workflows/KeyDictionary.h"

#include "workflows/KeyFileReader.h"

#include <QFile>

// The resource lives in the static core library: naming it here keeps the linker
// from dropping it. Q_INIT_RESOURCE must be used outside any namespace.
static void initKeyResources()
{
    Q_INIT_RESOURCE(keys);
}

KeyDictionary KeyDictionary::defaults()
{
    initKeyResources();
    QFile file(QStringLiteral(":/keys/default-keys.txt"));
    KeyDictionary dictionary;
    if (file.open(QIODevice::ReadOnly))
        dictionary.add(KeyFileReader::parse(file.readAll()).keys);
    return dictionary;
}

bool KeyDictionary::add(const ClassicKey &key)
{
    if (m_seen.contains(key))
        return false;
    m_seen.insert(key);
    m_keys << key;
    return true;
}

int KeyDictionary::add(const QList<ClassicKey> &keys)
{
    int added = 0;
    for (const ClassicKey &key : keys)
        added += add(key) ? 1 : 0;
    return added;
}
