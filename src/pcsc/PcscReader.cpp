#include "pcsc/PcscReader.h"

#include "card/CardGeometry.h"
#include "link/CommandLog.h"
#include "pcsc/PcscCardWaiter.h"
#include "pcsc/PcscError.h"
#include "pcsc/PcscSession.h"

namespace {

const QByteArray Seeking = QByteArrayLiteral("SEEKING FOR TAG");
const QByteArray SeekingNew = QByteArrayLiteral("Take the card away and put the next one on the reader.");

QByteArray number(int n)
{
    return QByteArray::number(n);
}

PcscCardKind kindOf(CardType card)
{
    switch (card) {
    case CardType::Mifare4K: return PcscCardKind::Classic4K;
    case CardType::MifareUL: return PcscCardKind::Ultralight;
    default: return PcscCardKind::Classic1K;
    }
}

QByteArray chosenName(CardType card)
{
    switch (card) {
    case CardType::Mifare4K: return "MIFARE CLASSIC 4K";
    case CardType::MifareUL: return "MIFARE ULTRALIGHT";
    default: return "MIFARE CLASSIC 1K";
    }
}

QByteArray spacedHex(const QByteArray &bytes)
{
    return bytes.toHex(' ').toUpper();
}

// Failures after which the card session is over: the action stops with one message.
bool endsTheAction(PcscFailure failure)
{
    switch (failure) {
    case PcscFailure::CardRemoved:
    case PcscFailure::ReaderGone:
    case PcscFailure::NoReader:
    case PcscFailure::SharingViolation:
    case PcscFailure::NoService:
    case PcscFailure::Other: return true;
    default: return false;
    }
}

qint32 valueOf(const QByteArray &leastSignificantFirst)
{
    QByteArray bytes = leastSignificantFirst.left(4);
    bytes.append(QByteArray(4 - bytes.size(), '\0'));
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(i));
    return qint32(value);
}

} // namespace

PcscReader::PcscReader(CommandLog &log, QObject *parent)
    : QObject(parent)
    , m_log(log)
    , m_waiter(new PcscCardWaiter(this))
{
    connect(m_waiter, &PcscCardWaiter::cardPresent, this, &PcscReader::onCardPresent);
    connect(m_waiter, &PcscCardWaiter::failed, this, &PcscReader::onWaitFailed);
}

PcscReader::~PcscReader()
{
    m_waiter->cancel();
}

void PcscReader::setReaderName(const QString &name)
{
    if (name == m_name)
        return;
    m_waiter->cancel();
    m_seeking = false;
    m_session.reset();
    m_name = name;
}

PcscSession &PcscReader::session()
{
    if (!m_session)
        m_session = std::make_unique<PcscSession>(m_name);
    return *m_session;
}

ReaderCapabilities PcscReader::capabilities() const
{
    const bool values = !m_session || m_session->valueSupport() != PcscSession::ValueSupport::Absent;
    return ReaderCapabilities {values, true, false, false, 0, true};
}

QString PcscReader::keySourceRefusal(const KeySource &key)
{
    switch (key.kind) {
    case KeySource::Kind::Bytes:
        return key.bytes.size() == 6 ? QString() : QStringLiteral("A key takes six bytes.");
    case KeySource::Kind::ReaderDefault:
        return QStringLiteral("A PC/SC reader has no default key of the module: choose the typed key and enter it.");
    case KeySource::Kind::StoreSlot:
        return QStringLiteral("A PC/SC reader has no key store of the module: choose the typed key and enter it.");
    }
    return {};
}

void PcscReader::setTagStatus(const QByteArray &text)
{
    m_tagStatus = text;
    m_log.setStatus(text);
}

void PcscReader::logAndCheck(const PcscResult &result)
{
    for (const PcscExchange &exchange : result.exchanges) {
        m_log.appendLine(exchange.requestLine());
        m_log.appendLine(exchange.answerLine());
    }
    if (endsTheAction(result.failure)) {
        m_seeking = false;
        m_tagStatus.clear();
        m_log.setStatus(result.message.toLocal8Bit());
        throw PcscError(result.failure, result.message);
    }
}

