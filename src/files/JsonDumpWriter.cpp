#include "files/JsonDumpWriter.h"

#include "files/DumpText.h"

namespace JsonDumpWriter {

QByteArray write(const CardImage &image)
{
    // Written by hand rather than through QJsonObject so the members and the blocks
    // keep their natural order; every value is plain hexadecimal, nothing to escape.
    const bool classic = isClassic(image.type());
    QByteArray uid;
    QByteArray atqa;
    QByteArray sak;
    if (classic) {
        // Manufacturer block of a 4-byte UID card: UID, BCC, SAK, ATQA.
        uid = DumpText::hexRun(image, 0, 4, "00");
        sak = DumpText::hexRun(image, 5, 1, "00");
        atqa = DumpText::hexRun(image, 6, 2, "00");
    } else {
        // 7-byte serial: page 0 bytes 0 to 2 (byte 3 is a check byte), then page 1.
        uid = DumpText::hexRun(image, 0, 3, "00") + DumpText::hexRun(image, 4, 4, "00");
        atqa = "4400";
        sak = "00";
    }

    QByteArray out = "{\n";
    out += "  \"Created\": \"MERLOX MIFARE\",\n";
    out += QByteArray("  \"FileType\": \"") + (classic ? "mfc v2" : "mfu") + "\",\n";
    out += "  \"Card\": {\n";
    out += "    \"UID\": \"" + uid + "\",\n";
    out += "    \"ATQA\": \"" + atqa + "\",\n";
    out += "    \"SAK\": \"" + sak + "\"\n";
    out += "  },\n";
    out += "  \"blocks\": {\n";
    for (int block = 0; block < image.blockCount(); ++block) {
        out += "    \"" + QByteArray::number(block) + "\": \""
            + DumpText::hexRun(image, block * image.blockSize(), image.blockSize(), "00") + '"';
        out += block + 1 < image.blockCount() ? ",\n" : "\n";
    }
    out += "  }\n}\n";
    return out;
}

} // namespace JsonDumpWriter
