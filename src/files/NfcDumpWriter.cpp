#include "files/NfcDumpWriter.h"

#include "files/DumpText.h"

namespace NfcDumpWriter {

namespace {

// "00 00 ... 00", count bytes.
QByteArray zeroBytes(int count)
{
    QByteArray out = "00";
    for (int i = 1; i < count; ++i)
        out += " 00";
    return out;
}

} // namespace

QByteArray write(const CardImage &image)
{
    const bool classic = isClassic(image.type());
    QByteArray out = "Filetype: Flipper NFC device\nVersion: 4\n";
    if (classic) {
        out += "Device type: Mifare Classic\n";
        out += "UID: " + DumpText::hexRun(image, 0, 4, "??", " ") + '\n';
        // ATQA most significant byte first; block 0 holds it least significant first.
        out += "ATQA: " + DumpText::hexRun(image, 7, 1, "??") + ' ' + DumpText::hexRun(image, 6, 1, "??") + '\n';
        out += "SAK: " + DumpText::hexRun(image, 5, 1, "??") + '\n';
        out += QByteArray("Mifare Classic type: ") + (image.type() == CardType::Mifare1K ? "1K" : "4K") + '\n';
        out += "Data format version: 2\n";
        out += "# Mifare Classic blocks, '\?\?' means unknown data\n";
    } else {
        out += "Device type: NTAG/Ultralight\n";
        out += "UID: " + DumpText::hexRun(image, 0, 3, "??", " ") + ' ' + DumpText::hexRun(image, 4, 4, "??", " ")
            + '\n';
        out += "ATQA: 00 44\nSAK: 00\n";
        out += "Data format version: 2\n";
        out += "NTAG/Ultralight type: Mifare Ultralight\n";
        // Readers of the format take these keys in this order before the pages and
        // refuse a file without them. An original Ultralight has no signature, version
        // or counters: zeros, as the format's own tools write for one.
        out += "Signature: " + zeroBytes(32) + '\n';
        out += "Mifare version: " + zeroBytes(8) + '\n';
        for (int i = 0; i < 3; ++i) {
            const QByteArray n = QByteArray::number(i);
            out += "Counter " + n + ": 0\nTearing " + n + ": 00\n";
        }
        out += "Pages total: 16\nPages read: 16\n";
    }
    const QByteArray word = classic ? "Block " : "Page ";
    for (int block = 0; block < image.blockCount(); ++block) {
        out += word + QByteArray::number(block) + ": "
            + DumpText::hexRun(image, block * image.blockSize(), image.blockSize(), "??", " ") + '\n';
    }
    return out;
}

} // namespace NfcDumpWriter
