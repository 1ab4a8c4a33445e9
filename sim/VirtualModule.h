#pragma once

#include "KeyType.h"
#include "SimAnswer.h"
#include "SimFault.h"
#include "VirtualCard.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <memory>
#include <optional>

class ClassicCard;
class UltralightCard;

// The reader module without any I/O: a request frame goes in, the answer frames
// come out with the time the module works before answering. One card sits on the
// reader; the tag can be taken away and put back.
//
// Status answers (FF 00 02 cmd status CS):
//   "L" authentication, key write, baud change, halt and seek-started succeeded
//   "N" no active tag: none in the field, RF off, not selected or halted;
//       also a key write with a bad slot or key type
//   "F" the card refused: wrong key (a failed authentication answers "F"),
//       access violation, locked page, block or page out of range, a trailer with
//       inconsistent access bits, an unknown command or a request of the wrong length
//   "I" read value, increment or decrement of a block not in value format
//   "U", "X" only when injected (or "X" when a written block cannot be read back)
// The RF field answers its new state (01 on, 00 off) and the pin commands the pin
// value as the status byte.
class VirtualModule
{
public:
    static constexpr qint32 DefaultSpeed = 19200;
    static constexpr int DefaultCardTimeMs = 5;
    static constexpr int ModuleTimeMs = 1;
    static constexpr int ResetTimeMs = 50;
    static constexpr int BaudAnswerDelayMs = 500;
    // Longer than the program waits for an answer.
    static constexpr int DefaultLateDelayMs = 2000;
    static constexpr int KeySlots = 16;

    // A null card puts a new Mifare 1K card with the default UID on the reader.
    explicit VirtualModule(std::unique_ptr<VirtualCard> card = {});

public: // serving
    // Handles one request frame whose checksum is right. Returns the answers
    // (none when a fault swallowed it; the answer's bytes are then empty).
    [[nodiscard]] QList<SimAnswer> handleFrame(const QByteArray &frame);
    // Answers the module sends unasked: the tag report of a seek when a tag arrives.
    [[nodiscard]] QList<SimAnswer> takeUnsolicited();

public: // the field
    void setTagPresent(bool present);
    [[nodiscard]] bool tagPresent() const { return m_tagPresent; }
    // Swaps the card on the reader (null is ignored); the new card arrives powered
    // when the tag is present, and completes a waiting seek.
    void setCard(std::unique_ptr<VirtualCard> card);
    [[nodiscard]] VirtualCard &card() { return *m_card; }
    [[nodiscard]] const VirtualCard &card() const { return *m_card; }
    // The card as its type, or null when it is of the other type.
    [[nodiscard]] ClassicCard *classicCard();
    [[nodiscard]] UltralightCard *ultralightCard();

public: // module state
    [[nodiscard]] qint32 speed() const { return m_speed; }
    // Only the speeds of the set-baud command are accepted.
    bool setSpeed(qint32 speed);
    [[nodiscard]] static std::optional<qint32> speedOfCode(int code);
    [[nodiscard]] static bool isSupportedSpeed(qint32 speed);

    [[nodiscard]] int cardTimeMs() const { return m_cardTimeMs; }
    void setCardTimeMs(int ms) { m_cardTimeMs = qMax(0, ms); }
    // A late reset answers after lateDelayMs(), once the program has given up.
    [[nodiscard]] bool resetLate() const { return m_resetLate; }
    void setResetLate(bool late) { m_resetLate = late; }
    [[nodiscard]] int lateDelayMs() const { return m_lateDelayMs; }
    void setLateDelayMs(int ms) { m_lateDelayMs = qMax(0, ms); }

    [[nodiscard]] quint8 inputPins() const { return m_inputPins; }
    void setInputPins(quint8 pins) { m_inputPins = pins & 3; }
    [[nodiscard]] quint8 outputPins() const { return m_outputPins; }
    [[nodiscard]] bool rfFieldOn() const { return m_rfOn; }
    [[nodiscard]] bool asleep() const { return m_asleep; }
    [[nodiscard]] bool seekPending() const { return m_seekPending; }

    // The 16-slot key store used by key codes 0x10+n (key A) and 0x20+n (key B).
    [[nodiscard]] QByteArray storedKey(int slot, KeyType key) const;
    void setStoredKey(int slot, KeyType key, const QByteArray &bytes);
    // Six bytes 5C: the key of key code 0xFF, and every stored key at start.
    [[nodiscard]] static QByteArray defaultKey();
    [[nodiscard]] static QByteArray versionText();

public: // faults
    // Answer faults apply to the next answers in order; the write-status faults
    // wait for the next block or page write the card carries out.
    void injectFault(SimFault fault, int count = 1);
    void clearFaults();
    [[nodiscard]] int pendingFaultCount() const { return int(m_answerFaults.size() + m_writeFaults.size()); }

private:
    [[nodiscard]] SimAnswer finish(const QByteArray &frame, int delayMs, const QString &note);
    [[nodiscard]] SimAnswer status(quint8 command, char statusByte, int delayMs);
    [[nodiscard]] SimAnswer fromOutcome(quint8 command, quint8 number, const CardOutcome &outcome);
    [[nodiscard]] bool cardReachable() const;
    [[nodiscard]] bool cardActive() const;
    void updateCardPower();
    void completeSeek();
    [[nodiscard]] SimAnswer tagReport(quint8 command);
    [[nodiscard]] std::optional<SimFault> takeWriteFault();

    [[nodiscard]] SimAnswer authenticate(const QByteArray &data);
    [[nodiscard]] SimAnswer write(quint8 command, const QByteArray &data);
    [[nodiscard]] SimAnswer valueCommand(quint8 command, const QByteArray &data);
    [[nodiscard]] SimAnswer writeKey(const QByteArray &data);

    std::unique_ptr<VirtualCard> m_card;
    bool m_tagPresent = true;
    bool m_rfOn = true;
    bool m_asleep = false;
    bool m_seekPending = false;
    qint32 m_speed = DefaultSpeed;
    int m_cardTimeMs = DefaultCardTimeMs;
    bool m_resetLate = false;
    int m_lateDelayMs = DefaultLateDelayMs;
    quint8 m_inputPins = 0;
    quint8 m_outputPins = 0;
    std::array<QByteArray, KeySlots> m_keysA;
    std::array<QByteArray, KeySlots> m_keysB;
    QList<SimFault> m_answerFaults;
    QList<SimFault> m_writeFaults;
    QList<SimAnswer> m_unsolicited;
};
