#include "pcsc/PcscFailure.h"

#include <winscard.h>

namespace PcscErrors {

PcscFailure failureOf(long code)
{
    switch (code) {
    case SCARD_S_SUCCESS: return PcscFailure::None;
    case SCARD_E_NO_SMARTCARD: return PcscFailure::NoCard;
    case SCARD_W_REMOVED_CARD:
    case SCARD_W_UNPOWERED_CARD:
    case SCARD_W_UNRESPONSIVE_CARD: return PcscFailure::CardRemoved;
    case SCARD_E_UNKNOWN_READER:
    case SCARD_E_READER_UNAVAILABLE: return PcscFailure::ReaderGone;
    case SCARD_E_NO_READERS_AVAILABLE: return PcscFailure::NoReader;
    case SCARD_E_SHARING_VIOLATION: return PcscFailure::SharingViolation;
    case SCARD_E_NO_SERVICE:
    case SCARD_E_SERVICE_STOPPED: return PcscFailure::NoService;
    default: return PcscFailure::Other;
    }
}

QString codeName(long code)
{
    switch (code) {
    case SCARD_S_SUCCESS: return QStringLiteral("SCARD_S_SUCCESS");
    case SCARD_E_NO_SMARTCARD: return QStringLiteral("SCARD_E_NO_SMARTCARD");
    case SCARD_W_REMOVED_CARD: return QStringLiteral("SCARD_W_REMOVED_CARD");
    case SCARD_W_UNPOWERED_CARD: return QStringLiteral("SCARD_W_UNPOWERED_CARD");
    case SCARD_W_UNRESPONSIVE_CARD: return QStringLiteral("SCARD_W_UNRESPONSIVE_CARD");
    case SCARD_W_RESET_CARD: return QStringLiteral("SCARD_W_RESET_CARD");
    case SCARD_E_UNKNOWN_READER: return QStringLiteral("SCARD_E_UNKNOWN_READER");
    case SCARD_E_READER_UNAVAILABLE: return QStringLiteral("SCARD_E_READER_UNAVAILABLE");
    case SCARD_E_NO_READERS_AVAILABLE: return QStringLiteral("SCARD_E_NO_READERS_AVAILABLE");
    case SCARD_E_SHARING_VIOLATION: return QStringLiteral("SCARD_E_SHARING_VIOLATION");
    case SCARD_E_NO_SERVICE: return QStringLiteral("SCARD_E_NO_SERVICE");
    case SCARD_E_SERVICE_STOPPED: return QStringLiteral("SCARD_E_SERVICE_STOPPED");
    case SCARD_E_TIMEOUT: return QStringLiteral("SCARD_E_TIMEOUT");
    case SCARD_E_CANCELLED: return QStringLiteral("SCARD_E_CANCELLED");
    case SCARD_E_PROTO_MISMATCH: return QStringLiteral("SCARD_E_PROTO_MISMATCH");
    case SCARD_E_NOT_TRANSACTED: return QStringLiteral("SCARD_E_NOT_TRANSACTED");
    case SCARD_E_INVALID_HANDLE: return QStringLiteral("SCARD_E_INVALID_HANDLE");
    case SCARD_F_COMM_ERROR: return QStringLiteral("SCARD_F_COMM_ERROR");
    default: return QStringLiteral("0x%1").arg(quint32(code), 8, 16, QLatin1Char('0')).toUpper();
    }
}

QString message(PcscFailure failure, const QString &reader, long code)
{
    const QString name = reader.isEmpty() ? QStringLiteral("the reader") : QStringLiteral("\"%1\"").arg(reader);
    switch (failure) {
    case PcscFailure::None: return {};
    case PcscFailure::CardRefused:
        return QStringLiteral("The card refused the command. Check the key and the sector's access conditions.");
    case PcscFailure::NoCard: return QStringLiteral("No card on %1. Place a card on the reader and select it.").arg(name);
    case PcscFailure::NotSelected: return QStringLiteral("No card is selected. Select the card first.");
    case PcscFailure::NotMifare:
        return QStringLiteral("The card on %1 is not a MIFARE Classic 1K, 4K or Ultralight card. Use one of those cards.")
            .arg(name);
    case PcscFailure::Unsupported:
        return QStringLiteral("%1 does not support this command. Use a reader that offers it, or the serial module.")
            .arg(reader.isEmpty() ? QStringLiteral("The reader") : name);
    case PcscFailure::CardRemoved:
        return QStringLiteral("The card was removed from %1 (or stopped answering). Nothing more was sent. "
                              "Place it on the reader and select it again.")
            .arg(name);
    case PcscFailure::ReaderGone:
        return QStringLiteral("The reader%1 is not available: it was unplugged or pcscd no longer knows it. "
                              "Plug it in again, or choose another reader in the Com Port box.")
            .arg(reader.isEmpty() ? QString() : QLatin1Char(' ') + name);
    case PcscFailure::NoReader:
        return QStringLiteral("No PC/SC reader is connected. Plug in the reader and choose it in the Com Port box.");
    case PcscFailure::SharingViolation:
        return QStringLiteral("Another program is using %1. Close that program (or end its use of the reader) and try again.")
            .arg(name);
    case PcscFailure::NoService:
        return QStringLiteral("The PC/SC service pcscd is not running. Start it (\"sudo systemctl start pcscd\", "
                              "or run pcscd as root) and try again.");
    case PcscFailure::Other:
        return QStringLiteral("The PC/SC service reported an error on %1 (%2). Try again; if it persists, "
                              "unplug the reader and plug it in again.")
            .arg(name, codeName(code));
    }
    return {};
}

} // namespace PcscErrors
