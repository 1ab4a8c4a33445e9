#pragma once

#include "CardKind.h"
#include "CardOutcome.h"
#include "KeyType.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// A contactless card in the module's field: its memory and its RF state. Commands
// are only sent to an active (selected) card; the module checks that first.
class VirtualCard
{
public:
    enum class State {
        Unpowered, // not in an RF field
        Idle,      // powered, not selected
        Active,    // selected, answers commands
        Halted,    // halted; only a select (wake-up) brings it back
    };

    virtual ~VirtualCard() = default;

    [[nodiscard]] virtual CardKind kind() const = 0;
    // The tag type byte of the module's tag report.
    [[nodiscard]] virtual quint8 typeCode() const = 0;
    // The UID as the card's memory holds it, first byte first.
    [[nodiscard]] virtual QByteArray uid() const = 0;
    [[nodiscard]] virtual int memorySize() const = 0;
    // Writes a new UID and its check bytes into the memory (a card of another
    // serial number); false when the length does not suit the card type.
    virtual bool setUid(const QByteArray &uid) = 0;

    // The raw memory, keys included (1024, 4096 or 64 bytes).
    [[nodiscard]] QByteArray image() const { return m_memory; }
    // Replaces the memory; refused unless the size fits. Ends any session.
    [[nodiscard]] bool setImage(const QByteArray &image);

    // RF life cycle. A power cycle, a select and a halt all end an authentication.
    void powerUp();
    void powerDown();
    // Wakes an idle or halted card and selects it; false when unpowered.
    bool select();
    // Halts an active card; false when it was not active.
    bool halt();
    [[nodiscard]] State state() const { return m_state; }
    [[nodiscard]] bool isActive() const { return m_state == State::Active; }

    // Card commands; the defaults refuse what a card type does not support.
    [[nodiscard]] virtual CardOutcome authenticate(int block, KeyType key, const QByteArray &keyBytes);
    // 16 bytes: a Classic block, or four Ultralight pages from the given one.
    [[nodiscard]] virtual CardOutcome read(int blockOrPage) = 0;
    // Success carries the block as read back after the write.
    [[nodiscard]] virtual CardOutcome writeBlock(int block, const QByteArray &data);
    // Success carries the page as it stands after the write.
    [[nodiscard]] virtual CardOutcome writePage(int page, const QByteArray &data);
    // Value commands: success carries the value, least significant byte first.
    [[nodiscard]] virtual CardOutcome readValue(int block);
    [[nodiscard]] virtual CardOutcome writeValue(int block, qint32 value);
    [[nodiscard]] virtual CardOutcome increment(int block, qint32 amount);
    [[nodiscard]] virtual CardOutcome decrement(int block, qint32 amount);

    // A new card of that kind; an empty uid takes the kind's default UID.
    // Returns null when the UID has the wrong length.
    [[nodiscard]] static std::unique_ptr<VirtualCard> create(CardKind kind, const QByteArray &uid = {});
    [[nodiscard]] static int uidLength(CardKind kind);
    [[nodiscard]] static QByteArray defaultUid(CardKind kind);
    [[nodiscard]] static QString kindName(CardKind kind); // "1k", "4k", "ul"
    [[nodiscard]] static std::optional<CardKind> parseKind(const QString &name);

protected:
    // Drops whatever the card remembers of the current session (authentication).
    virtual void endSession() {}

    QByteArray m_memory;

private:
    State m_state = State::Unpowered;
};
