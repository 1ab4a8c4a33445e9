#include "ClassicCard.h"

#include "ClassicAccess.h"

#include <limits>

namespace {
const QByteArray TransportKey(6, char(0x5C));

QByteArray valueBytes(qint32 value)
{
    const auto v = quint32(value);
    QByteArray bytes(4, 0);
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((v >> (8 * i)) & 0xFF);
    return bytes;
}
} // namespace

ClassicCard::ClassicCard(bool is4K, const QByteArray &uid)
    : m_is4K(is4K)
{
    m_memory = QByteArray(memorySize(), 0);
    // SAK and ATQA of the card size, then fixed manufacturer bytes.
    QByteArray block0(5, 0);
    block0.append(is4K ? QByteArray::fromHex("180200") : QByteArray::fromHex("080400"));
    block0.append(QByteArray::fromHex("6263646566676869"));
    setBlock(0, block0);
    setUid(uid);

    QByteArray trailer = TransportKey;
    trailer.append(ClassicAccess::encode(0, 0, 0, 1));
    trailer.append(char(0x69));
    trailer.append(TransportKey);
    for (int s = 0; s < sectorCount(); ++s)
        setBlock(trailerOfSector(s), trailer);
}

CardKind ClassicCard::kind() const
{
    return m_is4K ? CardKind::Classic4K : CardKind::Classic1K;
}

quint8 ClassicCard::typeCode() const
{
    return m_is4K ? 0x03 : 0x02;
}

QByteArray ClassicCard::uid() const
{
    return m_memory.left(4);
}

int ClassicCard::memorySize() const
{
    return m_is4K ? 4096 : 1024;
}

bool ClassicCard::setUid(const QByteArray &uid)
{
    if (uid.size() != 4)
        return false;
    quint8 bcc = 0;
    for (const char c : uid)
        bcc ^= quint8(c);
    m_memory.replace(0, 4, uid);
    m_memory[4] = char(bcc);
    return true;
}

int ClassicCard::sectorOfBlock(int block)
{
    return block < 128 ? block / 4 : 32 + (block - 128) / 16;
}

int ClassicCard::firstBlockOfSector(int sector)
{
    return sector < 32 ? sector * 4 : 128 + (sector - 32) * 16;
}

int ClassicCard::blocksInSector(int sector)
{
    return sector < 32 ? 4 : 16;
}

int ClassicCard::trailerOfSector(int sector)
{
    return firstBlockOfSector(sector) + blocksInSector(sector) - 1;
}

bool ClassicCard::isTrailer(int block)
{
    return block == trailerOfSector(sectorOfBlock(block));
}

int ClassicCard::groupOfBlock(int block)
{
    if (block < 128)
        return block % 4;
    // Large sectors: blocks 0-4, 5-9 and 10-14 share groups 0, 1, 2; block 15 is the trailer.
    return ((block - 128) % 16) / 5;
}

QByteArray ClassicCard::block(int block) const
{
    return m_memory.mid(block * BlockSize, BlockSize);
}

void ClassicCard::setBlock(int block, const QByteArray &data)
{
    if (block < 0 || block >= blockCount())
        return;
    const QByteArray padded = data.left(BlockSize).leftJustified(BlockSize, char(0));
    m_memory.replace(block * BlockSize, BlockSize, padded);
}

QByteArray ClassicCard::keyA(int sector) const
{
    return block(trailerOfSector(sector)).left(6);
}

QByteArray ClassicCard::keyB(int sector) const
{
    return block(trailerOfSector(sector)).mid(10, 6);
}

void ClassicCard::endSession()
{
    m_authSector = -1;
}

CardOutcome ClassicCard::violation()
{
    endSession();
    return CardOutcome::failure(ModuleStatus::Failed);
}

QByteArray ClassicCard::trailerOf(int block) const
{
    return this->block(trailerOfSector(sectorOfBlock(block)));
}

bool ClassicCard::sessionAllows(int block) const
{
    return block >= 0 && block < blockCount() && m_authSector == sectorOfBlock(block)
        && ClassicAccess::isConsistent(trailerOf(block));
}

bool ClassicCard::dataAccessAllowed(int block, quint8 keys) const
{
    const QByteArray trailer = trailerOf(block);
    if (m_authKey == KeyType::B && ClassicAccess::keyBReadable(ClassicAccess::accessIndex(trailer, 3)))
        return false;
    return ClassicAccess::admits(keys, m_authKey);
}

std::optional<QByteArray> ClassicCard::readView(int block) const
{
    const QByteArray trailer = trailerOf(block);
    if (isTrailer(block)) {
        const auto rights = ClassicAccess::trailerRights(ClassicAccess::accessIndex(trailer, 3));
        if (!ClassicAccess::admits(rights.accessRead, m_authKey))
            return std::nullopt;
        QByteArray view = trailer;
        view.replace(0, 6, QByteArray(6, 0)); // key A never reads back
        if (!ClassicAccess::admits(rights.keyBRead, m_authKey))
            view.replace(10, 6, QByteArray(6, 0));
        return view;
    }
    const auto rights = ClassicAccess::dataRights(ClassicAccess::accessIndex(trailer, groupOfBlock(block)));
    if (!dataAccessAllowed(block, rights.read))
        return std::nullopt;
    return this->block(block);
}

CardOutcome ClassicCard::authenticate(int block, KeyType key, const QByteArray &keyBytes)
{
    if (block < 0 || block >= blockCount())
        return violation();
    const QByteArray trailer = trailerOf(block);
    // A sector with inconsistent access bits is blocked for good.
    if (!ClassicAccess::isConsistent(trailer))
        return violation();
    const QByteArray stored = key == KeyType::A ? trailer.left(6) : trailer.mid(10, 6);
    if (keyBytes != stored)
        return violation();
    m_authSector = sectorOfBlock(block);
    m_authKey = key;
    return CardOutcome::success();
}

