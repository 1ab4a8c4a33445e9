#pragma once

#include "workflows/ClassicKey.h"

#include <QList>
#include <QSet>

// The keys a search tries: several key files merged, each key once, in the order first added.
class KeyDictionary
{
public:
    // The keys shipped with the program: the published factory, transport and
    // default keys (":/keys/default-keys.txt").
    [[nodiscard]] static KeyDictionary defaults();

    // False when the key is there already.
    bool add(const ClassicKey &key);
    // How many were new.
    int add(const QList<ClassicKey> &keys);

    [[nodiscard]] const QList<ClassicKey> &keys() const { return m_keys; }
    [[nodiscard]] int size() const { return int(m_keys.size()); }
    [[nodiscard]] bool contains(const ClassicKey &key) const { return m_seen.contains(key); }

private:
    QList<ClassicKey> m_keys;
    QSet<ClassicKey> m_seen;
};
