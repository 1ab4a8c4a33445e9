#include "cli/RepeatWrite.h"

#include "card/CardGeometry.h"
#include "cli/CardTransfer.h"
#include "cli/CliKeys.h"
#include "cli/ExitCode.h"
#include "reader/CardReader.h"
#include "workflows/BatchWrite.h"

#include <QThread>

#include <csignal>

namespace RepeatWrite {

namespace {

volatile std::sig_atomic_t stopAsked = 0;

void askStop(int)
{
    stopAsked = 1;
}

// How often the field is looked at while no new card is there.
constexpr int PollPauseMs = 200;

} // namespace

int run(CardReader &reader, CardType type, const CliKeys &keys, const WritePlan &plan, std::FILE *out, std::FILE *err)
{
    stopAsked = 0;
    std::signal(SIGINT, askStop);
    std::signal(SIGTERM, askStop);
    std::fprintf(err, "merlox-mifare-cli: waiting for cards; Ctrl+C stops\n");
    int openSector = -1;
    auto openSectorOf = [&](int number, QString *problem) {
        if (!isClassic(type))
            return true;
        const int sector = CardGeometry::sectorOfBlock(number);
        if (sector == openSector)
            return true;
        const std::optional<KeySource> key = keys.forSector(sector);
        const ReaderResult result = key ? reader.authenticate(CardGeometry::firstBlockOfSector(sector), *key)
                                        : ReaderResult {ReaderOutcome::Unsupported, {}, {}};
        if (!result.ok()) {
            *problem = QStringLiteral("authentication of sector %1 failed").arg(sector);
            return false;
        }
        openSector = sector;
        return true;
    };
    BatchWriteReader batch;
    batch.poll = [&] {
        openSector = -1;
        if (stopAsked)
            return CardPresence {CardPresence::Kind::Stop, {}};
        QByteArray serial;
        if (!CardTransfer::haltAndSelect(reader, type, &serial).isEmpty()) {
            QThread::msleep(PollPauseMs);
            return CardPresence {CardPresence::Kind::NoCard, {}};
        }
        return CardPresence {CardPresence::Kind::Card, serial};
    };
    batch.write = [&](const WritePlan::Write &write, QString *problem) {
        if (!openSectorOf(write.number, problem))
            return false;
        const ReaderResult result =
            isClassic(type) ? reader.writeBlock(write.number, write.data) : reader.writePage(write.number, write.data);
        if (!result.ok())
            *problem = QString::fromLatin1(result.exchange.meaning.isEmpty() ? "write failed" : result.exchange.meaning);
        return result.ok();
    };
    batch.read = [&](int number, QString *problem) -> std::optional<QByteArray> {
        if (!openSectorOf(number, problem))
            return std::nullopt;
        const ReaderResult result = reader.read(number, type);
        if (!result.ok()) {
            *problem = QStringLiteral("read failed");
            return std::nullopt;
        }
        return result.data.left(CardGeometry(type).blockSize());
    };
    const BatchWriteSummary summary = BatchWrite(type, plan.writes).run(batch, [&](const BatchEvent &event) {
        std::fprintf(event.kind == BatchEvent::Kind::Done ? out : err, "%s\n", qPrintable(event.text));
        std::fflush(out);
    });
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::fprintf(err, "merlox-mifare-cli: %d card(s) done, %d failed\n", summary.done, int(summary.failedUids.size()));
    return summary.failedUids.isEmpty() ? ExitCode::Done : ExitCode::CardFailed;
}

} // namespace RepeatWrite
