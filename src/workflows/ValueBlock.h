#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class CardImage;

// A Classic data block in value format: the value (32 bits, least significant byte
// first) in bytes 0..3, inverted in 4..7 and again in 8..11; an address byte in 12,
// inverted in 13, again in 14 and inverted in 15.
struct ValueBlockContents {
    qint32 value = 0;
    quint8 address = 0;

    friend bool operator==(const ValueBlockContents &, const ValueBlockContents &) = default;
};

class ValueBlock
{
public:
    // None unless the 16 bytes hold the full pattern, every copy agreeing.
    [[nodiscard]] static std::optional<ValueBlockContents> decode(QByteArrayView block);
    // A data block of a Classic image; none for trailers, Ultralight pages and blocks
    // with an unknown byte.
    [[nodiscard]] static std::optional<ValueBlockContents> decode(const CardImage &image, int block);
    [[nodiscard]] static QByteArray encode(const ValueBlockContents &contents);
    // "Value -5, address 03" for a row's description or tooltip.
    [[nodiscard]] static QString text(const ValueBlockContents &contents);
};
