#include "cli/CardTransfer.h"

#include "card/CardGeometry.h"
#include "cli/CliKeys.h"
#include "cli/CliProgress.h"
#include "reader/CardReader.h"

namespace CardTransfer {

namespace {

// Why an operation failed, as the module's answer was read.
QString why(const ReaderResult &result)
{
    if (result.outcome == ReaderOutcome::NoAnswer)
        return QStringLiteral("no answer from the module");
    if (result.outcome == ReaderOutcome::Unsupported)
        return QStringLiteral("not possible with this reader");
    if (result.outcome == ReaderOutcome::WrittenUnverified)
        return QStringLiteral("written, but reading it back failed");
    if (!result.exchange.meaning.isEmpty())
        return QString::fromLatin1(result.exchange.meaning);
    return QStringLiteral("failed");
}

// Nothing more can come from a reader that does not answer or a card that is gone.
bool ends(const ReaderResult &result)
{
    return result.outcome == ReaderOutcome::NoAnswer || result.outcome == ReaderOutcome::NoTag;
}

QString blockName(CardType type, int number)
{
    return QStringLiteral("%1 %2").arg(isClassic(type) ? QStringLiteral("block") : QStringLiteral("page")).arg(number);
}

// Authenticates the sector of block; the failure text, or empty.
QString authenticate(CardReader &reader, const CliKeys &keys, int block, ReaderResult *result)
{
    const int sector = CardGeometry::sectorOfBlock(block);
    const std::optional<KeySource> key = keys.forSector(sector);
    if (!key) {
        *result = ReaderResult {ReaderOutcome::Unsupported, {}, {}}; // nothing sent
        return QStringLiteral("sector %1: no key for it").arg(sector);
    }
    *result = reader.authenticate(block, *key);
    if (result->ok())
        return {};
    return QStringLiteral("sector %1: %2").arg(sector).arg(why(*result));
}

} // namespace

QString haltAndSelect(CardReader &reader, CardType type, QByteArray *serial)
{
    const ReaderResult halt = reader.halt();
    if (!halt.ok())
        return QStringLiteral("halt: %1").arg(why(halt));
    const ReaderResult select = reader.select(type);
    if (select.outcome == ReaderOutcome::NoTag)
        return QStringLiteral("no tag in the field");
    if (!select.ok())
        return QStringLiteral("select: %1").arg(why(select));
    if (serial)
        *serial = select.data;
    return {};
}

Outcome readCard(CardReader &reader, const CliKeys &keys, CardImage &image, CliProgress &progress)
{
    const CardType type = image.type();
    const CardGeometry geometry(type);
    Outcome outcome;
    if (const QString failure = haltAndSelect(reader, type); !failure.isEmpty()) {
        outcome.failures << failure;
        outcome.stopped = true;
        return outcome;
    }
    const QList<int> numbers = geometry.wholeCardReads();
    progress.begin(QStringLiteral("read-card"), int(numbers.size()));
    bool sectorOpen = true;
    std::optional<KeySource> sectorKey;
    for (int i = 0; i < numbers.size(); ++i) {
        const int number = numbers.at(i);
        progress.step(i, QStringLiteral("%1 of %2").arg(blockName(type, number)).arg(geometry.blockCount()));
        if (geometry.isAuthenticationPoint(number)) {
            ReaderResult result;
            const QString failure = authenticate(reader, keys, number, &result);
            sectorOpen = failure.isEmpty();
            sectorKey = keys.forSector(CardGeometry::sectorOfBlock(number));
            if (!sectorOpen) {
                outcome.failures << failure;
                // A refused authentication leaves the card waiting for a new select.
                const QString again = result.outcome == ReaderOutcome::NoAnswer ? QStringLiteral("no answer from the module")
                                      : result.outcome == ReaderOutcome::Unsupported ? QString()
                                                                                     : haltAndSelect(reader, type);
                if (!again.isEmpty()) {
                    outcome.failures << again;
                    outcome.stopped = true;
                    break;
                }
            }
        }
        if (!sectorOpen)
            continue;
        const ReaderResult read = reader.read(number, type);
        if (!read.ok()) {
            outcome.failures << QStringLiteral("%1: %2").arg(blockName(type, number), why(read));
            if (ends(read)) {
                outcome.stopped = true;
                break;
            }
            continue;
        }
        const int size = geometry.blockSize();
        if (geometry.classic()) {
            QByteArray bytes = read.data;
            if (geometry.isTrailer(number) && sectorKey && sectorKey->kind == KeySource::Kind::Bytes
                && sectorKey->type == KeySource::Type::A)
                bytes.replace(0, 6, sectorKey->bytes);
            for (int j = 0; j < size; ++j)
                image.setByte(number * size + j, quint8(bytes.at(j)));
        } else {
            // One read answers four pages from number on.
            for (int p = 0; p < CardGeometry::PagesPerRead; ++p) {
                const int page = CardGeometry::pageOfRead(number, p);
                for (int j = 0; j < size; ++j)
                    image.setByte(page * size + j, quint8(read.data.at(p * size + j)));
            }
        }
    }
    progress.end();
    return outcome;
}

Outcome writePlan(CardReader &reader, CardType type, const CliKeys &keys, const WritePlan &plan, CliProgress &progress)
{
    const CardGeometry geometry(type);
    Outcome outcome;
    if (const QString failure = haltAndSelect(reader, type); !failure.isEmpty()) {
        outcome.failures << failure;
        outcome.stopped = true;
        return outcome;
    }
    progress.begin(QStringLiteral("write-card"), int(plan.writes.size()));
    int authenticatedSector = -1;
    for (int i = 0; i < plan.writes.size(); ++i) {
        const WritePlan::Write &write = plan.writes.at(i);
        progress.step(i, QStringLiteral("%1 (%2 of %3)").arg(blockName(type, write.number)).arg(i + 1).arg(plan.writes.size()));
        if (geometry.classic()) {
            // Write All authenticates sector 0 before block 1, then each sector at its first block.
            const int sector = CardGeometry::sectorOfBlock(write.number);
            if (sector != authenticatedSector) {
                ReaderResult result;
                const QString failure = authenticate(reader, keys, CardGeometry::firstBlockOfSector(sector), &result);
                if (!failure.isEmpty()) {
                    outcome.failures << failure;
                    outcome.stopped = true;
                    break;
                }
                authenticatedSector = sector;
            }
            const ReaderResult result = reader.writeBlock(write.number, write.data);
            if (!result.ok()) {
                outcome.failures << QStringLiteral("%1: %2").arg(blockName(type, write.number), why(result));
                if (result.outcome != ReaderOutcome::WrittenUnverified) {
                    outcome.stopped = true;
                    break;
                }
            }
        } else {
            const ReaderResult result = reader.writePage(write.number, write.data);
            if (!result.ok()) {
                outcome.failures << QStringLiteral("%1: %2").arg(blockName(type, write.number), why(result));
                if (result.outcome == ReaderOutcome::NoAnswer) {
                    outcome.stopped = true;
                    break;
                }
                if (const QString again = haltAndSelect(reader, type); !again.isEmpty()) {
                    outcome.failures << again;
                    outcome.stopped = true;
                    break;
                }
            }
        }
    }
    progress.end();
    return outcome;
}

Outcome readBlock(CardReader &reader, CardType type, const CliKeys &keys, int block, QByteArray *data)
{
    Outcome outcome;
    if (const QString failure = haltAndSelect(reader, type); !failure.isEmpty()) {
        outcome.failures << failure;
        return outcome;
    }
    if (isClassic(type)) {
        ReaderResult result;
        if (const QString failure = authenticate(reader, keys, block, &result); !failure.isEmpty()) {
            outcome.failures << failure;
            return outcome;
        }
    }
    const ReaderResult read = reader.read(block, type);
    if (!read.ok())
        outcome.failures << QStringLiteral("%1: %2").arg(blockName(type, block), why(read));
    else
        *data = read.data;
    return outcome;
}

KeySearchResult findKeys(CardReader &reader, const KeySearchRequest &request, CliProgress &progress)
{
    const int total = int(KeySearch::sectorsOf(request).size());
    progress.begin(QStringLiteral("find-keys"), total);
    auto attempt = [&](const KeyAttempt &a) {
        if (!haltAndSelect(reader, request.card).isEmpty())
            return AttemptResult::Stop;
        const KeySource key = KeySource::keyBytes(a.type == KeyType::A ? KeySource::Type::A : KeySource::Type::B,
                                                  a.key.toBytes());
        const ReaderResult result = reader.authenticate(a.block, key);
        if (result.ok())
            return AttemptResult::Authenticated;
        return ends(result) ? AttemptResult::Stop : AttemptResult::Refused;
    };
    auto report = [&](const KeySearchProgress &p) {
        progress.step(p.sectorNumber - 1, QStringLiteral("sector %1 of %2, %3 keys tried, %4 found")
                                              .arg(p.sectorNumber).arg(p.sectorTotal).arg(p.keysTried).arg(p.keysFound));
        return true;
    };
    KeySearchResult result = KeySearch::run(request, attempt, report);
    progress.end();
    return result;
}

} // namespace CardTransfer
