#pragma once

#include "view/CardType.h"
#include "workflows/ClassicKey.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class CardImage;

// Which key types a search tries.
enum class KeyTypeChoice { A, B, Both };

// What to search: sectors firstSector..lastSector of the card, the key types and the
// keys in the order to try them.
struct KeySearchRequest {
    CardType card = CardType::Mifare1K;
    int firstSector = 0;
    int lastSector = -1; // -1: the card's last sector
    KeyTypeChoice types = KeyTypeChoice::Both;
    QList<ClassicKey> keys;
};

// One authentication attempt: the reader halts, selects and authenticates block (the
// sector's first block) with the key as the given type. Authentication only, no reads.
struct KeyAttempt {
    int sector = 0;
    int block = 0;
    KeyType type = KeyType::A;
    ClassicKey key;
};

// Refused means only "not this key"; Stop ends the search (no card, the link failed).
enum class AttemptResult { Authenticated, Refused, Stop };

// Where a search stands, given before each attempt.
struct KeySearchProgress {
    int sector = 0;       // the sector being searched
    int sectorNumber = 0; // its position, 1..sectorTotal: "sector n of N"
    int sectorTotal = 0;
    int keysTried = 0;    // attempts made so far
    int keysFound = 0;    // (sector, key type) pairs found so far
};

// What a search learned about one sector. A key type is "done" when it was found or
// every key was tried; a type not done was not asked for or not reached.
struct SectorKeys {
    int sector = 0;
    std::optional<ClassicKey> keyA;
    std::optional<ClassicKey> keyB;
    bool doneA = false;
    bool doneB = false;

    [[nodiscard]] const std::optional<ClassicKey> &key(KeyType type) const { return type == KeyType::A ? keyA : keyB; }
    // The key's hex digits, "not found" when every key failed, "-" when not searched.
    [[nodiscard]] QString text(KeyType type) const;
};

struct KeySearchResult {
    CardType card = CardType::Mifare1K;
    QList<SectorKeys> sectors; // the requested sectors, in order
    int attempts = 0;
    bool cancelled = false; // the progress callback asked to stop
    bool stopped = false;   // an attempt returned Stop

    [[nodiscard]] bool complete() const { return !cancelled && !stopped; }
    [[nodiscard]] int foundCount() const;
    // The entry of a sector; null when it was not requested.
    [[nodiscard]] const SectorKeys *sector(int sector) const;
    // "Sector  Key A         Key B" and one line per sector, for the command line and log.
    [[nodiscard]] QString tableText() const;
};

// Tries keys on sectors through an attempt function, one (sector, key type) after the
// other, and stops trying a pair once a key opened it. The reader wiring supplies the
// attempt; progress is reported before each attempt and can cancel the search there.
class KeySearch
{
public:
    using Attempt = std::function<AttemptResult(const KeyAttempt &)>;
    // False to cancel before the next attempt.
    using Progress = std::function<bool(const KeySearchProgress &)>;

    // Why a request cannot run (no keys, no sectors, a card without keys); empty when it can.
    [[nodiscard]] static QString problem(const KeySearchRequest &request);
    // The sectors a request covers, lastSector -1 resolved; empty when it has a problem.
    [[nodiscard]] static QList<int> sectorsOf(const KeySearchRequest &request);

    // A request with a problem gives a result without sectors and makes no attempt.
    [[nodiscard]] static KeySearchResult run(const KeySearchRequest &request, const Attempt &attempt,
                                             const Progress &progress = {});

    // Writes the found keys into the trailers of image (key A bytes 0..5, key B bytes
    // 10..15); returns how many keys it wrote.
    static int fillTrailerKeys(CardImage &image, const KeySearchResult &result);
};
