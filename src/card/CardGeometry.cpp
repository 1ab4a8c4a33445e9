#include "card/CardGeometry.h"

QList<int> CardGeometry::authenticationPoints() const
{
    QList<int> points;
    for (int sector = 0; sector < sectorCount(); ++sector)
        points << firstBlockOfSector(sector);
    return points;
}

QList<int> CardGeometry::wholeCardReads() const
{
    QList<int> numbers;
    const int step = classic() ? 1 : PagesPerRead;
    for (int n = 0; n < blockCount(); n += step)
        numbers << n;
    return numbers;
}

QByteArray CardGeometry::code() const
{
    switch (m_type) {
    case CardType::Mifare1K: return "1";
    case CardType::Mifare4K: return "4";
    case CardType::MifareUL: return "U";
    }
    return "1";
}

std::optional<CardType> CardGeometry::typeOfCode(const QByteArray &code)
{
    for (const CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL}) {
        if (CardGeometry(type).code() == code)
            return type;
    }
    return std::nullopt;
}
