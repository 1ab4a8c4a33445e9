#include "pcsc/PcscCardKind.h"

namespace PcscAtr {
namespace {
// The storage-card prefix up to and including the registered application provider.
const QByteArray StoragePrefix = QByteArray::fromHex("3B8F8001804F0CA000000306");

// Standard byte 03 (ISO 14443-3 type A) and the card-name bytes, or -1.
int storageCardName(const QByteArray &atr)
{
    if (atr.size() < 15 || !atr.startsWith(StoragePrefix))
        return -1;
    return (quint8(atr.at(13)) << 8) | quint8(atr.at(14));
}

// Names of the common card-name codes; the program edits only the first three.
QString knownName(int code)
{
    switch (code) {
    case 0x0001: return QStringLiteral("MIFARE Classic 1K");
    case 0x0002: return QStringLiteral("MIFARE Classic 4K");
    case 0x0003: return QStringLiteral("MIFARE Ultralight");
    case 0x0026: return QStringLiteral("MIFARE Mini");
    case 0x0036: return QStringLiteral("MIFARE Plus 2K (SL1)");
    case 0x0037: return QStringLiteral("MIFARE Plus 4K (SL1)");
    case 0x0038: return QStringLiteral("MIFARE Plus 2K (SL2)");
    case 0x0039: return QStringLiteral("MIFARE Plus 4K (SL2)");
    case 0x003A: return QStringLiteral("MIFARE Ultralight C");
    case 0x003B: return QStringLiteral("FeliCa");
    case 0x0014: return QStringLiteral("ICODE SLI");
    default: return {};
    }
}
} // namespace

PcscCardKind cardKind(const QByteArray &atr)
{
    // The standard byte must say ISO 14443-3 type A: the same name codes mean other
    // cards under other standards.
    if (storageCardName(atr) < 0 || quint8(atr.at(12)) != 0x03)
        return PcscCardKind::Other;
    switch (storageCardName(atr)) {
    case 0x0001: return PcscCardKind::Classic1K;
    case 0x0002: return PcscCardKind::Classic4K;
    case 0x0003: return PcscCardKind::Ultralight;
    default: return PcscCardKind::Other;
    }
}

QString cardName(const QByteArray &atr)
{
    const int code = storageCardName(atr);
    if (code >= 0) {
        // A MIFARE name under another standard byte is no MIFARE card the reader knows.
        const bool mifareCode = code >= 0x0001 && code <= 0x0003;
        const QString name = mifareCode && cardKind(atr) == PcscCardKind::Other ? QString() : knownName(code);
        if (!name.isEmpty())
            return name;
        return QStringLiteral("a storage card of type %1")
            .arg(QString::fromLatin1(atr.mid(13, 2).toHex(' ').toUpper()));
    }
    // Cards with their own operating system (ISO 14443-4) carry their historical
    // bytes after 3B 8x 80 01.
    if (atr.size() >= 4 && quint8(atr.at(0)) == 0x3B && (quint8(atr.at(1)) & 0xF0) == 0x80 && quint8(atr.at(2)) == 0x80
        && quint8(atr.at(3)) == 0x01)
        return QStringLiteral("a smart card with its own operating system (ISO 14443-4, such as MIFARE DESFire)");
    return QStringLiteral("an unknown card (ATR %1)").arg(QString::fromLatin1(atr.toHex(' ').toUpper()));
}

bool checkByteValid(const QByteArray &atr)
{
    if (atr.size() < 2)
        return false;
    quint8 check = 0;
    for (qsizetype i = 1; i < atr.size(); ++i)
        check ^= quint8(atr.at(i));
    return check == 0;
}

} // namespace PcscAtr
