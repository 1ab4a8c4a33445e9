#pragma once

#include "card/CardType.h"
#include "commands/WritePlan.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// What one look for a card found.
struct CardPresence {
    enum class Kind { Card, NoCard, Stop };
    Kind kind = Kind::NoCard;
    QByteArray uid; // the card's UID as hex digits, for Card
    bool arrived = false; // Card: it came after the reader had seen none (put on again)
};

// The reader, as the batch sees it. The wiring authenticates as it needs; write and
// read are called in plan order, for the card the last poll found.
struct BatchWriteReader {
    // Waits for a card and says what it found (CardArrivals); Stop once the user has
    // asked to stop. Called between cards only, never in the middle of one.
    std::function<CardPresence()> poll;
    // Writes one block or page; false with *problem set.
    std::function<bool(const WritePlan::Write &, QString *problem)> write;
    // Reads one block (16 bytes) or page (4 bytes) back; none with *problem set.
    std::function<std::optional<QByteArray>(int number, QString *problem)> read;
};

// One card's outcome, as the log and the dialog show it.
struct BatchEvent {
    enum class Kind { Done, Failed };
    Kind kind = Kind::Done;
    int cardNumber = 0; // of the cards done, for Done
    QByteArray uid;
    QString text;       // "card 2 done: 04A1B2C3" or "card 04A1B2C3 failed: ...; not counted"
};

struct BatchWriteSummary {
    int done = 0;
    QList<QByteArray> failedUids; // in order, a card once per failure
};

// Writes the same image onto card after card: the plan has passed its pre-flight
// (checks and confirmation) once; each card is written, read back and compared before
// it counts as done. A card stays ignored after its turn until the reader sees no card
// or another UID, so a card left on the reader is not written twice; one taken off
// and put on again is written again.
class BatchWrite
{
public:
    using Report = std::function<void(const BatchEvent &)>;

    BatchWrite(CardType type, QList<WritePlan::Write> writes) : m_type(type), m_writes(std::move(writes)) {}

    // Runs until poll says Stop.
    BatchWriteSummary run(const BatchWriteReader &reader, const Report &report) const;

    // Whether what was read back shows what was written. Parts a card never reads back
    // as written are skipped: key A of a trailer, key B where the new access bits hide
    // it, bytes 0..1 of Ultralight page 2; lock and OTP bits (pages 2 and 3) only
    // gain bits, so those need the written bits set.
    [[nodiscard]] static bool matches(CardType type, const WritePlan::Write &written, const QByteArray &readBack);

private:
    // Empty when the card took the whole plan; else why not.
    [[nodiscard]] QString writeCard(const BatchWriteReader &reader) const;

    CardType m_type;
    QList<WritePlan::Write> m_writes;
};
