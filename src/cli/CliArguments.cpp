#include "cli/CliArguments.h"

#include "card/CardGeometry.h"
#include "card/Hex.h"
#include "link/ComPort.h"
#include "pcsc/PcscPortNames.h"

#include <algorithm>

namespace CliArguments {

namespace {

struct OptionInfo {
    const char *name;   // without the dashes
    char shortName;     // 0: none
    const char *value;  // the value's name in the help, nullptr: a switch
    const char *help;
};

const QList<OptionInfo> &allOptions()
{
    static const QList<OptionInfo> list = {
        {"port", 'p', "PORT", "serial port or PC/SC reader (\"PC/SC: NAME\"): a name list-ports shows, "
                              "or a device path"},
        {"baud", 'b', "RATE", "line speed: 9600, 19200 (default), 38400, 57600 or 115200 (serial port only)"},
        {"card", 'c', "TYPE", "card type: 1k (default), 4k or ul"},
        {"key", 'k', "T:KEY", "authenticate with key type T (A or B) and 12 hex digits, e.g. A:FFFFFFFFFFFF"},
        {"key-slot", 0, "T:N", "authenticate with key type T from slot N (0-15) of the module's key store"},
        {"default-key", 0, nullptr, "authenticate with the module's default key (the default; a PC/SC reader "
                                    "needs --key or --key-file)"},
        {"key-file", 0, "FILE", "per-sector keys: a key file as find-keys writes it (\"KEY # 0A 1B\"); "
                                "a plain key list is searched first"},
        {"format", 'f', "FMT", "file format: bin, eml, json, mct, nfc or mtp (default: from the file name)"},
        {"force", 0, nullptr, "write even what cannot be undone (locking trailers, lock bytes, OTP)"},
        {"repeat", 0, nullptr, "write the image onto card after card until interrupted"},
        {"keys", 0, "FILE", "key file to try (repeatable; default: the shipped dictionary)"},
        {"key-types", 0, "TYPES", "key types to search: A, B or AB (default)"},
        {"sectors", 0, "N-M", "sectors to search (default: all)"},
        {"output", 'o', "FILE", "where find-keys writes the found keys"},
        {"verbose", 'v', nullptr, "show every exchange with the module on stderr"},
        {"help", 'h', nullptr, "show this help"},
    };
    return list;
}

struct CommandInfo {
    QString name;
    QString usage;    // operands and options after the command name
    QString summary;
    QStringList operands;
    QStringList options; // beyond --help
    QString details;
};

const QStringList PortOptions = {"port", "baud", "card", "verbose"};
const QStringList KeyOptions = {"key", "key-slot", "default-key", "key-file"};

const QList<CommandInfo> &allCommands()
{
    static const QList<CommandInfo> list = {
        {"list-ports", "", "list the serial ports, running simulators and PC/SC readers", {}, {}, {}},
        {"select", "--port PORT [--card TYPE]", "select the card in the field and print its serial number", {},
         PortOptions, {}},
        {"read-card", "--port PORT [--card TYPE] [key] [--format FMT] FILE",
         "read the whole card into a card image file", {"FILE"}, PortOptions + KeyOptions + QStringList {"format"},
         "Blocks that cannot be read stay unknown; the file is written when its format can hold\n"
         "unknown bytes (mct, nfc), and the exit status is 1. Key A of a trailer reads back as\n"
         "zeros; when the sector was opened with a key A given here, that key is put in its place.\n"},
        {"write-card", "--port PORT [--card TYPE] [key] [--format FMT] [--force] [--repeat] FILE",
         "write a card image file onto the whole card, as Write All does", {"FILE"},
         PortOptions + KeyOptions + QStringList {"format", "force", "repeat"},
         "Every block is checked before the first is sent: an invalid sector trailer refuses\n"
         "the write, and a trailer that locks, lock bytes or OTP bits need --force. Classic block\n"
         "0 is never written; Ultralight page 2 (the lock bytes) is written last. The key is\n"
         "the one the card has now. With --repeat each card is read back and compared, and the\n"
         "tool waits for the next card until interrupted.\n"},
        {"read-block", "--port PORT [--card TYPE] [key] N",
         "read block N (Ultralight: pages N to N+3) and print its bytes", {"N"}, PortOptions + KeyOptions, {}},
        {"write-block", "--port PORT [--card TYPE] [key] [--force] N BYTES",
         "write 16 bytes to block N (Ultralight: 4 bytes to page N)", {"N", "BYTES"},
         PortOptions + KeyOptions + QStringList {"force"},
         "BYTES: hexadecimal, spaces between bytes allowed. A sector trailer is checked as\n"
         "write-card checks it; Ultralight page 2 writes only the lock bytes.\n"},
        {"find-keys", "--port PORT [--card TYPE] [--keys FILE...] [--key-types AB] [--sectors N-M] [--output FILE]",
         "try keys on every sector (authentication only) and print which open what", {},
         PortOptions + QStringList {"keys", "key-types", "sectors", "output"},
         "The exit status is 1 when a sector's key was not found.\n"},
        {"diff", "[--card TYPE] A B", "compare two card image files; exit status 1 when they differ", {"A", "B"},
         {"card", "format"}, {}},
    };
    return list;
}

const CommandInfo *commandInfo(const QString &name)
{
    for (const CommandInfo &info : allCommands()) {
        if (info.name == name)
            return &info;
    }
    return nullptr;
}

const OptionInfo *optionInfo(const QString &name)
{
    for (const OptionInfo &info : allOptions()) {
        if (QLatin1String(info.name) == name)
            return &info;
    }
    return nullptr;
}

const OptionInfo *shortOption(QChar c)
{
    for (const OptionInfo &info : allOptions()) {
        if (info.shortName != 0 && QChar(info.shortName) == c)
            return &info;
    }
    return nullptr;
}

std::optional<int> number(const QString &text, int low, int high)
{
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    if (!ok || n < low || n > high)
        return std::nullopt;
    return n;
}

std::optional<KeySource::Type> keyType(const QString &text)
{
    if (text.compare(QLatin1String("A"), Qt::CaseInsensitive) == 0)
        return KeySource::Type::A;
    if (text.compare(QLatin1String("B"), Qt::CaseInsensitive) == 0)
        return KeySource::Type::B;
    return std::nullopt;
}

// "T:rest" or "rest" alone (type A).
std::optional<std::pair<KeySource::Type, QString>> typed(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::pair {KeySource::Type::A, text};
    const std::optional<KeySource::Type> type = keyType(text.left(colon));
    if (!type)
        return std::nullopt;
    return std::pair {*type, text.mid(colon + 1)};
}

// Applies one option with its value; false with *error set.
bool apply(CliOptions &options, const QString &name, const QString &value, QString *error)
{
    auto bad = [&](const QString &what) {
        *error = QStringLiteral("--%1 %2: %3").arg(name, value, what);
        return false;
    };
    auto setKey = [&](std::optional<KeySource> key) {
        if (options.key || !options.keyFile.isEmpty()) {
            *error = QStringLiteral("give one of --key, --key-slot, --default-key and --key-file");
            return false;
        }
        options.key = key;
        return true;
    };
    if (name == QLatin1String("port")) {
        options.port = value;
    } else if (name == QLatin1String("baud")) {
        const std::optional<int> rate = number(value, 1, 10000000);
        const int *end = std::end(ComPort::BaudRates);
        const int *found = rate ? std::find(std::begin(ComPort::BaudRates), end, *rate) : end;
        if (found == end)
            return bad(QStringLiteral("not one of 9600, 19200, 38400, 57600, 115200"));
        options.baudIndex = int(found - std::begin(ComPort::BaudRates));
    } else if (name == QLatin1String("card")) {
        options.cardGiven = true;
        const QString card = value.toLower();
        if (card == QLatin1String("1k"))
            options.card = CardType::Mifare1K;
        else if (card == QLatin1String("4k"))
            options.card = CardType::Mifare4K;
        else if (card == QLatin1String("ul"))
            options.card = CardType::MifareUL;
        else
            return bad(QStringLiteral("not 1k, 4k or ul"));
    } else if (name == QLatin1String("key")) {
        const std::optional<KeySource> key = parseKey(value);
        if (!key)
            return bad(QStringLiteral("not A: or B: and 12 hexadecimal digits"));
        return setKey(key);
    } else if (name == QLatin1String("key-slot")) {
        const std::optional<KeySource> key = parseKeySlot(value);
        if (!key)
            return bad(QStringLiteral("not A: or B: and a slot from 0 to 15"));
        return setKey(key);
    } else if (name == QLatin1String("default-key")) {
        return setKey(KeySource::readerDefault());
    } else if (name == QLatin1String("key-file")) {
        if (!setKey(std::nullopt))
            return false;
        options.keyFile = value;
    } else if (name == QLatin1String("format")) {
        static const QStringList formats = {"bin", "eml", "json", "mct", "nfc", "mtp"};
        if (!formats.contains(value.toLower()))
            return bad(QStringLiteral("not one of %1").arg(formats.join(QStringLiteral(", "))));
        options.format = value.toLower();
    } else if (name == QLatin1String("force")) {
        options.force = true;
    } else if (name == QLatin1String("repeat")) {
        options.repeat = true;
    } else if (name == QLatin1String("keys")) {
        options.keyFiles << value;
    } else if (name == QLatin1String("key-types")) {
        const QByteArray types = value.toUpper().toLatin1();
        if (types != "A" && types != "B" && types != "AB")
            return bad(QStringLiteral("not A, B or AB"));
        options.keyTypes = types;
    } else if (name == QLatin1String("sectors")) {
        const QStringList range = value.split(QLatin1Char('-'));
        const std::optional<int> first = number(range.value(0), 0, 39);
        const std::optional<int> last = range.size() == 2 ? number(range.value(1), 0, 39) : first;
        if (range.size() > 2 || !first || !last || *last < *first)
            return bad(QStringLiteral("not a sector N or a range N-M from 0 to 39"));
        options.firstSector = *first;
        options.lastSector = *last;
    } else if (name == QLatin1String("output")) {
        options.output = value;
    } else if (name == QLatin1String("verbose")) {
        options.verbose = true;
    } else if (name == QLatin1String("help")) {
        options.help = true;
    }
    return true;
}

// Checks the operands and what they say; false with *error set.
bool takeOperands(CliOptions &options, const CommandInfo &info, const QStringList &operands, QString *error)
{
    if (operands.size() != info.operands.size()) {
        *error = QStringLiteral("%1 takes %2").arg(info.name, info.operands.isEmpty()
                                                             ? QStringLiteral("no operands")
                                                             : info.operands.join(QLatin1Char(' ')));
        return false;
    }
    if (options.command == QLatin1String("read-block") || options.command == QLatin1String("write-block")) {
        const int count = CardGeometry(options.card).blockCount();
        const std::optional<int> block = number(operands.at(0), 0, count - 1);
        if (!block) {
            *error = QStringLiteral("%1: not a %2 from 0 to %3").arg(operands.at(0),
                isClassic(options.card) ? QStringLiteral("block") : QStringLiteral("page")).arg(count - 1);
            return false;
        }
        options.block = *block;
        if (operands.size() > 1) {
            const std::optional<QByteArray> bytes = parseBytes(operands.at(1));
            const int size = CardGeometry(options.card).blockSize();
            if (!bytes || bytes->size() != size) {
                *error = QStringLiteral("%1: not %2 hexadecimal bytes").arg(operands.at(1)).arg(size);
                return false;
            }
            options.data = *bytes;
        }
        return true;
    }
    options.files = operands;
    return true;
}

} // namespace

QStringList commands()
{
    QStringList names;
    for (const CommandInfo &info : allCommands())
        names << info.name;
    return names;
}

std::optional<KeySource> parseKey(const QString &text)
{
    const auto parts = typed(text);
    if (!parts || parts->second.size() != 12)
        return std::nullopt;
    const QByteArray digits = parts->second.toLatin1();
    for (char c : digits) {
        if (!Hex::isDigit(c))
            return std::nullopt;
    }
    return KeySource::keyBytes(parts->first, QByteArray::fromHex(digits));
}

std::optional<KeySource> parseKeySlot(const QString &text)
{
    const auto parts = typed(text);
    const std::optional<int> slot = parts ? number(parts->second, 0, 15) : std::nullopt;
    if (!slot)
        return std::nullopt;
    return KeySource::storeSlot(parts->first, *slot);
}

std::optional<QByteArray> parseBytes(const QString &text)
{
    QByteArray digits;
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char(':'))
            continue;
        if (c.unicode() > 0x7F || !Hex::isDigit(char(c.unicode())))
            return std::nullopt;
        digits.append(char(c.unicode()));
    }
    if (digits.isEmpty() || digits.size() % 2 != 0)
        return std::nullopt;
    return QByteArray::fromHex(digits);
}

