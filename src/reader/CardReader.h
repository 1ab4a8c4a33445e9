#pragma once

#include "card/CardType.h"
#include "reader/KeySource.h"
#include "reader/ReaderResult.h"

#include <QByteArray>

#include <functional>

// What a reader offers beyond select, halt, authenticate, read and write.
struct ReaderCapabilities
{
    bool valueOperations = false; // read, write, increment and decrement value blocks
    bool seek = false;            // wait for a tag and report it later
    bool defaultKey = false;      // KeySource::readerDefault
    bool keyStore = false;        // KeySource::storeSlot
    int keyStoreSlots = 0;
    bool seekNewCard = false;     // wait until the card in the field is taken away and one comes
};

// A reader that talks to one card in its field. The commands, grids and runs use
// only this; the serial module is one implementation. Every operation blocks until
// it is answered. It logs what it exchanged and sets the status text through the
// command log it was made with, and returns the outcome with the same exchange as
// data. Failures of the connection itself (a port that cannot be opened, a vanished
// device) throw; a card that does not answer is an outcome, not an exception.
class CardReader
{
public:
    enum class ValueOperation { Write, Increment, Decrement };

    virtual ~CardReader() = default;

    [[nodiscard]] virtual ReaderCapabilities capabilities() const = 0;

    // Selects the tag in the field; card tells how long its serial is. Data: the serial
    // as upper-case hex text.
    [[nodiscard]] virtual ReaderResult select(CardType card) = 0;
    // Like select, but a reader that can waits for a tag: the outcome is Waiting and
    // the tag is reported through the callback of setTagArrived once it comes.
    [[nodiscard]] virtual ReaderResult seek(CardType card) = 0;
    // True while a seek waits for its tag.
    [[nodiscard]] virtual bool seekWaiting() const = 0;
    // Called once a waiting seek has found its tag (or given up).
    virtual void setTagArrived(std::function<void()> callback) = 0;
    // Like seek, but a tag already in the field counts only once it has been taken away
    // (capabilities().seekNewCard): Waiting, with seekWaiting() true, until the field
    // was empty and a tag came; a halt or any command ends it. Others refuse it and
    // send nothing.
    [[nodiscard]] virtual ReaderResult seekNewCard(CardType /*card*/)
    {
        ReaderResult refused;
        refused.outcome = ReaderOutcome::Unsupported;
        return refused;
    }
    [[nodiscard]] virtual ReaderResult halt() = 0;

    // Classic: authenticates the sector of block with the key.
    [[nodiscard]] virtual ReaderResult authenticate(int block, const KeySource &key) = 0;
    // Classic: a block's 16 bytes; Mifare UL: four pages from page (wrapping after 15).
    [[nodiscard]] virtual ReaderResult read(int block, CardType card) = 0;
    // Classic: writes 16 bytes; the result is WrittenUnverified when the read-back failed.
    [[nodiscard]] virtual ReaderResult writeBlock(int block, const QByteArray &sixteenBytes) = 0;
    // Mifare UL: writes 4 bytes to a page.
    [[nodiscard]] virtual ReaderResult writePage(int page, const QByteArray &fourBytes) = 0;

    // Value blocks (capabilities().valueOperations). Values travel as four bytes,
    // least significant first.
    [[nodiscard]] virtual ReaderResult readValue(int block) = 0;
    [[nodiscard]] virtual ReaderResult changeValue(ValueOperation operation, int block, const QByteArray &fourBytes) = 0;
};
