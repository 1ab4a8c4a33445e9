#include "pcsc/PcscExchange.h"

#include "link/Frame.h"
#include "link/Hex.h"

QByteArray PcscExchange::requestLine() const
{
    return "TX > " + Frame::PadColumns(Hex::echo(request), {}) + label;
}

QByteArray PcscExchange::answerLine() const
{
    return "RX <" + Frame::PadColumns(answer.isEmpty() ? QByteArray("error") : Hex::echo(answer), {}) + meaning;
}
