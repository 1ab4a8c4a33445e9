#include "UltralightCard.h"

namespace {
// Lock byte 0: bit 0 freezes the OTP lock bit, bit 1 the lock bits of pages 4-9,
// bit 2 those of pages 10-15; bit 3 locks page 3 (OTP) and bits 4-7 pages 4-7.
// Lock byte 1: bits 0-7 lock pages 8-15.
constexpr quint8 OtpLockBit = 0x08;
} // namespace

UltralightCard::UltralightCard(const QByteArray &uid)
{
    m_memory = QByteArray(memorySize(), 0);
    m_memory[9] = char(0x48); // internal byte of page 2
    setUid(uid);
}

bool UltralightCard::setUid(const QByteArray &uid)
{
    if (uid.size() != 7)
        return false;
    const auto u = [&uid](int i) { return quint8(uid.at(i)); };
    // The first check byte includes the cascade tag 88 of a 7-byte UID.
    m_memory.replace(0, 3, uid.left(3));
    m_memory[3] = char(0x88 ^ u(0) ^ u(1) ^ u(2));
    m_memory.replace(4, 4, uid.mid(3, 4));
    m_memory[8] = char(u(3) ^ u(4) ^ u(5) ^ u(6));
    return true;
}

QByteArray UltralightCard::uid() const
{
    return m_memory.left(3) + m_memory.mid(4, 4);
}

QByteArray UltralightCard::page(int page) const
{
    return m_memory.mid(page * PageSize, PageSize);
}

void UltralightCard::setPage(int page, const QByteArray &data)
{
    if (page < 0 || page >= PageCount)
        return;
    m_memory.replace(page * PageSize, PageSize, data.left(PageSize).leftJustified(PageSize, char(0)));
}

bool UltralightCard::isPageLocked(int page) const
{
    const quint8 lock0 = quint8(m_memory.at(10));
    const quint8 lock1 = quint8(m_memory.at(11));
    if (page < 2 || page >= PageCount)
        return true;
    if (page == 2)
        return false; // only OR-writes into the lock bytes
    if (page < 8)
        return (lock0 >> page) & 1; // page 3 is bit 3 (OTP lock), pages 4-7 bits 4-7
    return (lock1 >> (page - 8)) & 1;
}

CardOutcome UltralightCard::read(int page)
{
    if (page < 0 || page >= PageCount)
        return CardOutcome::failure(ModuleStatus::Failed);
    QByteArray data;
    for (int i = 0; i < 4; ++i)
        data.append(this->page((page + i) % PageCount));
    return CardOutcome::success(data);
}

CardOutcome UltralightCard::writePage(int page, const QByteArray &data)
{
    if (data.size() != PageSize || isPageLocked(page))
        return CardOutcome::failure(ModuleStatus::Failed);
    if (page == 2) {
        writeLockBytes(quint8(data.at(2)), quint8(data.at(3)));
    } else if (page == 3) {
        QByteArray otp = this->page(3);
        for (int i = 0; i < PageSize; ++i)
            otp[i] = char(quint8(otp.at(i)) | quint8(data.at(i)));
        setPage(3, otp);
    } else {
        setPage(page, data);
    }
    return CardOutcome::success(this->page(page));
}

void UltralightCard::writeLockBytes(quint8 lock0, quint8 lock1)
{
    const quint8 old0 = quint8(m_memory.at(10));
    const quint8 old1 = quint8(m_memory.at(11));
    // Set block-lock bits freeze their lock bits: writes to those are ignored.
    quint8 frozen0 = 0;
    quint8 frozen1 = 0;
    if (old0 & 0x01)
        frozen0 |= OtpLockBit;
    if (old0 & 0x02) {
        frozen0 |= 0xF0; // pages 4-7
        frozen1 |= 0x03; // pages 8-9
    }
    if (old0 & 0x04)
        frozen1 |= 0xFC; // pages 10-15
    m_memory[10] = char(old0 | (lock0 & ~frozen0));
    m_memory[11] = char(old1 | (lock1 & ~frozen1));
}
