#include "pcsc/PcscSession.h"

#include <algorithm>
#include <winscard.h>

using PcscApdu::Command;

namespace {
QByteArray number(int n)
{
    return QByteArray::number(n);
}
} // namespace

PcscSession::PcscSession(const QString &reader)
    : m_reader(reader)
{
    if (reader.startsWith(QLatin1String("ACS ")))
        m_valueSupport = ValueSupport::Offered;
}

PcscSession::~PcscSession() = default;

PcscResult PcscSession::listReaders(QStringList *readers)
{
    PcscResult result;
    readers->clear();
    PcscContext context;
    long rv = context.establish();
    if (rv == SCARD_S_SUCCESS)
        rv = context.listReaders(readers);
    if (rv == SCARD_E_NO_READERS_AVAILABLE)
        rv = SCARD_S_SUCCESS; // an empty list
    if (rv != SCARD_S_SUCCESS) {
        result.failure = PcscErrors::failureOf(rv);
        result.message = PcscErrors::message(result.failure, {}, rv);
    }
    return result;
}

QString PcscSession::valueUnsupportedReason() const
{
    if (m_valueSupport != ValueSupport::Absent)
        return {};
    return QStringLiteral("The reader \"%1\" has no value-block commands, so increment, decrement, restore and transfer "
                          "are not available with it (they are not imitated by reading and writing the block). "
                          "Use a reader that offers them, or the serial module.")
        .arg(m_reader);
}

bool PcscSession::ensureContext(PcscResult &result)
{
    const long rv = m_context.establish();
    if (rv == SCARD_S_SUCCESS)
        return true;
    fail(result, rv);
    return false;
}

bool PcscSession::ensureSelected(PcscResult &result)
{
    if (m_context.isConnected())
        return true;
    result.failure = PcscFailure::NotSelected;
    result.message = PcscErrors::message(result.failure, m_reader);
    return false;
}

long PcscSession::connectCard()
{
    long rv = m_context.isConnected() ? m_context.reconnect(PcscContext::Disposition::Reset) : m_context.connect(m_reader);
    if (rv == SCARD_E_NO_SERVICE || rv == SCARD_E_SERVICE_STOPPED || rv == SCARD_E_INVALID_HANDLE) {
        // The daemon was restarted since the context was made: a new one may reach it.
        m_context.release();
        rv = m_context.establish();
        if (rv == SCARD_S_SUCCESS)
            rv = m_context.connect(m_reader);
    } else if (rv != SCARD_S_SUCCESS && m_context.isConnected()) {
        // The card of the old connection is gone; a new card may be there.
        m_context.disconnect(PcscContext::Disposition::Leave);
        rv = m_context.connect(m_reader);
    }
    return rv;
}

bool PcscSession::cardLeft()
{
    // The daemon notices a card leaving at its next look at the reader, a fraction of a
    // second later; a transmit that failed meanwhile waits for that once.
    unsigned long state = 0;
    if (m_context.waitForChange(m_reader, &state, 0) != SCARD_S_SUCCESS)
        return false;
    if (!(state & PcscContext::StatePresent))
        return true;
    return m_context.waitForChange(m_reader, &state, CardLeftWaitMs) == SCARD_S_SUCCESS
        && !(state & PcscContext::StatePresent);
}

void PcscSession::fail(PcscResult &result, long code)
{
    result.failure = PcscErrors::failureOf(code);
    if (code == SCARD_E_NO_SMARTCARD && !result.exchanges.isEmpty())
        result.failure = PcscFailure::CardRemoved; // it was there for the earlier exchanges
    else if (result.failure == PcscFailure::Other && m_context.isConnected() && cardLeft())
        result.failure = PcscFailure::CardRemoved; // a transmit cut short by the card leaving
    result.message = PcscErrors::message(result.failure, m_reader, code);
    // Whatever failed at this level ends the card session: nothing more is sent.
    m_context.disconnect(PcscContext::Disposition::Leave);
    if (result.failure == PcscFailure::NoService)
        m_context.release();
}

bool PcscSession::exchange(PcscResult &result, const QByteArray &apdu, Command command, const QByteArray &label)
{
    PcscExchange record{apdu, {}, label, {}};
    const long rv = m_context.transmit(apdu, &record.answer);
    if (rv != SCARD_S_SUCCESS) {
        record.meaning = "NO ANSWER (" + PcscErrors::codeName(rv).toLatin1() + ')';
        result.exchanges.append(record);
        fail(result, rv);
        return false;
    }
    record.meaning = PcscApdu::meaning(command, record.answer);
    result.exchanges.append(record);
    switch (PcscApdu::outcome(record.answer)) {
    case PcscApdu::Outcome::Ok: return true;
    case PcscApdu::Outcome::Unsupported:
        result.failure = PcscFailure::Unsupported;
        result.message = PcscErrors::message(result.failure, m_reader)
            + QStringLiteral(" (It answered %1.)").arg(QString::fromLatin1(PcscApdu::statusText(PcscApdu::statusWord(record.answer))));
        return false;
    default:
        result.failure = PcscFailure::CardRefused;
        result.message = QString::fromLatin1(record.meaning);
        return false;
    }
}

