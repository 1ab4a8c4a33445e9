#include "VirtualModule.h"

#include "ClassicCard.h"
#include "ModuleCommand.h"
#include "SimFrame.h"
#include "UltralightCard.h"

#include <algorithm>
#include <iterator>

namespace {
constexpr qint32 Speeds[] = {9600, 19200, 38400, 57600, 115200};

qint32 valueOf(const QByteArray &bytes)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value |= quint32(quint8(bytes.at(i))) << (8 * i);
    return qint32(value);
}

QString statusNote(char statusByte)
{
    if (statusByte >= 0x20 && statusByte < 0x7F)
        return QStringLiteral("status %1").arg(QLatin1Char(statusByte));
    return QStringLiteral("status %1").arg(quint8(statusByte), 2, 16, QLatin1Char('0'));
}
} // namespace

VirtualModule::VirtualModule(std::unique_ptr<VirtualCard> card)
    : m_card(card ? std::move(card) : VirtualCard::create(CardKind::Classic1K))
{
    m_keysA.fill(defaultKey());
    m_keysB.fill(defaultKey());
    updateCardPower();
}

QList<SimAnswer> VirtualModule::handleFrame(const QByteArray &frame)
{
    using namespace ModuleCommand;
    const quint8 command = SimFrame::command(frame);
    const QByteArray data = SimFrame::data(frame);

    // Any byte wakes a sleeping module; any new command ends a waiting seek.
    if (m_asleep) {
        m_asleep = false;
        updateCardPower();
    }
    m_seekPending = false;

    switch (command) {
    case Reset:
        m_rfOn = true;
        m_outputPins = 0;
        m_card->powerDown();
        updateCardPower();
        return {finish(SimFrame::build(Reset, versionText()), m_resetLate ? m_lateDelayMs : ResetTimeMs,
                       QStringLiteral("version after reset"))};
    case Version:
        return {finish(SimFrame::build(Version, versionText()), ModuleTimeMs, QStringLiteral("version"))};
    case Seek:
        if (!data.isEmpty())
            return {status(command, ModuleStatus::Failed, ModuleTimeMs)};
        if (cardReachable() && m_card->select())
            return {tagReport(Seek)};
        // Still looking: the tag report follows when a tag arrives.
        m_seekPending = true;
        return {status(command, ModuleStatus::Ok, ModuleTimeMs)};
    case Select:
        if (!data.isEmpty())
            return {status(command, ModuleStatus::Failed, ModuleTimeMs)};
        if (cardReachable() && m_card->select())
            return {tagReport(Select)};
        return {status(command, ModuleStatus::NoTag, m_cardTimeMs)};
    case Halt:
        return {status(command, cardReachable() && m_card->halt() ? ModuleStatus::Ok : ModuleStatus::NoTag, m_cardTimeMs)};
    case Authenticate:
        return {authenticate(data)};
    case Read:
        if (data.size() != 1)
            return {status(command, ModuleStatus::Failed, ModuleTimeMs)};
        if (!cardActive())
            return {status(command, ModuleStatus::NoTag, m_cardTimeMs)};
        return {fromOutcome(command, quint8(data.at(0)), m_card->read(quint8(data.at(0))))};
    case Write:
    case WritePage:
        return {write(command, data)};
    case ReadValue:
    case WriteValue:
    case Increment:
    case Decrement:
        return {valueCommand(command, data)};
    case WriteKey:
        return {writeKey(data)};
    case RfField:
        if (data.size() != 1 || quint8(data.at(0)) > 1)
            return {status(command, ModuleStatus::Failed, ModuleTimeMs)};
        m_rfOn = data.at(0) == 1;
        updateCardPower();
        return {status(command, char(m_rfOn ? 1 : 0), ModuleTimeMs)};
    case ReadInputs:
        return {status(command, char(m_inputPins), ModuleTimeMs)};
    case WriteOutputs:
        if (data.size() != 1)
            return {status(command, ModuleStatus::Failed, ModuleTimeMs)};
        m_outputPins = quint8(data.at(0)) & 3;
        return {status(command, char(m_outputPins), ModuleTimeMs)};
    case SetBaud: {
        const auto speed = data.size() == 1 ? speedOfCode(quint8(data.at(0))) : std::nullopt;
        if (!speed)
            return {status(command, ModuleStatus::Failed, ModuleTimeMs)};
        // The module switches at once and answers at the new speed some time later.
        m_speed = *speed;
        return {status(command, ModuleStatus::Ok, BaudAnswerDelayMs)};
    }
    case Sleep:
        m_asleep = true;
        updateCardPower();
        return {status(command, ModuleStatus::Ok, ModuleTimeMs)};
    default:
        return {status(command, ModuleStatus::Failed, ModuleTimeMs)};
    }
}

