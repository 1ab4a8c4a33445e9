#pragma once

#include "pcsc/PcscApdu.h"
#include "pcsc/PcscCardKind.h"
#include "pcsc/PcscContext.h"
#include "pcsc/PcscResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The card commands through one PC/SC reader, with the storage-card APDUs: select =
// connect and read the UID, halt = end the card session, authenticate = load the key
// into the reader's volatile slot and authenticate the block's sector, read and write
// = read and update binary, value commands where the reader offers them. Each command
// returns its exchanges for the log and either its data or why it failed; a card
// removed, a reader unplugged or a stopped daemon ends the card session, so nothing
// more is sent until the next select. Runs on the calling thread; the calls block for
// as long as the reader takes (a few milliseconds per exchange).
class PcscSession
{
public:
    // Whether the reader offers the value-block commands (FF D7, FF B1).
    enum class ValueSupport {
        Unknown, // not yet tried: the first value command finds out
        Offered,
        Absent, // value commands are refused without sending anything
    };

    explicit PcscSession(const QString &reader);
    ~PcscSession();
    PcscSession(const PcscSession &) = delete;
    PcscSession &operator=(const PcscSession &) = delete;

    // The readers pcscd knows. Fails with NoService when pcscd is not running; an
    // empty list is no failure.
    [[nodiscard]] static PcscResult listReaders(QStringList *readers);

    [[nodiscard]] QString readerName() const { return m_reader; }
    // A card is selected: the session may send card commands.
    [[nodiscard]] bool isSelected() const { return m_context.isConnected(); }
    // The selected card (or the card refused by the last select).
    [[nodiscard]] PcscCardKind cardKind() const { return m_kind; }
    [[nodiscard]] QString cardName() const { return m_cardName; }
    [[nodiscard]] QByteArray atr() const { return m_atr; }
    [[nodiscard]] QByteArray uid() const { return m_uid; }

    [[nodiscard]] ValueSupport valueSupport() const { return m_valueSupport; }
    // Known from the reader's name (ACS readers offer them), or from a setting.
    void setValueSupport(ValueSupport support) { m_valueSupport = support; }
    // Why value commands are not available with this reader (for a disabled control).
    [[nodiscard]] QString valueUnsupportedReason() const;

    // Connects to the card (a selected card is reset first, which ends its
    // authentication), takes its kind from the ATR and reads its UID (data). A card
    // that is not MIFARE Classic 1K/4K or Ultralight is named and refused (NotMifare).
    [[nodiscard]] PcscResult select();
    // Ends the card session (the card is reset: its authentication ends).
    [[nodiscard]] PcscResult halt();
    // Loads the 6-byte key into the reader's volatile slot and authenticates the
    // block's sector with it.
    [[nodiscard]] PcscResult authenticate(int block, PcscApdu::Key key, const QByteArray &keyBytes);
    // 16 bytes: a Classic block, or four Ultralight pages from the given one.
    [[nodiscard]] PcscResult read(int block);
    // 16 bytes to a Classic block, 4 to an Ultralight page.
    [[nodiscard]] PcscResult write(int block, const QByteArray &data);
    // Value commands: readValue's data is the value, least significant byte first.
    [[nodiscard]] PcscResult readValue(int block);
    [[nodiscard]] PcscResult writeValue(int block, qint32 value);
    [[nodiscard]] PcscResult increment(int block, qint32 amount);
    [[nodiscard]] PcscResult decrement(int block, qint32 amount);
    // Restores the source block's value and transfers it into the target block.
    [[nodiscard]] PcscResult restore(int source, int target);

private:
    [[nodiscard]] bool ensureContext(PcscResult &result);
    [[nodiscard]] bool ensureSelected(PcscResult &result);
    // Connects, or resets a connected card; a daemon restarted since the context was
    // made gets a new context.
    [[nodiscard]] long connectCard();
    // Sends one APDU and records the exchange; false (with the failure set) unless
    // the answer is 90 00.
    bool exchange(PcscResult &result, const QByteArray &apdu, PcscApdu::Command command, const QByteArray &label);
    // True when the card has left the reader (waiting a moment for the daemon to see it).
    [[nodiscard]] bool cardLeft();
    // Sets the failure of a PC/SC return code and ends the session where it is over.
    void fail(PcscResult &result, long code);
    [[nodiscard]] PcscResult valueCommand(const QByteArray &apdu, PcscApdu::Command command, const QByteArray &label);

    static constexpr int CardLeftWaitMs = 1500;

    QString m_reader;
    PcscContext m_context;
    PcscCardKind m_kind = PcscCardKind::Other;
    QString m_cardName;
    QByteArray m_atr;
    QByteArray m_uid;
    ValueSupport m_valueSupport = ValueSupport::Unknown;
};
