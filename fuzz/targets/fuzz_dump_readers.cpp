#include "FuzzTargets.h"

#include "files/DumpFormat.h"

// A card image file of any content, read as each dump format and as whatever its
// content looks like. An image a reader accepts must survive its writer and reader.
int fuzzDumpReaders(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)DumpFormats::detect(QStringLiteral("card"), bytes, QString());
    for (DumpFormat format : {DumpFormat::Raw, DumpFormat::Eml, DumpFormat::Json, DumpFormat::Mct, DumpFormat::Nfc}) {
        QString problem;
        const std::optional<CardImage> image = DumpFormats::read(format, bytes, &problem);
        if (!image) {
            FUZZ_CHECK(!problem.isEmpty());
            continue;
        }
        FUZZ_CHECK(image->size() == CardImage::byteCountOf(image->type()));
        if (!DumpFormats::supports(format, image->type()))
            continue;
        if (!DumpFormats::storesUnknown(format) && image->unknownCount() > 0)
            continue;
        QString again;
        const std::optional<CardImage> back = DumpFormats::read(format, DumpFormats::write(format, *image), &again);
        FUZZ_CHECK(back.has_value());
        FUZZ_CHECK(back->bytes() == image->bytes());
    }
    return 0;
}