CardOutcome ClassicCard::read(int block)
{
    if (!sessionAllows(block))
        return violation();
    const auto view = readView(block);
    if (!view)
        return violation();
    return CardOutcome::success(*view);
}

CardOutcome ClassicCard::writeBlock(int block, const QByteArray &data)
{
    if (!sessionAllows(block) || block == 0 || data.size() != BlockSize)
        return violation();
    QByteArray current = this->block(block);
    if (isTrailer(block)) {
        // Each part of a trailer has its own write right; parts the key may not
        // write keep their bytes, and a write that may change nothing is refused.
        const auto rights = ClassicAccess::trailerRights(ClassicAccess::accessIndex(current, 3));
        const bool keyA = ClassicAccess::admits(rights.keyAWrite, m_authKey);
        const bool access = ClassicAccess::admits(rights.accessWrite, m_authKey);
        const bool keyB = ClassicAccess::admits(rights.keyBWrite, m_authKey);
        if (!keyA && !access && !keyB)
            return violation();
        if (keyA)
            current.replace(0, 6, data.mid(0, 6));
        if (access)
            current.replace(6, 4, data.mid(6, 4));
        if (keyB)
            current.replace(10, 6, data.mid(10, 6));
        setBlock(block, current);
    } else {
        const auto rights = ClassicAccess::dataRights(ClassicAccess::accessIndex(trailerOf(block), groupOfBlock(block)));
        if (!dataAccessAllowed(block, rights.write))
            return violation();
        setBlock(block, data);
    }
    // The read-back may be refused where the new trailer hides the block from the key.
    if (!ClassicAccess::isConsistent(trailerOf(block)))
        return CardOutcome::failure(ModuleStatus::NoReadBack);
    const auto view = readView(block);
    if (!view)
        return CardOutcome::failure(ModuleStatus::NoReadBack);
    return CardOutcome::success(*view);
}

CardOutcome ClassicCard::readValue(int block)
{
    const CardOutcome outcome = read(block);
    if (!outcome.ok())
        return outcome;
    const auto value = isTrailer(block) ? std::nullopt : parseValueBlock(outcome.data);
    if (!value)
        return CardOutcome::failure(ModuleStatus::NotValue);
    return CardOutcome::success(valueBytes(*value));
}

CardOutcome ClassicCard::writeValue(int block, qint32 value)
{
    if (!sessionAllows(block) || block == 0 || isTrailer(block))
        return violation();
    const auto rights = ClassicAccess::dataRights(ClassicAccess::accessIndex(trailerOf(block), groupOfBlock(block)));
    if (!dataAccessAllowed(block, rights.write))
        return violation();
    setBlock(block, valueBlock(value, quint8(block)));
    return CardOutcome::success(valueBytes(value));
}

CardOutcome ClassicCard::increment(int block, qint32 amount)
{
    return changeValue(block, amount, true);
}

CardOutcome ClassicCard::decrement(int block, qint32 amount)
{
    return changeValue(block, -qint64(amount), false);
}

CardOutcome ClassicCard::changeValue(int block, qint64 delta, bool isIncrement)
{
    if (!sessionAllows(block) || block == 0 || isTrailer(block))
        return violation();
    const auto rights = ClassicAccess::dataRights(ClassicAccess::accessIndex(trailerOf(block), groupOfBlock(block)));
    // The module transfers the result back into the block, which needs the
    // decrement/transfer right as well.
    const bool allowed = isIncrement ? dataAccessAllowed(block, rights.increment) && dataAccessAllowed(block, rights.decrement)
                                     : dataAccessAllowed(block, rights.decrement);
    if (!allowed)
        return violation();
    const QByteArray current = this->block(block);
    const auto value = parseValueBlock(current);
    if (!value)
        return CardOutcome::failure(ModuleStatus::NotValue);
    const qint64 result = qint64(*value) + delta;
    // An overflow is refused and leaves the block as it was rather than wrapping.
    if (result < std::numeric_limits<qint32>::min() || result > std::numeric_limits<qint32>::max())
        return CardOutcome::failure(ModuleStatus::Failed);
    setBlock(block, valueBlock(qint32(result), quint8(current.at(12))));
    return CardOutcome::success(valueBytes(qint32(result)));
}

QByteArray ClassicCard::valueBlock(qint32 value, quint8 address)
{
    const QByteArray v = valueBytes(value);
    QByteArray inverted = v;
    for (char &c : inverted)
        c = char(~quint8(c));
    QByteArray block = v + inverted + v;
    block.append(char(address));
    block.append(char(~address));
    block.append(char(address));
    block.append(char(~address));
    return block;
}

std::optional<qint32> ClassicCard::parseValueBlock(const QByteArray &block)
{
    if (block.size() != BlockSize)
        return std::nullopt;
    for (int i = 0; i < 4; ++i) {
        if (block.at(i) != block.at(8 + i) || quint8(block.at(i)) != quint8(~quint8(block.at(4 + i))))
            return std::nullopt;
    }
    const quint8 address = quint8(block.at(12));
    if (quint8(block.at(14)) != address || quint8(block.at(13)) != quint8(~address) || quint8(block.at(15)) != quint8(~address))
        return std::nullopt;
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value |= quint32(quint8(block.at(i))) << (8 * i);
    return qint32(value);
}
