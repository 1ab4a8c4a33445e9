#include "SimFault.h"

#include <array>
#include <utility>

namespace {
const std::array<std::pair<SimFault, const char *>, 8> Names = {{
    {SimFault::NoAnswer, "noanswer"},
    {SimFault::BadChecksum, "checksum"},
    {SimFault::Truncated, "truncate"},
    {SimFault::OversizeLength, "oversize"},
    {SimFault::Garbage, "garbage"},
    {SimFault::Late, "late"},
    {SimFault::WriteStatusU, "write-u"},
    {SimFault::WriteStatusX, "write-x"},
}};
} // namespace

QString simFaultName(SimFault fault)
{
    for (const auto &[f, name] : Names) {
        if (f == fault)
            return QString::fromLatin1(name);
    }
    return {};
}

std::optional<SimFault> parseSimFault(const QString &name)
{
    const QString n = name.trimmed().toLower();
    for (const auto &[f, text] : Names) {
        if (n == QLatin1String(text))
            return f;
    }
    return std::nullopt;
}

QStringList simFaultNames()
{
    QStringList names;
    for (const auto &entry : Names)
        names.append(QString::fromLatin1(entry.second));
    return names;
}
