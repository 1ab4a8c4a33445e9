#include "VirtualPcscReader.h"

#include "ClassicCard.h"
#include "UltralightCard.h"

#include <algorithm>

namespace {
constexpr quint8 ClassStorage = 0xFF;
constexpr quint8 InsGetData = 0xCA;
constexpr quint8 InsLoadKey = 0x82;
constexpr quint8 InsAuthenticate = 0x86;
constexpr quint8 InsReadBinary = 0xB0;
constexpr quint8 InsUpdateBinary = 0xD6;
constexpr quint8 InsValue = 0xD7;
constexpr quint8 InsReadValue = 0xB1;

QByteArray sw(quint16 word, const QByteArray &data = {})
{
    QByteArray answer = data;
    answer.append(char(word >> 8));
    answer.append(char(word & 0xFF));
    return answer;
}

// Values travel most significant byte first in these commands; the card model keeps
// them least significant first.
qint32 valueFromBigEndian(const QByteArray &bytes)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | quint8(bytes.at(i));
    return qint32(v);
}

QByteArray reversed(const QByteArray &bytes)
{
    QByteArray out = bytes;
    std::reverse(out.begin(), out.end());
    return out;
}
} // namespace

VirtualPcscReader::VirtualPcscReader(std::unique_ptr<VirtualCard> card)
    : m_card(card ? std::move(card) : VirtualCard::create(CardKind::Classic1K))
{
}

void VirtualPcscReader::setCard(std::unique_ptr<VirtualCard> card)
{
    if (card)
        m_card = std::move(card);
}

void VirtualPcscReader::powerOn()
{
    m_card->powerUp();
    m_card->select();
}

void VirtualPcscReader::powerOff()
{
    m_card->powerDown();
}

void VirtualPcscReader::reset()
{
    powerOff();
    powerOn();
}

QByteArray VirtualPcscReader::atr(CardKind kind)
{
    const quint8 name = kind == CardKind::Classic1K ? 0x01 : kind == CardKind::Classic4K ? 0x02 : 0x03;
    QByteArray atr = QByteArray::fromHex("3B8F8001804F0CA00000030603000000000000");
    atr[14] = char(name);
    quint8 check = 0;
    for (qsizetype i = 1; i < atr.size(); ++i)
        check ^= quint8(atr.at(i));
    atr.append(char(check));
    return atr;
}

QByteArray VirtualPcscReader::answer(const QByteArray &apdu)
{
    if (apdu.size() < 4)
        return sw(PcscStatus::WrongLength);
    if (quint8(apdu.at(0)) != ClassStorage)
        return sw(PcscStatus::ClassNotSupported);
    const quint8 ins = quint8(apdu.at(1));
    const quint8 p1 = quint8(apdu.at(2));
    const quint8 p2 = quint8(apdu.at(3));
    const QByteArray body = apdu.mid(4);
    // Short APDU cases: header only; header + Le; header + Lc + data [+ Le].
    QByteArray data;
    int le = -1;
    if (body.size() == 1) {
        le = quint8(body.at(0));
    } else if (body.size() > 1) {
        const int lc = quint8(body.at(0));
        if (body.size() != 1 + lc && body.size() != 2 + lc)
            return sw(PcscStatus::WrongLength);
        data = body.mid(1, lc);
        if (body.size() == 2 + lc)
            le = quint8(body.back());
    }
    const int block = (p1 << 8) | p2;

    switch (ins) {
    case InsGetData:
        if (p1 != 0x00)
            return sw(PcscStatus::NotSupported);
        if (!m_card->isActive())
            return sw(PcscStatus::Failed);
        return sw(PcscStatus::Ok, le > 0 ? m_card->uid().left(le) : m_card->uid());
    case InsLoadKey:
        return loadKey(p1, p2, data);
    case InsAuthenticate:
        return authenticate(data);
    case InsReadBinary:
        return readBinary(block, le);
    case InsUpdateBinary:
        return updateBinary(block, data);
    case InsValue:
        if (!m_valueCommands)
            return sw(PcscStatus::InsNotSupported);
        return valueOperation(block, data);
    case InsReadValue:
        if (!m_valueCommands)
            return sw(PcscStatus::InsNotSupported);
        return readValue(block, le);
    default:
        return sw(PcscStatus::InsNotSupported);
    }
}

QByteArray VirtualPcscReader::loadKey(quint8 p1, quint8 p2, const QByteArray &data)
{
    // Only the reader's volatile memory holds keys; there is no key store to load into.
    if (p1 != 0x00)
        return sw(PcscStatus::NotSupported);
    if (data.size() != 6)
        return sw(PcscStatus::WrongLength);
    if (p2 >= KeySlots)
        return sw(PcscStatus::Failed);
    m_keys[p2] = data;
    return sw(PcscStatus::Ok);
}

