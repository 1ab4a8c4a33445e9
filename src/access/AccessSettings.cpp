#include "access/AccessSettings.h"

namespace AccessSettings {

int defaultIndex(int group)
{
    return group == 3 ? 1 : 0;
}

std::array<int, 4> parseKeyConfig(const QByteArrayList &values)
{
    std::array<int, 4> indices{};
    for (int g = 0; g < 4; ++g) {
        bool ok = false;
        const QByteArray text = g < values.size() ? values.at(g).trimmed() : QByteArray();
        const int k = text.toInt(&ok);
        indices[g] = ok && k >= 0 && k <= 7 ? k : defaultIndex(g);
    }
    return indices;
}

QByteArrayList keyConfigValues(const std::array<int, 4> &indices)
{
    QByteArrayList values;
    for (int k : indices)
        values << (k >= 0 ? QByteArray::number(k) : QByteArray());
    return values;
}

QByteArrayList splitKeyAB(const QByteArrayList &values)
{
    const QByteArray keyA = values.value(0);
    const QByteArray keyB = values.value(1);
    QByteArrayList texts;
    for (int i = 0; i < 6; ++i)
        texts << keyA.mid(2 * i, 2);
    for (int i = 0; i < 6; ++i)
        texts << keyB.mid(2 * i, 2);
    texts << values.value(2).left(2);
    return texts;
}

QByteArrayList keyABValues(const QByteArrayList &texts)
{
    return {texts.mid(0, 6).join(), texts.mid(6, 6).join(), texts.value(12)};
}

} // namespace AccessSettings