std::optional<CliOptions> parse(const QStringList &args, QString *error)
{
    CliOptions options;
    QStringList operands;
    QStringList given;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const OptionInfo *info = nullptr;
        QString value;
        bool valueAttached = false;
        if (arg.startsWith(QLatin1String("--")) && arg.size() > 2) {
            const qsizetype equals = arg.indexOf(QLatin1Char('='));
            info = optionInfo(arg.mid(2, equals < 0 ? -1 : equals - 2));
            if (equals >= 0) {
                value = arg.mid(equals + 1);
                valueAttached = true;
            }
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() == 2) {
            info = shortOption(arg.at(1));
        } else {
            if (options.command.isEmpty())
                options.command = arg;
            else
                operands << arg;
            continue;
        }
        if (!info) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        }
        const QString name = QLatin1String(info->name);
        if (info->value && !valueAttached) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("--%1 needs a value (%2)").arg(name, QLatin1String(info->value));
                return std::nullopt;
            }
            value = args.at(++i);
        } else if (!info->value && valueAttached) {
            *error = QStringLiteral("--%1 takes no value").arg(name);
            return std::nullopt;
        }
        given << name;
        if (!apply(options, name, value, error))
            return std::nullopt;
    }
    if (options.command.isEmpty()) {
        if (options.help)
            return options;
        *error = QStringLiteral("no command given");
        return std::nullopt;
    }
    const CommandInfo *command = commandInfo(options.command);
    if (!command) {
        *error = QStringLiteral("unknown command %1").arg(options.command);
        return std::nullopt;
    }
    if (options.help)
        return options;
    for (const QString &name : given) {
        if (name != QLatin1String("help") && !command->options.contains(name)) {
            *error = QStringLiteral("%1 has no option --%2").arg(options.command, name);
            return std::nullopt;
        }
    }
    if (command->options.contains(QLatin1String("port")) && options.port.isEmpty()) {
        *error = QStringLiteral("%1 needs --port").arg(options.command);
        return std::nullopt;
    }
    if (PcscPortNames::isReader(options.port)) {
        // What only the module has is refused rather than quietly replaced.
        for (const QString &name : {QStringLiteral("baud"), QStringLiteral("key-slot"), QStringLiteral("default-key")}) {
            if (!given.contains(name))
                continue;
            *error = name == QLatin1String("baud")
                         ? QStringLiteral("--baud: a PC/SC reader has no line speed; leave --baud out")
                         : QStringLiteral("--%1: a PC/SC reader has no key store or default key of the module; "
                                          "give the key with --key T:KEY or --key-file FILE").arg(name);
            return std::nullopt;
        }
    }
    if (!takeOperands(options, *command, operands, error))
        return std::nullopt;
    return options;
}

