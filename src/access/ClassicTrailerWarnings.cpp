#include "access/ClassicTrailerWarnings.h"

#include "access/AccessBits.h"

namespace {

// Access indices whose data-block Write column says "Never".
bool dataWriteNever(int k)
{
    return k == 1 || k == 2 || k == 5 || k == 7;
}

// Trailer table: Key A Write and Key B Write say "Never" for the same indices.
bool keyWriteNever(int k)
{
    return k == 2 || k == 5 || k == 6 || k == 7;
}

bool accessBitsWriteNever(int k)
{
    return k == 0 || k == 2 || k == 4 || k == 6 || k == 7;
}

QString dataBlockLine(int group, bool largeSector)
{
    static const char *const small[3] = {"0", "1", "2"};
    static const char *const large[3] = {"0-1-2-3-4", "5-6-7-8-9", "10-11-12-13-14"};
    return QStringLiteral("*You wont be able to program Block %1 of the selected sector again\n")
        .arg(QLatin1String(largeSector ? large[group] : small[group]));
}

} // namespace

WarningCheck ClassicTrailerWarnings(const QByteArray &trailer, int block)
{
    WarningCheck result;
    if (trailer.size() < 9) {
        result.status = QStringLiteral("error");
        return result;
    }
    const AccessBytes bytes{quint8(trailer.at(6)), quint8(trailer.at(7)), quint8(trailer.at(8))};
    if (!AccessBitsValid(bytes)) {
        result.status = QStringLiteral("error");
        return result;
    }

    auto warn = [&result](const QString &line) {
        result.status = QStringLiteral("warn");
        result.warnings += line;
    };

    const bool largeSector = block > 127;
    for (int g = 0; g < 3; ++g) {
        if (dataWriteNever(DecodeAccessIndex(bytes, g)))
            warn(dataBlockLine(g, largeSector));
    }

    const int k = DecodeAccessIndex(bytes, 3);
    if (keyWriteNever(k))
        warn(QStringLiteral("*You wont be able to write/change Key A again\n"));
    if (accessBitsWriteNever(k))
        warn(QStringLiteral("*You wont be able to change access conditions again\n"));
    if (keyWriteNever(k))
        warn(QStringLiteral("*You wont be able to write/change Key B again\n"));
    return result;
}
