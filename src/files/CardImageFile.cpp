#include "files/CardImageFile.h"

#include "card/Hex.h"
#include "files/DumpFormat.h"
#include "files/TemplateReader.h"
#include "files/TextLines.h"

namespace CardImageFile {

std::optional<CardImage> read(const QString &fileName, const QByteArray &data, const QString &selectedFilter,
                              CardType preferred, QString *problem)
{
    const DumpFormat format = DumpFormats::detect(fileName, data, selectedFilter);
    if (format != DumpFormat::Template)
        return DumpFormats::read(format, data, problem);

    const QByteArrayList lines = TextLines::split(data);
    const QList<CardType> types = TemplateReader::typesOf(lines.value(0));
    if (types.isEmpty()) {
        if (problem)
            *problem = QStringLiteral("the file names no card type");
        return std::nullopt;
    }
    const CardType type = types.contains(preferred) ? preferred : types.first();
    CardImage image(type);
    for (const TemplateReader::CellText &cell : TemplateReader::read(lines, type).cells) {
        const QByteArray &text = cell.text;
        if (cell.byteIndex >= 0 && cell.byteIndex < image.size() && text.size() == 2 && Hex::isDigit(text.at(0))
            && Hex::isDigit(text.at(1)))
            image.setByte(cell.byteIndex, Hex::pairValue(text.toUpper()));
    }
    return image;
}

} // namespace CardImageFile
