#include "SimConsole.h"

#include "SimImageFile.h"

#include "ClassicCard.h"
#include "PtySimulator.h"
#include "SimFrame.h"
#include "UltralightCard.h"

#include <QStringList>

namespace {
QString onOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}
} // namespace

SimConsole::SimConsole(PtySimulator &simulator)
    : m_simulator(simulator)
{
}

QString SimConsole::helpText()
{
    return QStringLiteral(
        "Line commands (standard input):\n"
        "  place                      put the tag on the reader (completes a waiting seek)\n"
        "  remove                     take the tag away\n"
        "  swap 1k|4k|ul [UID]        put a new card of that type on the reader\n"
        "  load FILE                  load a raw card image (1024, 4096 or 64 bytes)\n"
        "  pins 0..3                  set the module's input pins (bit 0 = input 1)\n"
        "  dump                       show the card memory, keys included\n"
        "  fault NAME [COUNT]         spoil the next answer(s); NAME is one of\n"
        "                             noanswer checksum truncate oversize garbage late\n"
        "                             write-u write-x (the last two: status on the next write)\n"
        "  fault clear                drop the faults still waiting\n"
        "  late-reset on|off          answer resets after the program's time-out\n"
        "  card-time MS               card working time per operation\n"
        "  speed BAUD                 set the module's speed (9600 ... 115200)\n"
        "  status                     show the module's state\n"
        "  help                       this list\n"
        "  quit                       stop the simulator\n");
}

QString SimConsole::execute(const QString &line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString command = words.at(0).toLower();
    const QString arg1 = words.value(1);
    bool ok = false;

    if (command == QLatin1String("help"))
        return helpText();
    if (command == QLatin1String("quit") || command == QLatin1String("exit")) {
        m_quit = true;
        return QStringLiteral("stopping");
    }
    if (command == QLatin1String("place") || command == QLatin1String("remove")) {
        const bool present = command == QLatin1String("place");
        m_simulator.setTagPresent(present);
        return present ? QStringLiteral("tag placed") : QStringLiteral("tag removed");
    }
    if (command == QLatin1String("swap")) {
        const auto kind = VirtualCard::parseKind(arg1);
        if (!kind)
            return QStringLiteral("usage: swap 1k|4k|ul [UID]");
        const QByteArray uid = SimFrame::parseHex(words.value(2));
        if (words.size() > 2 && uid.size() != VirtualCard::uidLength(*kind))
            return QStringLiteral("a %1 UID has %2 bytes").arg(VirtualCard::kindName(*kind)).arg(VirtualCard::uidLength(*kind));
        m_simulator.setCard(VirtualCard::create(*kind, uid));
        return QStringLiteral("new %1 card, UID %2").arg(VirtualCard::kindName(*kind), SimFrame::hex(m_simulator.cardUid()));
    }
    if (command == QLatin1String("load")) {
        const QString path = line.simplified().section(QLatin1Char(' '), 1);
        QString error;
        const std::optional<QByteArray> image = SimImageFile::read(path, &error);
        if (!image)
            return error;
        if (!m_simulator.setCardImage(*image))
            return QStringLiteral("%1 does not fit the card on the reader").arg(path);
        return QStringLiteral("image loaded, UID %1").arg(SimFrame::hex(m_simulator.cardUid()));
    }
    if (command == QLatin1String("pins")) {
        const int pins = arg1.toInt(&ok);
        if (!ok || pins < 0 || pins > 3)
            return QStringLiteral("usage: pins 0..3");
        m_simulator.setInputPins(quint8(pins));
        return QStringLiteral("input pins %1").arg(pins);
    }
    if (command == QLatin1String("dump")) {
        QString text;
        m_simulator.withModule([&text](VirtualModule &module) { text = dump(module.card()); });
        return text;
    }
    if (command == QLatin1String("fault")) {
        if (arg1.toLower() == QLatin1String("clear")) {
            m_simulator.clearFaults();
            return QStringLiteral("faults cleared");
        }
        const auto fault = parseSimFault(arg1);
        const int count = words.size() > 2 ? words.at(2).toInt(&ok) : 1;
        if (!fault || (words.size() > 2 && (!ok || count < 1)))
            return QStringLiteral("usage: fault %1 [COUNT] | fault clear").arg(simFaultNames().join(QLatin1Char('|')));
        m_simulator.injectFault(*fault, count);
        return QStringLiteral("fault %1 x%2 armed").arg(simFaultName(*fault)).arg(count);
    }
    if (command == QLatin1String("late-reset")) {
        if (arg1 != QLatin1String("on") && arg1 != QLatin1String("off"))
            return QStringLiteral("usage: late-reset on|off");
        m_simulator.setResetLate(arg1 == QLatin1String("on"));
        return QStringLiteral("late reset %1").arg(arg1);
    }
    if (command == QLatin1String("card-time")) {
        const int ms = arg1.toInt(&ok);
        if (!ok || ms < 0)
            return QStringLiteral("usage: card-time MS");
        m_simulator.setCardTimeMs(ms);
        return QStringLiteral("card time %1 ms").arg(ms);
    }
    if (command == QLatin1String("speed")) {
        if (!m_simulator.setModuleSpeed(arg1.toInt()))
            return QStringLiteral("usage: speed 9600|19200|38400|57600|115200");
        return QStringLiteral("module at %1 bit/s").arg(arg1);
    }
    if (command == QLatin1String("status"))
        return status();
    return QStringLiteral("unknown command \"%1\"; try help").arg(command);
}

