#pragma once

#include "card/CardImage.h"
#include "commands/WritePlan.h"
#include "workflows/KeySearch.h"

#include <QString>
#include <QStringList>

class CardReader;
class CliKeys;
class CliProgress;

// The card runs of the command-line tool over any CardReader: the same steps as the
// windows' Read All and Write All (halt, select, authenticate each sector at its
// first block, then block by block), with every failure collected for the report.
namespace CardTransfer {

struct Outcome {
    QStringList failures; // "block 5: READ FAILED", ...; empty when all was done
    bool stopped = false; // no tag, or the module stopped answering: the run ended early
    [[nodiscard]] bool ok() const { return failures.isEmpty(); }
};

// Halt, then select; the failure text when the select failed.
[[nodiscard]] QString haltAndSelect(CardReader &reader, CardType type, QByteArray *serial = nullptr);

// Reads every block (Ultralight: every page) into image, which must be of the card's
// type. A sector whose authentication fails is left unknown and the run goes on with
// the next sector after selecting the card again. Trailers: key A reads back as
// zeros; when the sector was opened with key A bytes, they are put in its place.
[[nodiscard]] Outcome readCard(CardReader &reader, const CliKeys &keys, CardImage &image, CliProgress &progress);

// Sends a plan that has passed its pre-flight. Classic: authenticates each sector at
// its first block and stops at the first failure, as Write All does. Ultralight: a
// failed page is given up and the card selected again for the next. A write whose
// read-back failed reached the card but counts as a failure.
[[nodiscard]] Outcome writePlan(CardReader &reader, CardType type, const CliKeys &keys, const WritePlan &plan,
                                CliProgress &progress);

// One block (16 bytes) or four Ultralight pages, after halt, select and (Classic)
// authentication.
[[nodiscard]] Outcome readBlock(CardReader &reader, CardType type, const CliKeys &keys, int block, QByteArray *data);

// Searches keys as the request says, one halt, select and authentication per attempt.
[[nodiscard]] KeySearchResult findKeys(CardReader &reader, const KeySearchRequest &request, CliProgress &progress);

} // namespace CardTransfer