ReaderResult PcscReader::resultOf(const PcscResult &result, ReaderOutcome failed)
{
    ReaderResult out;
    out.data = result.data;
    if (!result.exchanges.isEmpty()) {
        const PcscExchange &last = result.exchanges.last();
        out.exchange = ReaderExchange {last.request, last.answer, spacedHex(last.answer), last.meaning};
    }
    switch (result.failure) {
    case PcscFailure::None: out.outcome = ReaderOutcome::Done; break;
    case PcscFailure::NoCard:
    case PcscFailure::NotSelected: out.outcome = ReaderOutcome::NoTag; break;
    case PcscFailure::Unsupported: out.outcome = ReaderOutcome::Unsupported; break;
    default: out.outcome = failed; break;
    }
    return out;
}

ReaderResult PcscReader::refusal(ReaderOutcome outcome, const QString &reason)
{
    const QByteArray text = reason.toLocal8Bit();
    m_log.appendLine("PC/SC: " + text);
    m_log.setStatus(m_tagStatus.isEmpty() ? text : m_tagStatus + " | " + text);
    ReaderResult out;
    out.outcome = outcome;
    out.exchange.meaning = text;
    return out;
}

ReaderResult PcscReader::selectNow(CardType card)
{
    const PcscResult result = session().select();
    logAndCheck(result);
    if (result.failure == PcscFailure::NoCard) {
        setTagStatus("NO TAG FOUND");
        return resultOf(result, ReaderOutcome::NoTag);
    }
    if (!result.ok()) {
        // Not a MIFARE card, or the UID not answered: named, and refused.
        const QByteArray text = result.message.toLocal8Bit();
        if (result.exchanges.isEmpty())
            m_log.appendLine("PC/SC: " + text);
        setTagStatus(text);
        return resultOf(result, ReaderOutcome::Failed);
    }
    const PcscSession &s = *m_session;
    QByteArray status = "TAG TYPE:" + s.cardName().toLatin1() + " | TAG SERIAL # " + result.data.toHex().toUpper();
    if (s.cardKind() != kindOf(card)) {
        // The commands go on with the chosen type; the user is told the card differs.
        const QByteArray note = "THE CARD IS " + s.cardName().toLatin1().toUpper() + ", NOT THE CHOSEN "
                                + chosenName(card);
        m_log.appendLine("PC/SC: " + note);
        status += " | " + note;
    }
    setTagStatus(status);
    ReaderResult out = resultOf(result, ReaderOutcome::Failed);
    // The serial as hex text, as every reader gives it (the session answers its bytes).
    out.data = result.data.toHex().toUpper();
    return out;
}

ReaderResult PcscReader::select(CardType card)
{
    return selectNow(card);
}

ReaderResult PcscReader::seek(CardType card)
{
    m_waiter->cancel();
    m_seeking = false;
    const ReaderResult now = selectNow(card);
    if (now.outcome != ReaderOutcome::NoTag)
        return now;
    // No card yet: the waiter reports it when it comes, without blocking the window.
    return waitForTag(card, false);
}

ReaderResult PcscReader::seekNewCard(CardType card)
{
    m_waiter->cancel();
    m_seeking = false;
    return waitForTag(card, true);
}

ReaderResult PcscReader::waitForTag(CardType card, bool newCard)
{
    const QByteArray &text = newCard ? SeekingNew : Seeking;
    m_seekCard = card;
    m_seeking = true;
    m_waiter->start(m_name, newCard ? PcscCardWaiter::Wait::ForNewCard : PcscCardWaiter::Wait::ForCard);
    m_log.appendLine("PC/SC: " + text);
    setTagStatus(text);
    ReaderResult waiting;
    waiting.outcome = ReaderOutcome::Waiting;
    waiting.exchange.meaning = text;
    return waiting;
}

bool PcscReader::seekWaiting() const
{
    return m_seeking;
}

void PcscReader::onCardPresent()
{
    if (!m_seeking)
        return;
    try {
        const ReaderResult selected = selectNow(m_seekCard);
        if (selected.outcome == ReaderOutcome::NoTag) {
            // Gone again before it could be selected: wait on.
            m_waiter->start(m_name);
            return;
        }
    } catch (const PcscError &) {
        // Already logged and shown in the status bar; the seek is over.
    }
    seekEnded();
}

void PcscReader::onWaitFailed(PcscFailure failure, const QString &message)
{
    Q_UNUSED(failure);
    if (!m_seeking)
        return;
    const QByteArray text = message.toLocal8Bit();
    m_log.appendLine("PC/SC: " + text);
    m_log.setStatus(text);
    seekEnded();
}

