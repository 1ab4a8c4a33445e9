#pragma once

#include "VirtualCard.h"

// A MIFARE Ultralight card: 16 pages of 4 bytes, no authentication.
// Pages 0 and 1 and the first two bytes of page 2 hold the UID and its check bytes
// and are read-only. Page 2 bytes 2 and 3 are the lock bytes and page 3 is the OTP
// page: writes to them OR into what is there, so bits only ever go from 0 to 1.
class UltralightCard final : public VirtualCard
{
public:
    static constexpr int PageCount = 16;
    static constexpr int PageSize = 4;

    explicit UltralightCard(const QByteArray &uid);

    [[nodiscard]] CardKind kind() const override { return CardKind::Ultralight; }
    [[nodiscard]] quint8 typeCode() const override { return 0x01; }
    [[nodiscard]] QByteArray uid() const override;
    [[nodiscard]] int memorySize() const override { return PageCount * PageSize; }
    bool setUid(const QByteArray &uid) override;

    // Raw memory access for setting up and checking cards; no lock rules.
    [[nodiscard]] QByteArray page(int page) const;
    void setPage(int page, const QByteArray &data);
    // True when a write to the page would be refused (pages 0, 1 and locked pages).
    [[nodiscard]] bool isPageLocked(int page) const;

    [[nodiscard]] CardOutcome read(int page) override;
    [[nodiscard]] CardOutcome writePage(int page, const QByteArray &data) override;

private:
    void writeLockBytes(quint8 lock0, quint8 lock1);
};
