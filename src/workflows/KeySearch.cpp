#include "workflows/KeySearch.h"

#include "files/CardImage.h"
#include "workflows/CardSectors.h"

QString SectorKeys::text(KeyType type) const
{
    if (const std::optional<ClassicKey> &found = key(type))
        return QString::fromLatin1(found->toHex());
    return (type == KeyType::A ? doneA : doneB) ? QStringLiteral("not found") : QStringLiteral("-");
}

int KeySearchResult::foundCount() const
{
    int found = 0;
    for (const SectorKeys &entry : sectors)
        found += int(entry.keyA.has_value()) + int(entry.keyB.has_value());
    return found;
}

const SectorKeys *KeySearchResult::sector(int sector) const
{
    for (const SectorKeys &entry : sectors) {
        if (entry.sector == sector)
            return &entry;
    }
    return nullptr;
}

QString KeySearchResult::tableText() const
{
    QString text = QStringLiteral("Sector  Key A         Key B\n");
    for (const SectorKeys &entry : sectors) {
        text += QString::number(entry.sector).rightJustified(6) + QStringLiteral("  ")
            + entry.text(KeyType::A).leftJustified(12) + QStringLiteral("  ") + entry.text(KeyType::B) + u'\n';
    }
    return text;
}

QString KeySearch::problem(const KeySearchRequest &request)
{
    const int count = CardSectors::sectorCount(request.card);
    if (count == 0)
        return QStringLiteral("This card type has no keys to search.");
    if (request.keys.isEmpty())
        return QStringLiteral("There are no keys to try.");
    const int last = request.lastSector < 0 ? count - 1 : request.lastSector;
    if (request.firstSector < 0 || last >= count || request.firstSector > last)
        return QStringLiteral("The sectors %1 to %2 are not sectors of this card (0 to %3).")
            .arg(request.firstSector)
            .arg(last)
            .arg(count - 1);
    return {};
}

QList<int> KeySearch::sectorsOf(const KeySearchRequest &request)
{
    if (!problem(request).isEmpty())
        return {};
    const int last = request.lastSector < 0 ? CardSectors::sectorCount(request.card) - 1 : request.lastSector;
    QList<int> sectors;
    for (int sector = request.firstSector; sector <= last; ++sector)
        sectors << sector;
    return sectors;
}

KeySearchResult KeySearch::run(const KeySearchRequest &request, const Attempt &attempt, const Progress &progress)
{
    KeySearchResult result;
    result.card = request.card;
    const QList<int> sectors = sectorsOf(request);
    for (int sector : sectors) {
        result.sectors.append(SectorKeys());
        result.sectors.last().sector = sector;
    }

    QList<KeyType> types;
    if (request.types != KeyTypeChoice::B)
        types << KeyType::A;
    if (request.types != KeyTypeChoice::A)
        types << KeyType::B;

    int found = 0;
    for (qsizetype i = 0; i < sectors.size(); ++i) {
        SectorKeys &entry = result.sectors[i];
        for (KeyType type : types) {
            std::optional<ClassicKey> &slot = type == KeyType::A ? entry.keyA : entry.keyB;
            for (const ClassicKey &key : request.keys) {
                if (progress && !progress({entry.sector, int(i) + 1, int(sectors.size()), result.attempts, found})) {
                    result.cancelled = true;
                    return result;
                }
                const AttemptResult outcome =
                    attempt({entry.sector, CardSectors::firstBlock(entry.sector), type, key});
                if (outcome == AttemptResult::Stop) {
                    result.stopped = true;
                    return result;
                }
                ++result.attempts;
                if (outcome == AttemptResult::Authenticated) {
                    slot = key;
                    ++found;
                    break;
                }
            }
            (type == KeyType::A ? entry.doneA : entry.doneB) = true;
        }
    }
    return result;
}

int KeySearch::fillTrailerKeys(CardImage &image, const KeySearchResult &result)
{
    if (image.type() != result.card)
        return 0;
    int written = 0;
    for (const SectorKeys &entry : result.sectors) {
        const int trailer = CardSectors::trailerBlock(entry.sector) * image.blockSize();
        for (KeyType type : {KeyType::A, KeyType::B}) {
            const std::optional<ClassicKey> &key = entry.key(type);
            if (!key)
                continue;
            const int first = trailer + (type == KeyType::A ? 0 : 10);
            for (int i = 0; i < 6; ++i)
                image.setByte(first + i, key->bytes[i]);
            ++written;
        }
    }
    return written;
}
