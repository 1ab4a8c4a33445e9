// mifare-sim: the reader module with a card on it, served on a pseudo-terminal.
#include "PcscConsole.h"
#include "PcscSimulator.h"
#include "PortPublisher.h"
#include "PtySimulator.h"
#include "SimConsole.h"
#include "SimFrame.h"
#include "SimImageFile.h"
#include "VirtualCard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <functional>
#include <cstdio>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {
bool g_quiet = false;

void say(const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

void warn(const QString &text)
{
    std::fputs(qPrintable(QStringLiteral("mifare-sim: ") + text + QLatin1Char('\n')), stderr);
}

// Reads standard input without ever letting it stop the simulator: at end of input
// (or /dev/null) it is simply no longer read; in the background of a terminal, where
// a read fails with EIO (SIGTTIN is ignored), it is tried again once in the foreground.
class InputLines
{
public:
    enum class State { Reading, Closed, Background };

    [[nodiscard]] State state() const { return m_state; }
    void retryIfForeground()
    {
        if (m_state == State::Background && ::tcgetpgrp(STDIN_FILENO) == ::getpgrp())
            m_state = State::Reading;
    }
    // Reads what is waiting; returns the complete lines.
    QStringList read()
    {
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n == 0) {
            m_state = State::Closed;
        } else if (n < 0) {
            if (errno == EIO)
                m_state = State::Background;
            else if (errno != EINTR && errno != EAGAIN)
                m_state = State::Closed;
        } else {
            m_pending.append(buffer, int(n));
        }
        QStringList lines;
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            lines.append(QString::fromLocal8Bit(m_pending.left(end)));
            m_pending.remove(0, end + 1);
        }
        return lines;
    }

private:
    State m_state = State::Reading;
    QByteArray m_pending;
};

// Reads line commands until quit, a termination signal, or a failed poll; returns the
// signal that stopped it, or 0.
int serveConsole(const sigset_t &stopSignals, const std::function<QString(const QString &)> &execute,
                 const std::function<bool()> &quitRequested)
{
    const int signalFd = ::signalfd(-1, &stopSignals, SFD_CLOEXEC);
    InputLines input;
    int stopSignal = 0;
    while (!quitRequested() && stopSignal == 0) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const bool reading = input.state() == InputLines::State::Reading;
        // In the background the only reason to wake is to look for the foreground again.
        const int timeout = input.state() == InputLines::State::Background ? 1000 : -1;
        const int ready = ::poll(fds, reading ? 2 : 1, timeout);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            signalfd_siginfo info{};
            if (::read(signalFd, &info, sizeof info) == ssize_t(sizeof info))
                stopSignal = int(info.ssi_signo);
        }
        if (reading && ready > 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            for (const QString &line : input.read()) {
                const QString reply = execute(line);
                if (!reply.isEmpty())
                    say(reply);
            }
            if (input.state() == InputLines::State::Closed && !g_quiet)
                warn(QStringLiteral("no more input; serving until SIGINT or SIGTERM"));
        } else if (reading && ready > 0 && (fds[1].revents & POLLNVAL)) {
            input.read();
        }
        input.retryIfForeground();
    }
    ::close(signalFd);
    return stopSignal;
}