QString SimConsole::status() const
{
    QString text;
    const QString port = m_simulator.portPath();
    const qint32 line = m_simulator.lineSpeed();
    m_simulator.withModule([&](VirtualModule &module) {
        text = QStringLiteral("card %1, UID %2, tag %3, RF field %4\n"
                              "module at %5 bit/s, line at %6 bit/s, port %7\n"
                              "input pins %8, output pins %9, seek %10, late reset %11, card time %12 ms, faults waiting %13")
                   .arg(VirtualCard::kindName(module.card().kind()), SimFrame::hex(module.card().uid()),
                        module.tagPresent() ? QStringLiteral("present") : QStringLiteral("absent"), onOff(module.rfFieldOn()))
                   .arg(module.speed())
                   .arg(line)
                   .arg(port.isEmpty() ? QStringLiteral("(not open)") : port)
                   .arg(module.inputPins())
                   .arg(module.outputPins())
                   .arg(module.seekPending() ? QStringLiteral("waiting") : QStringLiteral("idle"), onOff(module.resetLate()))
                   .arg(module.cardTimeMs())
                   .arg(module.pendingFaultCount());
    });
    return text;
}

QString SimConsole::dump(const VirtualCard &card)
{
    QStringList lines;
    const QByteArray image = card.image();
    if (card.kind() == CardKind::Ultralight) {
        for (int p = 0; p < UltralightCard::PageCount; ++p)
            lines.append(QStringLiteral("page %1  %2").arg(p, 2).arg(SimFrame::hex(image.mid(p * 4, 4))));
    } else {
        const int blocks = int(image.size()) / ClassicCard::BlockSize;
        for (int b = 0; b < blocks; ++b) {
            const QString sector = b == ClassicCard::firstBlockOfSector(ClassicCard::sectorOfBlock(b))
                ? QStringLiteral("sector %1").arg(ClassicCard::sectorOfBlock(b), 2)
                : QString(9, QLatin1Char(' '));
            lines.append(QStringLiteral("%1  block %2  %3%4")
                             .arg(sector)
                             .arg(b, 3)
                             .arg(SimFrame::hex(image.mid(b * ClassicCard::BlockSize, ClassicCard::BlockSize)))
                             .arg(ClassicCard::isTrailer(b) ? QStringLiteral("  trailer") : QString()));
        }
    }
    return lines.join(QLatin1Char('\n'));
}
