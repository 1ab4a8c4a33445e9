#pragma once

#include "CardKind.h"
#include "VirtualPcscReader.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Serves a VirtualPcscReader to the virtual reader driver of pcscd (vpcd), which
// listens on a TCP port of the loopback address. The connection is the card's
// presence: insert() connects (a card arrives in the reader), remove() closes it (the
// card is taken away). Messages both ways are a 2-byte big-endian length and the
// payload; a 1-byte payload from the driver is a control (00 power off, 01 power on,
// 02 reset, 04 send the ATR), anything longer a command APDU. The connection is
// served on a thread of its own, blocked in recv() while idle.
//
// Every public function may be called from any thread.
class PcscSimulator
{
public:
    using TraceSink = std::function<void(const QString &line)>;
    static constexpr quint16 DefaultPort = 35963; // the first virtual reader

    // A null card puts a new Mifare 1K card with the default UID in the reader's field.
    explicit PcscSimulator(std::unique_ptr<VirtualCard> card = {}, quint16 port = DefaultPort);
    ~PcscSimulator();
    PcscSimulator(const PcscSimulator &) = delete;
    PcscSimulator &operator=(const PcscSimulator &) = delete;

    void setPort(quint16 port);
    [[nodiscard]] quint16 port() const;

    // Puts the card into the reader: connects to the driver, trying again for up to
    // waitMs while nothing listens (pcscd just starting). False with a reason.
    [[nodiscard]] bool insert(QString *error = nullptr, int waitMs = 0);
    // Takes the card away: closes the connection. Nothing happens when it is out.
    void remove();
    // True while the driver holds the connection (it may close it when pcscd stops).
    [[nodiscard]] bool inserted() const;

    void setCard(std::unique_ptr<VirtualCard> card);
    [[nodiscard]] CardKind cardKind() const;
    [[nodiscard]] QByteArray cardUid() const;
    [[nodiscard]] QByteArray cardImage() const;
    [[nodiscard]] bool setCardImage(const QByteArray &image);
    void setValueCommands(bool on);
    [[nodiscard]] bool valueCommands() const;
    // Runs fn with the reader locked, for what the accessors do not cover.
    void withReader(const std::function<void(VirtualPcscReader &)> &fn);

    // Command APDUs received, in order (controls not included).
    [[nodiscard]] QList<QByteArray> receivedApdus() const;
    // Receives one line per message in and out. Called on the serving thread with
    // the simulator locked: the sink must not call back into the simulator.
    void setTraceSink(TraceSink sink);

private:
    void serve(int fd);
    [[nodiscard]] QByteArray handle(const QByteArray &message);
    void trace(const QString &line) const;
    // Joins the serving thread (with onlyEnded: only when the driver ended it) and
    // closes its socket. Mutex not held.
    void join(bool onlyEnded);

    mutable std::mutex m_mutex;
    VirtualPcscReader m_reader;
    quint16 m_port = DefaultPort;
    QList<QByteArray> m_apdus;
    TraceSink m_trace;
    bool m_connected = false;
    int m_fd = -1;
    std::thread m_thread;
};