// mifare-sim --pcsc: the card in pcscd's virtual reader, inserted and removed from the console.
int runPcsc(const sigset_t &stopSignals, std::unique_ptr<VirtualCard> card, quint16 port, bool valueCommands,
            bool insertAtStart, const std::function<void(const QString &)> &traceSink)
{
    PcscSimulator simulator(std::move(card), port);
    simulator.setValueCommands(valueCommands);
    if (traceSink)
        simulator.setTraceSink(traceSink);
    say(QStringLiteral("mifare-sim: %1 card %2 for the virtual reader on port %3, value commands %4")
            .arg(VirtualCard::kindName(simulator.cardKind()), SimFrame::hex(simulator.cardUid()))
            .arg(port)
            .arg(valueCommands ? QStringLiteral("on") : QStringLiteral("off")));
    if (insertAtStart) {
        // pcscd may have been started a moment ago: give its driver time to listen.
        QString error;
        if (simulator.insert(&error, 5000))
            say(QStringLiteral("mifare-sim: card inserted"));
        else
            warn(QStringLiteral("card not inserted: %1 (type insert to try again)").arg(error));
    } else {
        say(QStringLiteral("mifare-sim: card out of the reader (type insert)"));
    }
    PcscConsole console(simulator);
    const int stopSignal = serveConsole(stopSignals, [&console](const QString &line) { return console.execute(line); },
                                        [&console] { return console.quitRequested(); });
    simulator.remove();
    if (!g_quiet)
        warn(stopSignal ? QStringLiteral("stopped by signal %1").arg(stopSignal) : QStringLiteral("stopped"));
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    // Termination signals are taken from a signalfd; they are blocked before any
    // thread starts so that every thread leaves them to it.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTTIN, SIG_IGN);
    std::signal(SIGTTOU, SIG_IGN);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mifare-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulates the RFID reader module with a MIFARE card on it, on a pseudo-terminal.\n"
                       "Prints the device path and publishes it in %1 for the program's port list.\n"
                       "With --pcsc, it is a card in pcscd's virtual reader instead.\n\n")
            .arg(PortPublisher::defaultFolder())
        + SimConsole::helpText() + QLatin1Char('\n') + PcscConsole::helpText());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption typeOption({QStringLiteral("t"), QStringLiteral("type")},
                                        QStringLiteral("Card type: 1k, 4k or ul (default 1k, or from the image size)."),
                                        QStringLiteral("type"));
    const QCommandLineOption uidOption({QStringLiteral("u"), QStringLiteral("uid")},
                                       QStringLiteral("UID in hex, 4 bytes (1k, 4k) or 7 bytes (ul)."), QStringLiteral("hex"));
    const QCommandLineOption imageOption({QStringLiteral("i"), QStringLiteral("image")},
                                         QStringLiteral("Raw card image to load (1024, 4096 or 64 bytes)."),
                                         QStringLiteral("file"));
    const QCommandLineOption absentOption(QStringLiteral("absent"), QStringLiteral("Start with no tag on the reader."));
    const QCommandLineOption cardTimeOption(QStringLiteral("card-time"),
                                            QStringLiteral("Card working time per operation in ms (default %1).")
                                                .arg(VirtualModule::DefaultCardTimeMs),
                                            QStringLiteral("ms"));
    const QCommandLineOption lateResetOption(QStringLiteral("late-reset"),
                                             QStringLiteral("Answer resets after the program's time-out."));
    const QCommandLineOption baudOption({QStringLiteral("b"), QStringLiteral("baud")},
                                        QStringLiteral("The module's speed at start (default %1).").arg(VirtualModule::DefaultSpeed),
                                        QStringLiteral("rate"));
    const QCommandLineOption nameOption({QStringLiteral("n"), QStringLiteral("name")},
                                        QStringLiteral("Name in the program's port list (default mifare-sim)."),
                                        QStringLiteral("name"), QStringLiteral("mifare-sim"));
    const QCommandLineOption quietOption({QStringLiteral("q"), QStringLiteral("quiet")}, QStringLiteral("No frame trace."));
    const QCommandLineOption traceOption(QStringLiteral("trace"),
                                         QStringLiteral("Write the frame trace to this file instead of standard error."),
                                         QStringLiteral("file"));
    const QCommandLineOption pcscOption(QStringLiteral("pcsc"),
                                        QStringLiteral("Be a card in a PC/SC reader instead: connect to the virtual reader "
                                                       "driver of pcscd (vsmartcard-vpcd)."));
    const QCommandLineOption vpcdPortOption(QStringLiteral("vpcd-port"),
                                            QStringLiteral("With --pcsc: the driver's TCP port on 127.0.0.1 (default %1; "
                                                           "%2 for the second virtual reader).")
                                                .arg(PcscSimulator::DefaultPort)
                                                .arg(PcscSimulator::DefaultPort + 1),
                                            QStringLiteral("port"), QString::number(PcscSimulator::DefaultPort));
    const QCommandLineOption valueCommandsOption(QStringLiteral("value-commands"),
                                                 QStringLiteral("With --pcsc: the reader offers the value commands FF D7 "
                                                                "and FF B1 (as ACS readers do)."));
    parser.addOptions({typeOption, uidOption, imageOption, absentOption, cardTimeOption, lateResetOption, baudOption,
                       nameOption, quietOption, traceOption, pcscOption, vpcdPortOption, valueCommandsOption});
    parser.process(app);

    QByteArray image;
    if (parser.isSet(imageOption)) {
        QString error;
        const std::optional<QByteArray> read = SimImageFile::read(parser.value(imageOption), &error);
        if (!read) {
            warn(error);
            return 2;
        }
        image = *read;
    }
    std::optional<CardKind> kind = CardKind::Classic1K;
    if (parser.isSet(typeOption))
        kind = VirtualCard::parseKind(parser.value(typeOption));
    else if (image.size() == 4096)
        kind = CardKind::Classic4K;
    else if (image.size() == 64)
        kind = CardKind::Ultralight;
    if (!kind) {
        warn(QStringLiteral("unknown card type \"%1\" (1k, 4k or ul)").arg(parser.value(typeOption)));
        return 2;
    }
    const QByteArray uid = SimFrame::parseHex(parser.value(uidOption));
    if (parser.isSet(uidOption) && uid.size() != VirtualCard::uidLength(*kind)) {
        warn(QStringLiteral("a %1 UID has %2 bytes").arg(VirtualCard::kindName(*kind)).arg(VirtualCard::uidLength(*kind)));
        return 2;
    }
    auto card = VirtualCard::create(*kind, uid);
    if (!image.isEmpty()) {
        if (!card->setImage(image)) {
            warn(QStringLiteral("%1 has %2 bytes; a %3 image has %4")
                     .arg(parser.value(imageOption))
                     .arg(image.size())
                     .arg(VirtualCard::kindName(*kind))
                     .arg(card->memorySize()));
            return 2;
        }
        if (!uid.isEmpty())
            card->setUid(uid);
    }

    g_quiet = parser.isSet(quietOption);
    FILE *traceFile = nullptr;
    if (parser.isSet(traceOption)) {
        traceFile = std::fopen(QFile::encodeName(parser.value(traceOption)).constData(), "a");
        if (!traceFile) {
            warn(QStringLiteral("cannot write %1").arg(parser.value(traceOption)));
            return 2;
        }
    }
    std::function<void(const QString &)> traceSink;
    if (traceFile || !g_quiet) {
        FILE *out = traceFile ? traceFile : stderr;
        traceSink = [out](const QString &line) {
            std::fputs(qPrintable(line + QLatin1Char('\n')), out);
            std::fflush(out);
        };
    }

    if (parser.isSet(pcscOption)) {
        bool portOk = false;
        const uint port = parser.value(vpcdPortOption).toUInt(&portOk);
        if (!portOk || port == 0 || port > 65535) {
            warn(QStringLiteral("not a TCP port: %1").arg(parser.value(vpcdPortOption)));
            return 2;
        }
        const int code = runPcsc(stopSignals, std::move(card), quint16(port), parser.isSet(valueCommandsOption),
                                 !parser.isSet(absentOption), traceSink);
        if (traceFile)
            std::fclose(traceFile);
        return code;
    }

    PtySimulator simulator(std::move(card));
    if (parser.isSet(baudOption) && !simulator.setModuleSpeed(parser.value(baudOption).toInt())) {
        warn(QStringLiteral("unsupported speed %1 (9600, 19200, 38400, 57600, 115200)").arg(parser.value(baudOption)));
        return 2;
    }
    if (parser.isSet(cardTimeOption))
        simulator.setCardTimeMs(parser.value(cardTimeOption).toInt());
    simulator.setResetLate(parser.isSet(lateResetOption));
    simulator.setTagPresent(!parser.isSet(absentOption));

    if (traceSink)
        simulator.setTraceSink(traceSink);

    QString error;
    if (!simulator.start(&error)) {
        warn(error);
        return 1;
    }
    PortPublisher publisher;
    const bool published = publisher.publish(parser.value(nameOption), simulator.portPath(), &error);
    say(QStringLiteral("mifare-sim: module on %1 at %2 bit/s, %3 card %4 %5")
            .arg(simulator.portPath())
            .arg(simulator.moduleSpeed())
            .arg(VirtualCard::kindName(simulator.cardKind()), SimFrame::hex(simulator.cardUid()),
                 simulator.tagPresent() ? QStringLiteral("on the reader") : QStringLiteral("(tag absent)")));
    if (published)
        say(QStringLiteral("mifare-sim: published as %1").arg(publisher.linkPath()));
    else
        warn(QStringLiteral("not published: %1").arg(error));

    SimConsole console(simulator);
    const int stopSignal = serveConsole(stopSignals, [&console](const QString &line) { return console.execute(line); },
                                        [&console] { return console.quitRequested(); });

    publisher.unpublish();
    simulator.stop();
    if (traceFile)
        std::fclose(traceFile);
    if (!g_quiet)
        warn(stopSignal ? QStringLiteral("stopped by signal %1").arg(stopSignal) : QStringLiteral("stopped"));
    return 0;
}
