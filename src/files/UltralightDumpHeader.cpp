#include "files/UltralightDumpHeader.h"

#include "link/Hex.h"

std::optional<UltralightDumpHeader> UltralightDumpHeader::of(const QByteArray &dump)
{
    if (dump.size() != Size + PagesSize)
        return std::nullopt;
    UltralightDumpHeader header;
    header.version = dump.mid(0, 8);
    header.tbo = dump.mid(8, 2);
    header.tbo1 = quint8(dump.at(10));
    header.pages = quint8(dump.at(11));
    header.signature = dump.mid(12, 32);
    for (int i = 0; i < 3; ++i) {
        header.counters[i] = dump.mid(44 + 4 * i, 3);
        header.tearing[i] = quint8(dump.at(44 + 4 * i + 3));
    }
    return header;
}

QByteArray UltralightDumpHeader::describe() const
{
    QByteArray line = "Ultralight dump header: version " + version.toHex().toUpper() + ", TBO " + tbo.toHex().toUpper()
        + ", TBO1 " + Hex::pair(tbo1) + ", pages " + QByteArray::number(pages) + ", signature "
        + signature.toHex().toUpper();
    for (int i = 0; i < 3; ++i) {
        line += ", counter " + QByteArray::number(i) + ' ' + counters[i].toHex().toUpper() + " tearing "
            + Hex::pair(tearing[i]);
    }
    return line;
}
