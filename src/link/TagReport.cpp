#include "link/TagReport.h"

#include "card/Hex.h"
#include "link/ModuleAnswers.h"

std::optional<TagReport> TagReport::fromFrame(const QByteArray &frame, CardType type)
{
    using namespace ModuleAnswers;
    const int length = serialLength(type);
    if (frame.size() < tagReportFrameSize(length))
        return std::nullopt;
    TagReport report;
    report.type = Hex::pair(quint8(frame.at(TagTypeByte)));
    for (int i = SerialFirstByte + length - 1; i >= SerialFirstByte; --i)
        report.serial += Hex::pair(quint8(frame.at(i)));
    return report;
}

QByteArray TagReport::interpretation() const
{
    return "TAG TYPE: " + type + " SERIAL: " + serial;
}

QByteArray TagReport::statusText() const
{
    return "TAG TYPE:" + type + " | TAG SERIAL # " + serial;
}