QList<SimAnswer> VirtualModule::takeUnsolicited()
{
    QList<SimAnswer> answers;
    answers.swap(m_unsolicited);
    return answers;
}

void VirtualModule::setTagPresent(bool present)
{
    m_tagPresent = present;
    updateCardPower();
}

void VirtualModule::setCard(std::unique_ptr<VirtualCard> card)
{
    if (!card)
        return;
    m_card = std::move(card);
    updateCardPower();
}

ClassicCard *VirtualModule::classicCard()
{
    return dynamic_cast<ClassicCard *>(m_card.get());
}

UltralightCard *VirtualModule::ultralightCard()
{
    return dynamic_cast<UltralightCard *>(m_card.get());
}

bool VirtualModule::setSpeed(qint32 speed)
{
    if (!isSupportedSpeed(speed))
        return false;
    m_speed = speed;
    return true;
}

std::optional<qint32> VirtualModule::speedOfCode(int code)
{
    if (code < 0 || code >= int(std::size(Speeds)))
        return std::nullopt;
    return Speeds[code];
}

bool VirtualModule::isSupportedSpeed(qint32 speed)
{
    return std::find(std::begin(Speeds), std::end(Speeds), speed) != std::end(Speeds);
}

QByteArray VirtualModule::storedKey(int slot, KeyType key) const
{
    if (slot < 0 || slot >= KeySlots)
        return {};
    return key == KeyType::A ? m_keysA.at(std::size_t(slot)) : m_keysB.at(std::size_t(slot));
}

void VirtualModule::setStoredKey(int slot, KeyType key, const QByteArray &bytes)
{
    if (slot < 0 || slot >= KeySlots || bytes.size() != 6)
        return;
    (key == KeyType::A ? m_keysA : m_keysB)[std::size_t(slot)] = bytes;
}

QByteArray VirtualModule::defaultKey()
{
    return QByteArray(6, char(0x5C));
}

QByteArray VirtualModule::versionText()
{
    return QByteArrayLiteral("MIFARE-SIM V1.0");
}

void VirtualModule::injectFault(SimFault fault, int count)
{
    const bool writeFault = fault == SimFault::WriteStatusU || fault == SimFault::WriteStatusX;
    for (int i = 0; i < count; ++i)
        (writeFault ? m_writeFaults : m_answerFaults).append(fault);
}

void VirtualModule::clearFaults()
{
    m_answerFaults.clear();
    m_writeFaults.clear();
}

SimAnswer VirtualModule::finish(const QByteArray &frame, int delayMs, const QString &note)
{
    SimAnswer answer{frame, delayMs, note};
    if (m_answerFaults.isEmpty())
        return answer;
    const SimFault fault = m_answerFaults.takeFirst();
    answer.note += QStringLiteral(" [fault %1]").arg(simFaultName(fault));
    switch (fault) {
    case SimFault::NoAnswer:
        answer.bytes.clear();
        break;
    case SimFault::BadChecksum:
        answer.bytes.back() = char(quint8(answer.bytes.back()) + 1);
        break;
    case SimFault::Truncated:
        answer.bytes.chop(2);
        break;
    case SimFault::OversizeLength: {
        // A complete, correctly summed frame whose Length (80) no receive buffer of
        // 65 + 1 bytes can take.
        QByteArray data = SimFrame::data(frame);
        data = data.leftJustified(79, char(0));
        answer.bytes = SimFrame::build(SimFrame::command(frame), data);
        break;
    }
    case SimFault::Garbage:
        answer.bytes.prepend(QByteArray::fromHex("3CA502"));
        break;
    case SimFault::Late:
        answer.delayMs += m_lateDelayMs;
        break;
    case SimFault::WriteStatusU:
    case SimFault::WriteStatusX:
        break;
    }
    return answer;
}

SimAnswer VirtualModule::status(quint8 command, char statusByte, int delayMs)
{
    return finish(SimFrame::status(command, statusByte), delayMs, statusNote(statusByte));
}

SimAnswer VirtualModule::fromOutcome(quint8 command, quint8 number, const CardOutcome &outcome)
{
    if (!outcome.ok())
        return status(command, outcome.status, m_cardTimeMs);
    return finish(SimFrame::build(command, char(number) + outcome.data), m_cardTimeMs, QStringLiteral("data"));
}

bool VirtualModule::cardReachable() const
{
    return m_tagPresent && m_rfOn && !m_asleep;
}

bool VirtualModule::cardActive() const
{
    return cardReachable() && m_card->isActive();
}

void VirtualModule::updateCardPower()
{
    if (!cardReachable()) {
        m_card->powerDown();
        return;
    }
    if (m_card->state() == VirtualCard::State::Unpowered)
        m_card->powerUp();
    completeSeek();
}

