#include "cli/CliCommands.h"

#include "base/ActionError.h"
#include "card/CardGeometry.h"
#include "card/Hex.h"
#include "cli/CardFiles.h"
#include "cli/CardTransfer.h"
#include "cli/CliKeys.h"
#include "cli/CliOptions.h"
#include "cli/CliProgress.h"
#include "cli/CliSession.h"
#include "cli/ExitCode.h"
#include "cli/RepeatWrite.h"
#include "cli/WritePreflight.h"
#include "files/GridImage.h"
#include "link/PortList.h"
#include "pcsc/PcscPortNames.h"
#include "view/CardGridModel.h"
#include "workflows/CardImageDiff.h"
#include "workflows/KeyDictionary.h"
#include "workflows/KeyFileReader.h"
#include "workflows/KeyFileWriter.h"

#include <memory>

namespace CliCommands {

namespace {

struct Streams {
    std::FILE *out;
    std::FILE *err;

    void say(const QString &text) const { std::fprintf(out, "%s\n", qPrintable(text)); }
    void complain(const QString &text) const { std::fprintf(err, "merlox-mifare-cli: %s\n", qPrintable(text)); }
};

int reportFailures(const Streams &io, const CardTransfer::Outcome &outcome)
{
    for (const QString &failure : outcome.failures)
        io.complain(failure);
    return outcome.ok() ? ExitCode::Done : ExitCode::CardFailed;
}

// A PC/SC reader has no key of its own: a Classic card's key must be given, never
// guessed. True (and said) when it is missing.
bool pcscKeyMissing(const CliOptions &options, CardType card, const Streams &io)
{
    if (!PcscPortNames::isReader(options.port) || !isClassic(card) || options.key || !options.keyFile.isEmpty())
        return false;
    io.complain(QStringLiteral("a PC/SC reader has no default key: give the card's key with --key T:KEY "
                               "or --key-file FILE"));
    return true;
}

// The key of each sector the options give; a key file of plain keys is searched first.
std::optional<CliKeys> keysOf(const CliOptions &options, CardReader &reader, const Streams &io, int *status)
{
    if (options.keyFile.isEmpty())
        return CliKeys::single(options.key.value_or(KeySource::readerDefault()));
    QString error;
    const std::optional<CliKeys::FileKeys> file = CliKeys::readFile(options.keyFile, &error);
    if (!file) {
        io.complain(error);
        *status = ExitCode::FileProblem;
        return std::nullopt;
    }
    if (file->sectors)
        return CliKeys::fromSearch(*file->sectors);
    if (!isClassic(options.card))
        return CliKeys::single(KeySource::readerDefault());
    KeySearchRequest request;
    request.card = options.card;
    request.keys = file->keys;
    CliProgress progress;
    const KeySearchResult found = CardTransfer::findKeys(reader, request, progress);
    if (found.stopped) {
        io.complain(QStringLiteral("the key search stopped: no tag, or no answer from the module"));
        *status = ExitCode::CardFailed;
        return std::nullopt;
    }
    return CliKeys::fromSearch(found);
}

int listPorts(const Streams &io)
{
    for (const QString &name : PortList::names())
        io.say(name);
    for (const QString &name : PcscPortNames::entries())
        io.say(name);
    return ExitCode::Done;
}

int select(const CliOptions &options, const Streams &io)
{
    CliSession session(options);
    QByteArray serial;
    const QString failure = CardTransfer::haltAndSelect(session.reader(), options.card, &serial);
    if (!failure.isEmpty()) {
        io.complain(failure);
        return ExitCode::CardFailed;
    }
    io.say(QString::fromLatin1(serial));
    return ExitCode::Done;
}

int readCard(const CliOptions &options, const Streams &io)
{
    const QString path = options.files.value(0);
    QString error;
    const std::optional<DumpFormat> format = CardFiles::formatForWriting(path, options.format, &error);
    if (!format) {
        io.complain(error);
        return ExitCode::Usage;
    }
    if (!DumpFormats::supports(*format, options.card)) {
        io.complain(QStringLiteral("%1 holds Mifare Classic cards only").arg(DumpFormats::describe(*format)));
        return ExitCode::Usage;
    }
    if (pcscKeyMissing(options, options.card, io))
        return ExitCode::Usage;
    CliSession session(options);
    int status = ExitCode::Done;
    const std::optional<CliKeys> keys = keysOf(options, session.reader(), io, &status);
    if (!keys)
        return status;
    CardImage image(options.card);
    CliProgress progress;
    const CardTransfer::Outcome outcome = CardTransfer::readCard(session.reader(), *keys, image, progress);
    status = reportFailures(io, outcome);
    if (image.unknownCount() == image.size()) // nothing read: no file
        return status;
    if (!CardFiles::save(path, *format, image, &error)) {
        io.complain(error);
        return status == ExitCode::Done ? ExitCode::FileProblem : status;
    }
    return status;
}

// Shows the pre-flight's warnings and refusal; true when the plan may be sent. A cell
// the checks refuse is named: in a file it is an unknown or malformed byte.
bool passes(const WritePreflight &preflight, const CardGridModel &grid, const Streams &io)
{
    for (const QString &warning : preflight.warnings)
        io.complain(QStringLiteral("WARNING: %1").arg(warning));
    if (preflight.mayWrite())
        return true;
    io.complain(preflight.refusal);
    if (preflight.refusal == WriteMessages::BadBlockHex) {
        QString problem;
        const std::optional<CardImage> image = GridImage::fromGrid(grid, &problem);
        if (!image) {
            io.complain(problem);
            return false;
        }
        // Classic block 0, Ultralight pages 0 and 1 and bytes 0 and 1 of page 2 are never sent.
        for (int i = isClassic(grid.cardType()) ? 16 : 10; i < image->size(); ++i) {
            if (!image->isKnown(i)) {
                io.complain(QStringLiteral("the file does not hold %1").arg(GridImage::describeByte(grid.cardType(), i)));
                break;
            }
        }
    }
    return false;
}

int writeCard(const CliOptions &options, const Streams &io)
{
    QString error;
    const std::unique_ptr<CardGridModel> grid = CardFiles::loadGrid(
        options.files.value(0), options.format, options.cardGiven ? std::optional(options.card) : std::nullopt, &error);
    if (!grid) {
        io.complain(error);
        return ExitCode::FileProblem;
    }
    const CardType type = grid->cardType();
    if (pcscKeyMissing(options, type, io))
        return ExitCode::Usage;
    const WritePreflight preflight = WritePreflight::writeAll(*grid, options.force);
    if (!passes(preflight, *grid, io))
        return ExitCode::Refused;
    CliOptions run = options;
    run.card = type;
    CliSession session(run);
    int status = ExitCode::Done;
    const std::optional<CliKeys> keys = keysOf(run, session.reader(), io, &status);
    if (!keys)
        return status;
    if (options.repeat)
        return RepeatWrite::run(session.reader(), type, *keys, preflight.plan, io.out, io.err);
    CliProgress progress;
    return reportFailures(io, CardTransfer::writePlan(session.reader(), type, *keys, preflight.plan, progress));
}

int readBlock(const CliOptions &options, const Streams &io)
{
    if (pcscKeyMissing(options, options.card, io))
        return ExitCode::Usage;
    CliSession session(options);
    int status = ExitCode::Done;
    const std::optional<CliKeys> keys = keysOf(options, session.reader(), io, &status);
    if (!keys)
        return status;
    QByteArray data;
    const CardTransfer::Outcome outcome =
        CardTransfer::readBlock(session.reader(), options.card, *keys, options.block, &data);
    if (outcome.ok())
        io.say(QString::fromLatin1(Hex::echo(data).trimmed()));
    return reportFailures(io, outcome);
}

int writeBlock(const CliOptions &options, const Streams &io)
{
    if (pcscKeyMissing(options, options.card, io))
        return ExitCode::Usage;
    // The bytes go through the grid row, so the checks are the grid's own.
    CardGridModel grid(options.card);
    CardImage image(options.card);
    const int size = CardGeometry(options.card).blockSize();
    for (int j = 0; j < size; ++j)
        image.setByte(options.block * size + j, quint8(options.data.at(j)));
    GridImage::toGrid(image, grid);
    const WritePreflight preflight = WritePreflight::writeOne(grid, options.block, options.force);
    if (!passes(preflight, grid, io))
        return ExitCode::Refused;
    CliSession session(options);
    int status = ExitCode::Done;
    const std::optional<CliKeys> keys = keysOf(options, session.reader(), io, &status);
    if (!keys)
        return status;
    CliProgress quiet(false);
    return reportFailures(io, CardTransfer::writePlan(session.reader(), options.card, *keys, preflight.plan, quiet));
}

int findKeys(const CliOptions &options, const Streams &io)
{
    KeyDictionary dictionary = options.keyFiles.isEmpty() ? KeyDictionary::defaults() : KeyDictionary();
    for (const QString &path : options.keyFiles) {
        QString error;
        const std::optional<KeyFileContents> contents = KeyFileReader::readFile(path, &error);
        if (!contents) {
            io.complain(error);
            return ExitCode::FileProblem;
        }
        for (const QString &problem : contents->problems)
            io.complain(QStringLiteral("%1: %2").arg(path, problem));
        dictionary.add(contents->keys);
    }
    KeySearchRequest request;
    request.card = options.card;
    request.firstSector = options.firstSector;
    request.lastSector = options.lastSector;
    request.types = options.keyTypes == "A" ? KeyTypeChoice::A : options.keyTypes == "B" ? KeyTypeChoice::B
                                                                                        : KeyTypeChoice::Both;
    request.keys = dictionary.keys();
    if (const QString problem = KeySearch::problem(request); !problem.isEmpty()) {
        io.complain(problem);
        return ExitCode::Usage;
    }
    CliSession session(options);
    CliProgress progress;
    const KeySearchResult result = CardTransfer::findKeys(session.reader(), request, progress);
    io.say(result.tableText().trimmed());
    if (!options.output.isEmpty()) {
        QString error;
        if (!KeyFileWriter::save(options.output, KeyFileWriter::write(result), &error)) {
            io.complain(error);
            return ExitCode::FileProblem;
        }
    }
    if (!result.complete()) {
        io.complain(QStringLiteral("the search stopped early: no tag, or no answer from the module"));
        return ExitCode::CardFailed;
    }
    const bool bothTypes = request.types == KeyTypeChoice::Both;
    for (const SectorKeys &sector : result.sectors) {
        const bool found = bothTypes ? sector.keyA || sector.keyB
                                     : bool(sector.key(request.types == KeyTypeChoice::A ? KeyType::A : KeyType::B));
        if (!found)
            return ExitCode::CardFailed;
    }
    return ExitCode::Done;
}

int diff(const CliOptions &options, const Streams &io)
{
    std::optional<CardImage> images[2];
    for (int i = 0; i < 2; ++i) {
        QString error;
        images[i] = CardFiles::loadImage(options.files.at(i), options.format,
                                         options.cardGiven ? std::optional(options.card) : std::nullopt, &error);
        if (!images[i]) {
            io.complain(error);
            return ExitCode::FileProblem;
        }
    }
    const CardImageDiff difference = CardImageDiff::compare(*images[0], *images[1]);
    if (difference.identical())
        return ExitCode::Done;
    io.say(difference.summaryText().trimmed());
    return ExitCode::CardFailed;
}

} // namespace

int run(const CliOptions &options, std::FILE *out, std::FILE *err)
{
    const Streams io {out, err};
    const QString &command = options.command;
    try {
        if (command == QLatin1String("list-ports"))
            return listPorts(io);
        if (command == QLatin1String("select"))
            return select(options, io);
        if (command == QLatin1String("read-card"))
            return readCard(options, io);
        if (command == QLatin1String("write-card"))
            return writeCard(options, io);
        if (command == QLatin1String("read-block"))
            return readBlock(options, io);
        if (command == QLatin1String("write-block"))
            return writeBlock(options, io);
        if (command == QLatin1String("find-keys"))
            return findKeys(options, io);
        if (command == QLatin1String("diff"))
            return diff(options, io);
    } catch (const ActionError &error) {
        // A serial port or PC/SC error: its own text (the error box's advice names the
        // window's controls); a PC/SC text says what to do.
        io.complain(QStringLiteral("%1: %2").arg(options.port, QString::fromLocal8Bit(error.what())));
        return ExitCode::PortProblem;
    }
    io.complain(QStringLiteral("unknown command %1").arg(command));
    return ExitCode::Usage;
}

} // namespace CliCommands