void PcscReader::seekEnded()
{
    m_seeking = false;
    if (m_tagArrived)
        m_tagArrived();
}

ReaderResult PcscReader::halt()
{
    m_waiter->cancel();
    m_seeking = false;
    const PcscResult result = session().halt();
    logAndCheck(result);
    // No APDU: the card session ends (the card is reset), which the log still shows.
    m_log.appendLine("PC/SC: (Halt Command) card session ended  PICC HALTED");
    setTagStatus("PICC IS HALTED");
    ReaderResult out = resultOf(result, ReaderOutcome::Done);
    out.outcome = ReaderOutcome::Done; // as with the module: any end counts as halted
    return out;
}

ReaderResult PcscReader::authenticate(int block, const KeySource &key)
{
    const QString refused = keySourceRefusal(key);
    if (!refused.isEmpty())
        return refusal(ReaderOutcome::Unsupported, refused);
    const PcscApdu::Key type = key.type == KeySource::Type::B ? PcscApdu::Key::B : PcscApdu::Key::A;
    const PcscResult result = session().authenticate(block, type, key.bytes);
    logAndCheck(result);
    m_log.setStatus(m_tagStatus + (result.ok() ? " | Authentication is OK!" : " | Authentication is failed!"));
    return resultOf(result, ReaderOutcome::Failed);
}

ReaderResult PcscReader::read(int block, CardType card)
{
    const PcscResult result = session().read(block);
    logAndCheck(result);
    const bool ultralight = card == CardType::MifareUL;
    QByteArray where = " | Block No:" + number(block);
    if (ultralight) {
        where = " | Page No:" + number(block);
        for (int i = 1; i < CardGeometry::PagesPerRead; ++i)
            where += "-" + number(CardGeometry::pageOfRead(block, i));
    }
    if (result.ok())
        m_log.setStatus(m_tagStatus + where + " | READ OK! " + spacedHex(result.data));
    else
        m_log.setStatus(m_tagStatus + where + " | Read Failed! " + result.message.toLocal8Bit());
    return resultOf(result, ReaderOutcome::Failed);
}

ReaderResult PcscReader::writeBlock(int block, const QByteArray &sixteenBytes)
{
    const PcscResult result = session().write(block, sixteenBytes);
    logAndCheck(result);
    m_log.setStatus(m_tagStatus + " | Block No:" + number(block)
                    + (result.ok() ? QByteArray(" | WRITE OK!") : " | Write is failed! " + result.message.toLocal8Bit()));
    return resultOf(result, ReaderOutcome::Failed);
}

ReaderResult PcscReader::writePage(int page, const QByteArray &fourBytes)
{
    const PcscResult result = session().write(page, fourBytes);
    logAndCheck(result);
    m_log.setStatus(m_tagStatus + " | Page No:" + number(page)
                    + (result.ok() ? QByteArray(" | WRITE OK!") : " | Write is failed! " + result.message.toLocal8Bit()));
    return resultOf(result, ReaderOutcome::Failed);
}

ReaderResult PcscReader::readValue(int block)
{
    const PcscResult result = session().readValue(block);
    logAndCheck(result);
    if (result.failure == PcscFailure::Unsupported && result.exchanges.isEmpty())
        return refusal(ReaderOutcome::Unsupported, result.message);
    m_log.setStatus(m_tagStatus + (result.ok() ? " | VALUE READ OK! " + spacedHex(result.data)
                                               : " | Read Failed! " + result.message.toLocal8Bit()));
    return resultOf(result, ReaderOutcome::Failed);
}

ReaderResult PcscReader::changeValue(ValueOperation operation, int block, const QByteArray &fourBytes)
{
    const qint32 value = valueOf(fourBytes);
    PcscSession &s = session();
    const PcscResult result = operation == ValueOperation::Increment   ? s.increment(block, value)
                              : operation == ValueOperation::Decrement ? s.decrement(block, value)
                                                                       : s.writeValue(block, value);
    logAndCheck(result);
    if (result.failure == PcscFailure::Unsupported && result.exchanges.isEmpty())
        return refusal(ReaderOutcome::Unsupported, result.message);
    m_log.setStatus(m_tagStatus + (result.ok() ? QByteArray(" | WRITE OK!")
                                               : " | Write is failed! " + result.message.toLocal8Bit()));
    return resultOf(result, ReaderOutcome::Failed);
}
