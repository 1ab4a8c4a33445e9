#include "pcsc/PcscContext.h"

#include <winscard.h>

namespace {
DWORD dispositionCode(PcscContext::Disposition disposition)
{
    switch (disposition) {
    case PcscContext::Disposition::Leave: return SCARD_LEAVE_CARD;
    case PcscContext::Disposition::Reset: return SCARD_RESET_CARD;
    case PcscContext::Disposition::Unpower: return SCARD_UNPOWER_CARD;
    }
    return SCARD_LEAVE_CARD;
}
} // namespace

static_assert(sizeof(SCARDCONTEXT) <= sizeof(long) && sizeof(SCARDHANDLE) <= sizeof(long));

PcscContext::~PcscContext()
{
    release();
}

long PcscContext::establish()
{
    if (m_established)
        return SCARD_S_SUCCESS;
    SCARDCONTEXT context = 0;
    const LONG rv = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context);
    if (rv == SCARD_S_SUCCESS) {
        m_context = long(context);
        m_established = true;
    }
    return rv;
}

void PcscContext::release()
{
    if (m_connected)
        disconnect(Disposition::Leave);
    if (m_established)
        SCardReleaseContext(SCARDCONTEXT(m_context));
    m_established = false;
    m_context = 0;
}

long PcscContext::listReaders(QStringList *readers) const
{
    readers->clear();
    DWORD size = 0;
    LONG rv = SCardListReaders(SCARDCONTEXT(m_context), nullptr, nullptr, &size);
    if (rv != SCARD_S_SUCCESS)
        return rv;
    QByteArray buffer(qsizetype(size), '\0');
    rv = SCardListReaders(SCARDCONTEXT(m_context), nullptr, buffer.data(), &size);
    if (rv != SCARD_S_SUCCESS)
        return rv;
    // A multi-string: names ended by NUL, the list by an empty name.
    for (const QByteArray &name : buffer.left(qsizetype(size)).split('\0')) {
        if (!name.isEmpty())
            readers->append(QString::fromUtf8(name));
    }
    return SCARD_S_SUCCESS;
}

long PcscContext::connect(const QString &reader)
{
    if (m_connected)
        disconnect(Disposition::Leave);
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    const LONG rv = SCardConnect(SCARDCONTEXT(m_context), reader.toUtf8().constData(), SCARD_SHARE_SHARED,
                                 SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol);
    if (rv == SCARD_S_SUCCESS) {
        m_card = long(card);
        m_protocol = protocol;
        m_connected = true;
    }
    return rv;
}

long PcscContext::reconnect(Disposition initialization)
{
    DWORD protocol = 0;
    const LONG rv = SCardReconnect(SCARDHANDLE(m_card), SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1,
                                   dispositionCode(initialization), &protocol);
    if (rv == SCARD_S_SUCCESS)
        m_protocol = protocol;
    return rv;
}

long PcscContext::disconnect(Disposition disposition)
{
    if (!m_connected)
        return SCARD_S_SUCCESS;
    m_connected = false;
    return SCardDisconnect(SCARDHANDLE(m_card), dispositionCode(disposition));
}

long PcscContext::beginTransaction()
{
    return SCardBeginTransaction(SCARDHANDLE(m_card));
}

long PcscContext::endTransaction()
{
    return SCardEndTransaction(SCARDHANDLE(m_card), SCARD_LEAVE_CARD);
}

long PcscContext::status(QByteArray *atr) const
{
    BYTE buffer[MAX_ATR_SIZE];
    DWORD atrLength = sizeof buffer;
    DWORD state = 0;
    DWORD protocol = 0;
    DWORD nameLength = 0;
    const LONG rv = SCardStatus(SCARDHANDLE(m_card), nullptr, &nameLength, &state, &protocol, buffer, &atrLength);
    if (rv == SCARD_S_SUCCESS)
        *atr = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(atrLength));
    return rv;
}

long PcscContext::transmit(const QByteArray &command, QByteArray *response)
{
    const SCARD_IO_REQUEST *pci = m_protocol == SCARD_PROTOCOL_T0 ? SCARD_PCI_T0 : SCARD_PCI_T1;
    BYTE buffer[MAX_BUFFER_SIZE];
    DWORD length = sizeof buffer;
    const LONG rv = SCardTransmit(SCARDHANDLE(m_card), pci, reinterpret_cast<const BYTE *>(command.constData()),
                                  DWORD(command.size()), nullptr, buffer, &length);
    response->clear();
    if (rv == SCARD_S_SUCCESS)
        *response = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(length));
    return rv;
}

long PcscContext::waitForChange(const QString &reader, unsigned long *state, int timeoutMs)
{
    const QByteArray name = reader.toUtf8();
    SCARD_READERSTATE readerState{};
    readerState.szReader = name.constData();
    readerState.dwCurrentState = DWORD(*state);
    const LONG rv = SCardGetStatusChange(SCARDCONTEXT(m_context), timeoutMs < 0 ? INFINITE : DWORD(timeoutMs),
                                         &readerState, 1);
    if (rv == SCARD_S_SUCCESS)
        *state = readerState.dwEventState;
    return rv;
}

long PcscContext::cancel() const
{
    return SCardCancel(SCARDCONTEXT(m_context));
}
