#pragma once

#include "card/CardType.h"

#include <QByteArray>

// What the program relies on in the module's answers: the status characters, the
// size that makes an answer a data answer, and where a select or seek answer carries
// the tag report. Commands and their tests read these from here only.
namespace ModuleAnswers {

// Status characters (the first character of a status answer's data text).
constexpr char Success = 'L';           // authentication, key write, baud-rate change
constexpr char NoTag = 'N';             // no tag in the field
constexpr char Failed = 'F';            // a read or write failed
constexpr char ReadBackFailed = 'U';    // written, but the read-back failed
constexpr char NotReadAfterWrite = 'X'; // the block could not be read after writing it
constexpr char NotValueBlock = 'I';     // the block is not in value-block format

// Answers of this many bytes or more carry data; shorter ones one status byte.
constexpr int MinDataFrameSize = 7;

// Tag report: frame byte positions counted from the header byte.
constexpr int TagTypeByte = 4;
constexpr int SerialFirstByte = 5;
constexpr int ClassicSerialLength = 4;
constexpr int UltralightSerialLength = 7;

[[nodiscard]] inline bool isDataFrame(const QByteArray &frame)
{
    return frame.size() >= MinDataFrameSize;
}

// True when a response data text is exactly the one status character.
[[nodiscard]] inline bool isStatus(const QByteArray &dataText, char status)
{
    return dataText.size() == 1 && dataText.at(0) == status;
}

// The serial length follows the card type chosen in the window, not the answer.
[[nodiscard]] inline int serialLength(CardType type)
{
    return type == CardType::MifareUL ? UltralightSerialLength : ClassicSerialLength;
}

// Smallest frame that holds a tag report with that serial length: the serial must
// lie in the data bytes, before the checksum.
[[nodiscard]] inline int tagReportFrameSize(int serialLength)
{
    return SerialFirstByte + serialLength + 1;
}

} // namespace ModuleAnswers
