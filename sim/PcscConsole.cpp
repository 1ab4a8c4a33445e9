#include "PcscConsole.h"

#include "SimImageFile.h"

#include "PcscSimulator.h"
#include "SimConsole.h"
#include "SimFrame.h"

#include <QStringList>

PcscConsole::PcscConsole(PcscSimulator &simulator)
    : m_simulator(simulator)
{
}

QString PcscConsole::helpText()
{
    return QStringLiteral(
        "Line commands with --pcsc (standard input):\n"
        "  insert (or place)          put the card into the reader (connect to the driver)\n"
        "  remove                     take the card out (close the connection)\n"
        "  swap 1k|4k|ul [UID]        a new card of that type (re-inserted when in the reader)\n"
        "  load FILE                  load a raw card image (1024, 4096 or 64 bytes)\n"
        "  value-commands on|off      the reader's value commands (FF D7, FF B1)\n"
        "  dump                       show the card memory, keys included\n"
        "  status                     show the reader's state\n"
        "  help                       this list\n"
        "  quit                       stop the simulator\n");
}

QString PcscConsole::insert()
{
    if (m_simulator.inserted())
        return QStringLiteral("the card is already in the reader");
    QString error;
    if (!m_simulator.insert(&error))
        return QStringLiteral("cannot insert the card: %1").arg(error);
    return QStringLiteral("card inserted");
}

QString PcscConsole::execute(const QString &line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString command = words.at(0).toLower();
    const QString arg1 = words.value(1);

    if (command == QLatin1String("help"))
        return helpText();
    if (command == QLatin1String("quit") || command == QLatin1String("exit")) {
        m_quit = true;
        return QStringLiteral("stopping");
    }
    if (command == QLatin1String("insert") || command == QLatin1String("place"))
        return insert();
    if (command == QLatin1String("remove")) {
        m_simulator.remove();
        return QStringLiteral("card removed");
    }
    if (command == QLatin1String("swap")) {
        const auto kind = VirtualCard::parseKind(arg1);
        if (!kind)
            return QStringLiteral("usage: swap 1k|4k|ul [UID]");
        const QByteArray uid = SimFrame::parseHex(words.value(2));
        if (words.size() > 2 && uid.size() != VirtualCard::uidLength(*kind))
            return QStringLiteral("a %1 UID has %2 bytes").arg(VirtualCard::kindName(*kind)).arg(VirtualCard::uidLength(*kind));
        // The reader sees a card leave and another arrive.
        const bool wasInserted = m_simulator.inserted();
        m_simulator.remove();
        m_simulator.setCard(VirtualCard::create(*kind, uid));
        QString reply = QStringLiteral("new %1 card, UID %2").arg(VirtualCard::kindName(*kind), SimFrame::hex(m_simulator.cardUid()));
        if (wasInserted)
            reply += QStringLiteral("; ") + insert();
        return reply;
    }
    if (command == QLatin1String("load")) {
        const QString path = line.simplified().section(QLatin1Char(' '), 1);
        QString error;
        const std::optional<QByteArray> image = SimImageFile::read(path, &error);
        if (!image)
            return error;
        if (!m_simulator.setCardImage(*image))
            return QStringLiteral("%1 does not fit the card in the reader").arg(path);
        return QStringLiteral("image loaded, UID %1").arg(SimFrame::hex(m_simulator.cardUid()));
    }
    if (command == QLatin1String("value-commands")) {
        if (arg1 != QLatin1String("on") && arg1 != QLatin1String("off"))
            return QStringLiteral("usage: value-commands on|off");
        m_simulator.setValueCommands(arg1 == QLatin1String("on"));
        return QStringLiteral("value commands %1").arg(arg1);
    }
    if (command == QLatin1String("dump")) {
        QString text;
        m_simulator.withReader([&text](VirtualPcscReader &reader) { text = SimConsole::dump(reader.card()); });
        return text;
    }
    if (command == QLatin1String("status"))
        return status();
    return QStringLiteral("unknown command \"%1\"; try help").arg(command);
}

QString PcscConsole::status() const
{
    QString text;
    const bool inserted = m_simulator.inserted();
    const quint16 port = m_simulator.port();
    m_simulator.withReader([&](VirtualPcscReader &reader) {
        text = QStringLiteral("card %1, UID %2, %3 (driver port %4), value commands %5, ATR %6")
                   .arg(VirtualCard::kindName(reader.card().kind()), SimFrame::hex(reader.card().uid()),
                        inserted ? QStringLiteral("in the reader") : QStringLiteral("out of the reader"))
                   .arg(port)
                   .arg(reader.valueCommands() ? QStringLiteral("on") : QStringLiteral("off"), SimFrame::hex(reader.atr()));
    });
    return text;
}
