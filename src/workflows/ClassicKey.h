#pragma once

#include <QByteArray>
#include <QHashFunctions>

#include <array>
#include <optional>

// Which of a Classic sector's two keys an authentication uses.
enum class KeyType { A, B };

// "A" or "B".
[[nodiscard]] inline QByteArray keyTypeName(KeyType type)
{
    return type == KeyType::A ? QByteArrayLiteral("A") : QByteArrayLiteral("B");
}

// One 6-byte MIFARE Classic key.
struct ClassicKey {
    std::array<quint8, 6> bytes{};

    // Exactly 12 hexadecimal digits, either case; none for anything else.
    [[nodiscard]] static std::optional<ClassicKey> fromHex(QByteArrayView text);
    // The first 6 bytes of raw; none when raw is shorter.
    [[nodiscard]] static std::optional<ClassicKey> fromBytes(QByteArrayView raw);

    // Twelve upper-case digits, "A0A1A2A3A4A5".
    [[nodiscard]] QByteArray toHex() const;
    [[nodiscard]] QByteArray toBytes() const;

    friend bool operator==(const ClassicKey &, const ClassicKey &) = default;
    friend size_t qHash(const ClassicKey &key, size_t seed = 0)
    {
        return qHashBits(key.bytes.data(), key.bytes.size(), seed);
    }
};
