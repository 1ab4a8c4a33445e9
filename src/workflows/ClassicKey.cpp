#include "workflows/ClassicKey.h"

#include "link/Hex.h"

std::optional<ClassicKey> ClassicKey::fromHex(QByteArrayView text)
{
    if (text.size() != 12)
        return std::nullopt;
    ClassicKey key;
    for (int i = 0; i < 6; ++i) {
        const char high = text.at(2 * i);
        const char low = text.at(2 * i + 1);
        if (!Hex::isDigit(high) || !Hex::isDigit(low))
            return std::nullopt;
        key.bytes[i] = quint8(Hex::digitValue(high) * 16 + Hex::digitValue(low));
    }
    return key;
}

std::optional<ClassicKey> ClassicKey::fromBytes(QByteArrayView raw)
{
    if (raw.size() < 6)
        return std::nullopt;
    ClassicKey key;
    for (int i = 0; i < 6; ++i)
        key.bytes[i] = quint8(raw.at(i));
    return key;
}

QByteArray ClassicKey::toHex() const
{
    return toBytes().toHex().toUpper();
}

QByteArray ClassicKey::toBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}
