#include "pcsc/PcscExchange.h"

#include "link/Frame.h"

namespace {
// Every byte as two upper-case digits followed by a space, as the module's log lines
// show frames.
QByteArray echo(const QByteArray &bytes)
{
    return bytes.isEmpty() ? QByteArray() : bytes.toHex(' ').toUpper() + ' ';
}
} // namespace

QByteArray PcscExchange::requestLine() const
{
    return "TX > " + Frame::PadColumns(echo(request), {}) + label;
}

QByteArray PcscExchange::answerLine() const
{
    return "RX <" + Frame::PadColumns(answer.isEmpty() ? QByteArray("error") : echo(answer), {}) + meaning;
}