void VirtualModule::completeSeek()
{
    if (!m_seekPending || !cardReachable() || !m_card->select())
        return;
    m_seekPending = false;
    m_unsolicited.append(tagReport(ModuleCommand::Seek));
}

SimAnswer VirtualModule::tagReport(quint8 command)
{
    // The serial goes out last byte first: the program shows the received bytes in
    // reverse, which gives the UID in the order the card's memory holds it.
    QByteArray report(1, char(m_card->typeCode()));
    const QByteArray uid = m_card->uid();
    for (qsizetype i = uid.size() - 1; i >= 0; --i)
        report.append(uid.at(i));
    return finish(SimFrame::build(command, report), m_cardTimeMs, QStringLiteral("tag report"));
}

std::optional<SimFault> VirtualModule::takeWriteFault()
{
    if (m_writeFaults.isEmpty())
        return std::nullopt;
    return m_writeFaults.takeFirst();
}

SimAnswer VirtualModule::authenticate(const QByteArray &data)
{
    const quint8 command = ModuleCommand::Authenticate;
    if (data.size() < 2)
        return status(command, ModuleStatus::Failed, ModuleTimeMs);
    const int block = quint8(data.at(0));
    const quint8 code = quint8(data.at(1));
    KeyType key = KeyType::A;
    QByteArray keyBytes;
    if (code == 0xFF && data.size() == 2) {
        keyBytes = defaultKey();
    } else if (code >= 0x10 && code <= 0x2F && data.size() == 2) {
        key = code < 0x20 ? KeyType::A : KeyType::B;
        keyBytes = storedKey(code & 0x0F, key);
    } else if ((code == 0xAA || code == 0xBB) && data.size() == 8) {
        key = code == 0xAA ? KeyType::A : KeyType::B;
        keyBytes = data.mid(2, 6);
    } else {
        return status(command, ModuleStatus::Failed, ModuleTimeMs);
    }
    if (!cardActive())
        return status(command, ModuleStatus::NoTag, m_cardTimeMs);
    const CardOutcome outcome = m_card->authenticate(block, key, keyBytes);
    return status(command, outcome.ok() ? ModuleStatus::Ok : outcome.status, m_cardTimeMs);
}

SimAnswer VirtualModule::write(quint8 command, const QByteArray &data)
{
    const bool page = command == ModuleCommand::WritePage;
    if (data.size() != (page ? 5 : 17))
        return status(command, ModuleStatus::Failed, ModuleTimeMs);
    if (!cardActive())
        return status(command, ModuleStatus::NoTag, m_cardTimeMs);
    const quint8 number = quint8(data.at(0));
    const CardOutcome outcome = page ? m_card->writePage(number, data.mid(1)) : m_card->writeBlock(number, data.mid(1));
    // A refused write leaves an injected write status waiting for the next one.
    const bool written = outcome.ok() || outcome.status == ModuleStatus::NoReadBack;
    if (written) {
        if (const auto fault = takeWriteFault()) {
            const char forced = *fault == SimFault::WriteStatusU ? ModuleStatus::ReadBackFailed : ModuleStatus::NoReadBack;
            SimAnswer answer = status(command, forced, m_cardTimeMs);
            answer.note += QStringLiteral(" [fault %1]").arg(simFaultName(*fault));
            return answer;
        }
    }
    return fromOutcome(command, number, outcome);
}

SimAnswer VirtualModule::valueCommand(quint8 command, const QByteArray &data)
{
    using namespace ModuleCommand;
    const bool withOperand = command != ReadValue;
    if (data.size() != (withOperand ? 5 : 1))
        return status(command, ModuleStatus::Failed, ModuleTimeMs);
    if (!cardActive())
        return status(command, ModuleStatus::NoTag, m_cardTimeMs);
    const quint8 block = quint8(data.at(0));
    const qint32 operand = withOperand ? valueOf(data.mid(1)) : 0;
    CardOutcome outcome;
    switch (command) {
    case ReadValue: outcome = m_card->readValue(block); break;
    case WriteValue: outcome = m_card->writeValue(block, operand); break;
    case Increment: outcome = m_card->increment(block, operand); break;
    default: outcome = m_card->decrement(block, operand); break;
    }
    return fromOutcome(command, block, outcome);
}

SimAnswer VirtualModule::writeKey(const QByteArray &data)
{
    const quint8 command = ModuleCommand::WriteKey;
    if (data.size() != 8 || quint8(data.at(0)) >= KeySlots || (quint8(data.at(1)) != 0xAA && quint8(data.at(1)) != 0xBB))
        return status(command, ModuleStatus::NoTag, ModuleTimeMs);
    setStoredKey(quint8(data.at(0)), quint8(data.at(1)) == 0xAA ? KeyType::A : KeyType::B, data.mid(2, 6));
    return status(command, ModuleStatus::Ok, ModuleTimeMs);
}
