#pragma once

#include "VirtualCard.h"

#include <QByteArray>

#include <memory>

// Status words of the PC/SC storage-card commands, as contactless readers answer them.
namespace PcscStatus {
constexpr quint16 Ok = 0x9000;
constexpr quint16 Failed = 0x6300;           // the card refused: wrong key, access violation, bad block
constexpr quint16 WrongLength = 0x6700;      // Lc or Le does not suit the command
constexpr quint16 SecurityStatus = 0x6982;   // the block's sector is not authenticated
constexpr quint16 NotSupported = 0x6A81;     // function (P1 or operation) not supported
constexpr quint16 InsNotSupported = 0x6D00;  // instruction not supported by the reader
constexpr quint16 ClassNotSupported = 0x6E00;
} // namespace PcscStatus

// A contactless PC/SC reader with a MIFARE card in its field: answers the storage-card
// command APDUs (class FF) with the same card models the serial module uses. Keys are
// loaded into two volatile slots; an authentication holds for one sector at a time,
// as on the card itself. Value commands (FF D7, FF B1) exist only when enabled, as on
// readers that offer them. Not thread-safe: the owner locks.
class VirtualPcscReader
{
public:
    static constexpr int KeySlots = 2;

    // A null card puts a new Mifare 1K card with the default UID in the field.
    explicit VirtualPcscReader(std::unique_ptr<VirtualCard> card = {});

    [[nodiscard]] VirtualCard &card() { return *m_card; }
    [[nodiscard]] const VirtualCard &card() const { return *m_card; }
    // Replaces the card; it starts unpowered. A null card is ignored.
    void setCard(std::unique_ptr<VirtualCard> card);

    void setValueCommands(bool on) { m_valueCommands = on; }
    [[nodiscard]] bool valueCommands() const { return m_valueCommands; }

    // The driver's controls: the field on (card activated), off, or cycled.
    void powerOn();
    void powerOff();
    void reset();

    // Answer to reset of a contactless storage card: 3B 8F 80 01 80 4F 0C, the RID
    // A0 00 00 03 06, standard 03 (ISO 14443-3 type A), the two card-name bytes, four
    // zero bytes, and the check byte (XOR of every byte after 3B).
    [[nodiscard]] static QByteArray atr(CardKind kind);
    [[nodiscard]] QByteArray atr() const { return atr(m_card->kind()); }

    // The response APDU (data, then SW1 SW2) to a command APDU.
    [[nodiscard]] QByteArray answer(const QByteArray &apdu);

private:
    [[nodiscard]] QByteArray loadKey(quint8 p1, quint8 p2, const QByteArray &data);
    [[nodiscard]] QByteArray authenticate(const QByteArray &data);
    [[nodiscard]] QByteArray readBinary(int block, int length);
    [[nodiscard]] QByteArray updateBinary(int block, const QByteArray &data);
    [[nodiscard]] QByteArray valueOperation(int block, const QByteArray &data);
    [[nodiscard]] QByteArray readValue(int block, int length);
    // 69 82 when the block's sector was not authenticated before the command, else 63 00.
    [[nodiscard]] quint16 refusal(bool wasAuthenticated) const;
    [[nodiscard]] bool sectorAuthenticated(int block) const;

    std::unique_ptr<VirtualCard> m_card;
    QByteArray m_keys[KeySlots];
    bool m_valueCommands = false;
};
