#pragma once

#include <QString>

// Why a PC/SC command did not do its work.
enum class PcscFailure {
    None,
    CardRefused,      // the card or the reader answered with a failure status (logged)
    NoCard,           // no card in the reader
    NotSelected,      // no card session: select first
    NotMifare,        // the card is not a MIFARE Classic or Ultralight card
    Unsupported,      // the reader does not offer the command
    CardRemoved,      // the card left the reader during the session
    ReaderGone,       // the reader was unplugged or is unknown to pcscd
    NoReader,         // pcscd knows no reader at all
    SharingViolation, // another program holds the reader
    NoService,        // pcscd is not running
    Other,            // any other PC/SC error
};

namespace PcscErrors {

// The failure a PC/SC return code stands for (None for SCARD_S_SUCCESS).
[[nodiscard]] PcscFailure failureOf(long code);
// What happened and what to do, for a message box or the status bar. The reader name
// is used where it helps; code is the PC/SC return code (for Other).
[[nodiscard]] QString message(PcscFailure failure, const QString &reader, long code = 0);
// The name of a PC/SC return code ("SCARD_E_NO_SERVICE"), or its hex value.
[[nodiscard]] QString codeName(long code);

} // namespace PcscErrors
