#include "VirtualCard.h"

#include "ClassicCard.h"
#include "UltralightCard.h"

bool VirtualCard::setImage(const QByteArray &image)
{
    if (image.size() != memorySize())
        return false;
    m_memory = image;
    endSession();
    return true;
}

void VirtualCard::powerUp()
{
    if (m_state == State::Unpowered)
        m_state = State::Idle;
}

void VirtualCard::powerDown()
{
    m_state = State::Unpowered;
    endSession();
}

bool VirtualCard::select()
{
    if (m_state == State::Unpowered)
        return false;
    m_state = State::Active;
    endSession();
    return true;
}

bool VirtualCard::halt()
{
    if (m_state != State::Active)
        return false;
    m_state = State::Halted;
    endSession();
    return true;
}

CardOutcome VirtualCard::authenticate(int, KeyType, const QByteArray &)
{
    return CardOutcome::failure(ModuleStatus::Failed);
}

CardOutcome VirtualCard::writeBlock(int, const QByteArray &)
{
    return CardOutcome::failure(ModuleStatus::Failed);
}

CardOutcome VirtualCard::writePage(int, const QByteArray &)
{
    return CardOutcome::failure(ModuleStatus::Failed);
}

CardOutcome VirtualCard::readValue(int)
{
    return CardOutcome::failure(ModuleStatus::Failed);
}

CardOutcome VirtualCard::writeValue(int, qint32)
{
    return CardOutcome::failure(ModuleStatus::Failed);
}

CardOutcome VirtualCard::increment(int, qint32)
{
    return CardOutcome::failure(ModuleStatus::Failed);
}

CardOutcome VirtualCard::decrement(int, qint32)
{
    return CardOutcome::failure(ModuleStatus::Failed);
}

std::unique_ptr<VirtualCard> VirtualCard::create(CardKind kind, const QByteArray &uid)
{
    const QByteArray id = uid.isEmpty() ? defaultUid(kind) : uid;
    if (id.size() != uidLength(kind))
        return nullptr;
    if (kind == CardKind::Ultralight)
        return std::make_unique<UltralightCard>(id);
    return std::make_unique<ClassicCard>(kind == CardKind::Classic4K, id);
}

int VirtualCard::uidLength(CardKind kind)
{
    return kind == CardKind::Ultralight ? 7 : 4;
}

QByteArray VirtualCard::defaultUid(CardKind kind)
{
    switch (kind) {
    case CardKind::Classic1K: return QByteArray::fromHex("A1B2C3D4");
    case CardKind::Classic4K: return QByteArray::fromHex("B4C3D2E1");
    case CardKind::Ultralight: return QByteArray::fromHex("1A2B3C4D5E6F70");
    }
    return {};
}

QString VirtualCard::kindName(CardKind kind)
{
    switch (kind) {
    case CardKind::Classic1K: return QStringLiteral("1k");
    case CardKind::Classic4K: return QStringLiteral("4k");
    case CardKind::Ultralight: return QStringLiteral("ul");
    }
    return {};
}

std::optional<CardKind> VirtualCard::parseKind(const QString &name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("1k"))
        return CardKind::Classic1K;
    if (n == QLatin1String("4k"))
        return CardKind::Classic4K;
    if (n == QLatin1String("ul"))
        return CardKind::Ultralight;
    return std::nullopt;
}