QString helpText(const QString &command)
{
    QString text;
    const CommandInfo *info = commandInfo(command);
    if (!info) {
        text = QStringLiteral("usage: merlox-mifare-cli COMMAND [OPTIONS] [OPERANDS]\n\n"
                              "Reads and writes MIFARE Classic 1K/4K and Ultralight cards through the serial\n"
                              "reader module or a PC/SC reader (--port \"PC/SC: NAME\"), for scripts and batch\n"
                              "work. A PC/SC reader needs a Classic card's key given (--key or --key-file).\n\n"
                              "Commands:\n");
        for (const CommandInfo &entry : allCommands())
            text += QStringLiteral("  %1  %2\n").arg(entry.name.leftJustified(12), entry.summary);
        text += QStringLiteral("\n'merlox-mifare-cli COMMAND --help' describes a command and its options.\n");
    } else {
        text = QStringLiteral("usage: merlox-mifare-cli %1 %2\n\n%3.\n")
                   .arg(info->name, info->usage, info->summary.left(1).toUpper() + info->summary.mid(1));
        if (!info->details.isEmpty())
            text += QLatin1Char('\n') + info->details;
        text += QStringLiteral("\nOptions:\n");
        for (const OptionInfo &option : allOptions()) {
            const QString name = QLatin1String(option.name);
            if (!info->options.contains(name) && name != QLatin1String("help"))
                continue;
            QString left = option.shortName ? QStringLiteral("-%1, --%2").arg(QChar(option.shortName)).arg(name)
                                            : QStringLiteral("    --%1").arg(name);
            if (option.value)
                left += QLatin1Char(' ') + QLatin1String(option.value);
            text += QStringLiteral("  %1  %2\n").arg(left.leftJustified(24), QLatin1String(option.help));
        }
    }
    text += QStringLiteral("\nExit status: 0 everything asked was done; 1 the card or module did not do\n"
                           "it all (diff: the images differ); 2 bad command line; 3 file problem;\n"
                           "4 write refused before anything was sent; 5 serial port or PC/SC reader\nproblem.\n");
    return text;
}

} // namespace CliArguments
