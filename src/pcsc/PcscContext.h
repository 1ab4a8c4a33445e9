#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A thin owner of one PC/SC resource-manager context and at most one card connection,
// over libpcsclite. Every call returns the PC/SC return code (0 = success). Calls block
// for as long as the daemon and the reader take. One thread uses an object, except
// cancel(), which another thread may call to end waitForChange().
class PcscContext
{
public:
    // Card state bits of waitForChange(), as pcscd reports them.
    enum StateBits : unsigned long {
        StateChanged = 0x0002,
        StateUnknown = 0x0004,
        StateUnavailable = 0x0008,
        StateEmpty = 0x0010,
        StatePresent = 0x0020,
        StateMute = 0x0200,
    };
    // What happens to the card when the connection ends or is renewed.
    enum class Disposition { Leave, Reset, Unpower };

    PcscContext() = default;
    ~PcscContext();
    PcscContext(const PcscContext &) = delete;
    PcscContext &operator=(const PcscContext &) = delete;

    [[nodiscard]] long establish();
    [[nodiscard]] bool isEstablished() const { return m_established; }
    // Ends the connection (leaving the card) and the context.
    void release();
    // The readers pcscd knows, in its order.
    [[nodiscard]] long listReaders(QStringList *readers) const;

    // Shared connection to the card in the reader, T=0 or T=1.
    [[nodiscard]] long connect(const QString &reader);
    [[nodiscard]] long reconnect(Disposition initialization);
    long disconnect(Disposition disposition);
    [[nodiscard]] bool isConnected() const { return m_connected; }
    [[nodiscard]] long beginTransaction();
    long endTransaction();
    // The card's ATR.
    [[nodiscard]] long status(QByteArray *atr) const;
    // One command APDU and its response APDU.
    [[nodiscard]] long transmit(const QByteArray &command, QByteArray *response);

    // Blocks until the reader's state differs from *state (pass 0 to learn it at once),
    // then stores the new state; timeoutMs < 0 waits for ever.
    [[nodiscard]] long waitForChange(const QString &reader, unsigned long *state, int timeoutMs = -1);
    // Ends a waitForChange() running on another thread (it returns SCARD_E_CANCELLED).
    long cancel() const;

private:
    long m_context = 0;
    long m_card = 0;
    unsigned long m_protocol = 0;
    bool m_established = false;
    bool m_connected = false;
};