PcscResult PcscSession::select()
{
    PcscResult result;
    m_uid.clear();
    if (!ensureContext(result))
        return result;
    const long rv = connectCard();
    if (rv != SCARD_S_SUCCESS) {
        fail(result, rv);
        return result;
    }
    const long statusRv = m_context.status(&m_atr);
    if (statusRv != SCARD_S_SUCCESS) {
        fail(result, statusRv);
        return result;
    }
    m_kind = PcscAtr::cardKind(m_atr);
    m_cardName = PcscAtr::cardName(m_atr);
    if (m_kind == PcscCardKind::Other) {
        m_context.disconnect(PcscContext::Disposition::Leave);
        result.failure = PcscFailure::NotMifare;
        result.message = QStringLiteral("The card on \"%1\" is %2, not a MIFARE Classic 1K, 4K or Ultralight card; "
                                        "this program cannot edit it. Use one of those cards.")
                             .arg(m_reader, m_cardName);
        return result;
    }
    if (exchange(result, PcscApdu::getUid(), Command::GetUid, "(Get UID)")) {
        m_uid = PcscApdu::answerData(result.exchanges.last().answer);
        result.data = m_uid;
    }
    return result;
}

PcscResult PcscSession::halt()
{
    PcscResult result;
    if (!ensureSelected(result))
        return result;
    m_context.disconnect(PcscContext::Disposition::Reset);
    return result;
}

PcscResult PcscSession::authenticate(int block, PcscApdu::Key key, const QByteArray &keyBytes)
{
    PcscResult result;
    if (!ensureSelected(result))
        return result;
    // Load and use the key in one transaction, so no other program's key can come between.
    const long rv = m_context.beginTransaction();
    if (rv != SCARD_S_SUCCESS) {
        fail(result, rv);
        return result;
    }
    const QByteArray keyName = key == PcscApdu::Key::A ? "A" : "B";
    if (exchange(result, PcscApdu::loadKey(keyBytes), Command::LoadKey, "(Load Key) Key " + keyName))
        exchange(result, PcscApdu::authenticate(block, key), Command::Authenticate,
                 "(General Authenticate) Block:" + number(block) + " Key " + keyName);
    if (m_context.isConnected())
        m_context.endTransaction();
    return result;
}

PcscResult PcscSession::read(int block)
{
    PcscResult result;
    if (!ensureSelected(result))
        return result;
    const QByteArray label = m_kind == PcscCardKind::Ultralight ? "(Read Binary) Page:" : "(Read Binary) Block:";
    if (exchange(result, PcscApdu::readBinary(block), Command::Read, label + number(block))) {
        result.data = PcscApdu::answerData(result.exchanges.last().answer);
        if (result.data.size() != 16) {
            result.exchanges.last().meaning = "READ FAILED: " + number(int(result.data.size())) + " BYTES";
            result.failure = PcscFailure::CardRefused;
            result.message = QString::fromLatin1(result.exchanges.last().meaning);
            result.data.clear();
        }
    }
    return result;
}

PcscResult PcscSession::write(int block, const QByteArray &data)
{
    PcscResult result;
    if (!ensureSelected(result))
        return result;
    const bool ultralight = m_kind == PcscCardKind::Ultralight;
    if (data.size() != (ultralight ? 4 : 16)) {
        result.failure = PcscFailure::Other;
        result.message = QStringLiteral("A %1 write takes %2 bytes; nothing was sent.")
                             .arg(ultralight ? QStringLiteral("page") : QStringLiteral("block"))
                             .arg(ultralight ? 4 : 16);
        return result;
    }
    const QByteArray label = ultralight ? "(Update Binary) Page:" : "(Update Binary) Block:";
    exchange(result, PcscApdu::updateBinary(block, data), Command::Write, label + number(block));
    return result;
}

PcscResult PcscSession::valueCommand(const QByteArray &apdu, Command command, const QByteArray &label)
{
    PcscResult result;
    if (m_valueSupport == ValueSupport::Absent) {
        result.failure = PcscFailure::Unsupported;
        result.message = valueUnsupportedReason();
        return result;
    }
    if (!ensureSelected(result))
        return result;
    exchange(result, apdu, command, label);
    if (result.failure == PcscFailure::Unsupported) {
        m_valueSupport = ValueSupport::Absent;
        result.message = valueUnsupportedReason();
    } else if (!result.exchanges.isEmpty() && !result.exchanges.last().answer.isEmpty()) {
        m_valueSupport = ValueSupport::Offered;
    }
    return result;
}

PcscResult PcscSession::readValue(int block)
{
    PcscResult result = valueCommand(PcscApdu::readValue(block), Command::ReadValue, "(Read Value) Block:" + number(block));
    if (result.ok()) {
        result.data = PcscApdu::answerData(result.exchanges.last().answer);
        std::reverse(result.data.begin(), result.data.end());
    }
    return result;
}

PcscResult PcscSession::writeValue(int block, qint32 value)
{
    return valueCommand(PcscApdu::valueOperation(block, PcscApdu::ValueOp::Store, value), Command::ValueOperation,
                        "(Value Block: Store) Block:" + number(block));
}

PcscResult PcscSession::increment(int block, qint32 amount)
{
    return valueCommand(PcscApdu::valueOperation(block, PcscApdu::ValueOp::Increment, amount), Command::ValueOperation,
                        "(Value Block: Increment) Block:" + number(block));
}

PcscResult PcscSession::decrement(int block, qint32 amount)
{
    return valueCommand(PcscApdu::valueOperation(block, PcscApdu::ValueOp::Decrement, amount), Command::ValueOperation,
                        "(Value Block: Decrement) Block:" + number(block));
}

PcscResult PcscSession::restore(int source, int target)
{
    return valueCommand(PcscApdu::restoreValue(source, target), Command::ValueOperation,
                        "(Value Block: Restore) Block:" + number(source) + " to " + number(target));
}
