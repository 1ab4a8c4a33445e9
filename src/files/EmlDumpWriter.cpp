#include "files/EmlDumpWriter.h"

#include "files/DumpText.h"

namespace EmlDumpWriter {

QByteArray write(const CardImage &image)
{
    QByteArray out;
    for (int block = 0; block < image.blockCount(); ++block)
        out += DumpText::hexRun(image, block * image.blockSize(), image.blockSize(), "00") + '\n';
    return out;
}

} // namespace EmlDumpWriter