QByteArray VirtualPcscReader::authenticate(const QByteArray &data)
{
    if (data.size() != 5)
        return sw(PcscStatus::WrongLength);
    if (quint8(data.at(0)) != 0x01)
        return sw(PcscStatus::NotSupported);
    const int block = (quint8(data.at(1)) << 8) | quint8(data.at(2));
    const quint8 keyType = quint8(data.at(3));
    const quint8 slot = quint8(data.at(4));
    if ((keyType != 0x60 && keyType != 0x61) || slot >= KeySlots || m_keys[slot].isEmpty() || !m_card->isActive())
        return sw(PcscStatus::Failed);
    const CardOutcome outcome = m_card->authenticate(block, keyType == 0x60 ? KeyType::A : KeyType::B, m_keys[slot]);
    return sw(outcome.ok() ? PcscStatus::Ok : PcscStatus::Failed);
}

bool VirtualPcscReader::sectorAuthenticated(int block) const
{
    const auto *classic = dynamic_cast<const ClassicCard *>(m_card.get());
    if (!classic)
        return true; // Ultralight: no authentication
    return block < classic->blockCount() && classic->authenticatedSector() == ClassicCard::sectorOfBlock(block);
}

quint16 VirtualPcscReader::refusal(bool wasAuthenticated) const
{
    return wasAuthenticated ? PcscStatus::Failed : PcscStatus::SecurityStatus;
}

QByteArray VirtualPcscReader::readBinary(int block, int length)
{
    // Le 00 (or none) asks for the whole block: 16 bytes, or four Ultralight pages.
    const int count = length <= 0 ? ClassicCard::BlockSize : length;
    if (count > ClassicCard::BlockSize)
        return sw(PcscStatus::WrongLength);
    if (!m_card->isActive())
        return sw(PcscStatus::Failed);
    const bool authenticated = sectorAuthenticated(block);
    const CardOutcome outcome = m_card->read(block);
    if (!outcome.ok())
        return sw(refusal(authenticated));
    return sw(PcscStatus::Ok, outcome.data.left(count));
}

QByteArray VirtualPcscReader::updateBinary(int block, const QByteArray &data)
{
    const bool ultralight = m_card->kind() == CardKind::Ultralight;
    if (data.size() != (ultralight ? UltralightCard::PageSize : ClassicCard::BlockSize))
        return sw(PcscStatus::WrongLength);
    if (!m_card->isActive())
        return sw(PcscStatus::Failed);
    const bool authenticated = sectorAuthenticated(block);
    const CardOutcome outcome = ultralight ? m_card->writePage(block, data) : m_card->writeBlock(block, data);
    // A module's read-back complaint is no concern of this command: the block was written.
    if (!outcome.ok() && outcome.status != ModuleStatus::NoReadBack)
        return sw(refusal(authenticated));
    return sw(PcscStatus::Ok);
}

QByteArray VirtualPcscReader::valueOperation(int block, const QByteArray &data)
{
    // 00 store, 01 increment, 02 decrement (each with a 4-byte value, most significant
    // first), 03 restore into the target block given in the next byte.
    if (data.isEmpty())
        return sw(PcscStatus::WrongLength);
    const quint8 op = quint8(data.at(0));
    if (op > 0x03)
        return sw(PcscStatus::NotSupported);
    if (data.size() != (op == 0x03 ? 2 : 5))
        return sw(PcscStatus::WrongLength);
    if (!m_card->isActive())
        return sw(PcscStatus::Failed);
    const bool authenticated = sectorAuthenticated(block);
    CardOutcome outcome;
    switch (op) {
    case 0x00: outcome = m_card->writeValue(block, valueFromBigEndian(data.mid(1))); break;
    case 0x01: outcome = m_card->increment(block, valueFromBigEndian(data.mid(1))); break;
    case 0x02: outcome = m_card->decrement(block, valueFromBigEndian(data.mid(1))); break;
    default: {
        // Restore the source's value into the buffer, transfer it into the target.
        outcome = m_card->readValue(block);
        if (outcome.ok())
            outcome = m_card->writeValue(quint8(data.at(1)), valueFromBigEndian(reversed(outcome.data)));
        break;
    }
    }
    return sw(outcome.ok() ? PcscStatus::Ok : refusal(authenticated));
}

QByteArray VirtualPcscReader::readValue(int block, int length)
{
    if (length != 4)
        return sw(PcscStatus::WrongLength);
    if (!m_card->isActive())
        return sw(PcscStatus::Failed);
    const bool authenticated = sectorAuthenticated(block);
    const CardOutcome outcome = m_card->readValue(block);
    if (!outcome.ok())
        return sw(refusal(authenticated));
    return sw(PcscStatus::Ok, reversed(outcome.data));
}
