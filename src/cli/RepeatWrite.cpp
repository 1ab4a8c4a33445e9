#include "cli/RepeatWrite.h"

#include "card/CardGeometry.h"
#include "cli/CliKeys.h"
#include "cli/ExitCode.h"
#include "reader/CardReader.h"
#include "workflows/BatchWrite.h"
#include "workflows/CardArrivals.h"

#include <QSocketNotifier>

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace RepeatWrite {

namespace {

// SIGINT and SIGTERM are held back while the cards are written and taken only between
// cards: a signal arriving in the middle of an exchange would cut a card's write short.
// They arrive on a descriptor, so that a wait for the next card wakes for them.
class StopSignals
{
public:
    StopSignals()
    {
        sigemptyset(&m_stop);
        sigaddset(&m_stop, SIGINT);
        sigaddset(&m_stop, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &m_stop, &m_before);
        m_fd = signalfd(-1, &m_stop, SFD_NONBLOCK | SFD_CLOEXEC);
    }
    ~StopSignals()
    {
        if (m_fd >= 0)
            close(m_fd);
        pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
    }
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    [[nodiscard]] int descriptor() const { return m_fd; }

    // True once a stop signal came; does not wait.
    [[nodiscard]] bool stopAsked()
    {
        signalfd_siginfo info {};
        if (!m_asked && m_fd >= 0)
            m_asked = read(m_fd, &info, sizeof info) == sizeof info;
        return m_asked;
    }

private:
    sigset_t m_stop {};
    sigset_t m_before {};
    int m_fd = -1;
    bool m_asked = false;
};

} // namespace

int run(CardReader &reader, CardType type, const CliKeys &keys, const WritePlan &plan, std::FILE *out, std::FILE *err)
{
    StopSignals stop;
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
    // The waits for a card block in the reader's seek; a stop signal ends them.
    CardArrivals arrivals(reader, type);
    QSocketNotifier stopNotifier(stop.descriptor(), QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, [&] {
        if (stop.stopAsked())
            arrivals.stop();
    });
    batch.poll = [&] {
        openSector = -1;
        if (stop.stopAsked())
            arrivals.stop();
        return arrivals.next();
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
    std::fprintf(err, "merlox-mifare-cli: %d card(s) done, %d failed\n", summary.done, int(summary.failedUids.size()));
    return summary.failedUids.isEmpty() ? ExitCode::Done : ExitCode::CardFailed;
}

} // namespace RepeatWrite
