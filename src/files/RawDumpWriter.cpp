#include "files/RawDumpWriter.h"

namespace RawDumpWriter {

QByteArray write(const CardImage &image)
{
    return image.bytes();
}

} // namespace RawDumpWriter
