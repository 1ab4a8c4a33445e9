#include "workflows/ValueBlock.h"

#include "files/CardImage.h"
#include "link/Hex.h"

#include <QtEndian>

std::optional<ValueBlockContents> ValueBlock::decode(QByteArrayView block)
{
    if (block.size() != 16)
        return std::nullopt;
    const auto *bytes = reinterpret_cast<const uchar *>(block.data());
    const quint32 value = qFromLittleEndian<quint32>(bytes);
    const quint32 inverted = qFromLittleEndian<quint32>(bytes + 4);
    const quint32 copy = qFromLittleEndian<quint32>(bytes + 8);
    if (inverted != ~value || copy != value)
        return std::nullopt;
    const quint8 address = bytes[12];
    if (bytes[13] != quint8(~address) || bytes[14] != address || bytes[15] != quint8(~address))
        return std::nullopt;
    return ValueBlockContents{qint32(value), address};
}

std::optional<ValueBlockContents> ValueBlock::decode(const CardImage &image, int block)
{
    if (!isClassic(image.type()) || block < 0 || block >= image.blockCount() || CardImage::isTrailerBlock(block)
        || !image.isBlockKnown(block))
        return std::nullopt;
    return decode(image.block(block));
}

QByteArray ValueBlock::encode(const ValueBlockContents &contents)
{
    QByteArray block(16, '\0');
    auto *bytes = reinterpret_cast<uchar *>(block.data());
    const auto value = quint32(contents.value);
    qToLittleEndian(value, bytes);
    qToLittleEndian(~value, bytes + 4);
    qToLittleEndian(value, bytes + 8);
    bytes[12] = bytes[14] = contents.address;
    bytes[13] = bytes[15] = quint8(~contents.address);
    return block;
}

QString ValueBlock::text(const ValueBlockContents &contents)
{
    return QStringLiteral("Value %1, address %2").arg(contents.value).arg(QString::fromLatin1(Hex::pair(contents.address)));
}
