#pragma once

#include "VirtualCard.h"

// A MIFARE Classic 1K (16 sectors of 4 blocks) or 4K card (32 sectors of 4 blocks,
// then 8 of 16). Every block operation needs an authentication of the block's
// sector, and the access bits of the sector trailer decide what each key may do.
// A refused operation (access violation) ends the authentication, as on a real card.
class ClassicCard final : public VirtualCard
{
public:
    static constexpr int BlockSize = 16;

    // A new card: UID, BCC and manufacturer bytes in block 0, every key 5C x6,
    // access bytes FF 07 80 with user byte 69, data zero.
    ClassicCard(bool is4K, const QByteArray &uid);

    [[nodiscard]] CardKind kind() const override;
    [[nodiscard]] quint8 typeCode() const override;
    [[nodiscard]] QByteArray uid() const override;
    [[nodiscard]] int memorySize() const override;
    bool setUid(const QByteArray &uid) override;

    // Geometry.
    [[nodiscard]] int blockCount() const { return memorySize() / BlockSize; }
    [[nodiscard]] int sectorCount() const { return m_is4K ? 40 : 16; }
    [[nodiscard]] static int sectorOfBlock(int block);
    [[nodiscard]] static int firstBlockOfSector(int sector);
    [[nodiscard]] static int blocksInSector(int sector);
    [[nodiscard]] static int trailerOfSector(int sector);
    [[nodiscard]] static bool isTrailer(int block);
    // Access group 0..3 of a block (group 3 is the trailer).
    [[nodiscard]] static int groupOfBlock(int block);

    // Raw memory access for setting up and checking cards; no access rules.
    [[nodiscard]] QByteArray block(int block) const;
    void setBlock(int block, const QByteArray &data);
    [[nodiscard]] QByteArray keyA(int sector) const;
    [[nodiscard]] QByteArray keyB(int sector) const;
    // Sector authenticated in the current session, or -1.
    [[nodiscard]] int authenticatedSector() const { return m_authSector; }
    [[nodiscard]] KeyType authenticatedKey() const { return m_authKey; }

    [[nodiscard]] CardOutcome authenticate(int block, KeyType key, const QByteArray &keyBytes) override;
    [[nodiscard]] CardOutcome read(int block) override;
    [[nodiscard]] CardOutcome writeBlock(int block, const QByteArray &data) override;
    [[nodiscard]] CardOutcome readValue(int block) override;
    [[nodiscard]] CardOutcome writeValue(int block, qint32 value) override;
    [[nodiscard]] CardOutcome increment(int block, qint32 amount) override;
    [[nodiscard]] CardOutcome decrement(int block, qint32 amount) override;

    // Value block layout: value, inverted value, value (least significant byte
    // first), then address, inverted address, address, inverted address.
    [[nodiscard]] static QByteArray valueBlock(qint32 value, quint8 address);
    [[nodiscard]] static std::optional<qint32> parseValueBlock(const QByteArray &block);

protected:
    void endSession() override;

private:
    // Checks shared by every block command: block on the card, its sector
    // authenticated, the sector's trailer consistent.
    [[nodiscard]] bool sessionAllows(int block) const;
    // The block as the authenticated key may read it (hidden trailer parts as
    // zeros), or nothing when that key may not read it.
    [[nodiscard]] std::optional<QByteArray> readView(int block) const;
    // Whether the authenticated key holds a data-block right; never after a readable key B.
    [[nodiscard]] bool dataAccessAllowed(int block, quint8 keys) const;
    [[nodiscard]] QByteArray trailerOf(int block) const;
    // Ends the session and reports the refusal.
    [[nodiscard]] CardOutcome violation();
    [[nodiscard]] CardOutcome changeValue(int block, qint64 delta, bool isIncrement);

    bool m_is4K = false;
    int m_authSector = -1;
    KeyType m_authKey = KeyType::A;
};
