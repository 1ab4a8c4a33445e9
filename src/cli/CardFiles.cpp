#include "cli/CardFiles.h"

#include "files/GridImage.h"
#include "files/TemplateReader.h"
#include "files/TemplateWriter.h"
#include "files/TextLines.h"
#include "view/CardGridModel.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace CardFiles {

namespace {

std::optional<DumpFormat> formatOfName(const QString &name)
{
    static const QList<std::pair<QString, DumpFormat>> names = {
        {"bin", DumpFormat::Raw}, {"eml", DumpFormat::Eml}, {"json", DumpFormat::Json},
        {"mct", DumpFormat::Mct}, {"nfc", DumpFormat::Nfc}, {"mtp", DumpFormat::Template}};
    for (const auto &[text, format] : names) {
        if (text == name)
            return format;
    }
    return std::nullopt;
}

bool readWhole(const QString &path, QByteArray *data, QString *error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, QFileInfo::exists(path) ? file.errorString()
                                                                                         : QStringLiteral("no such file"));
        return false;
    }
    *data = file.readAll();
    if (data->isEmpty()) {
        *error = QStringLiteral("%1 is empty").arg(path);
        return false;
    }
    return true;
}

std::unique_ptr<CardGridModel> templateGrid(const QString &path, const QByteArray &data, std::optional<CardType> card,
                                            QString *error)
{
    const QByteArrayList lines = TextLines::split(data);
    const QList<CardType> types = TemplateReader::typesOf(lines.value(0));
    if (types.isEmpty()) {
        *error = QStringLiteral("the first line of %1 names no card type (1K, 4K or UL)").arg(path);
        return nullptr;
    }
    const CardType type = card.value_or(types.first());
    if (!types.contains(type)) {
        *error = QStringLiteral("%1 holds no %2 card").arg(path, QString::fromLatin1(cardTypeSuffix(type)));
        return nullptr;
    }
    auto grid = std::make_unique<CardGridModel>(type);
    const TemplateReader::Content content = TemplateReader::read(lines, type);
    for (const TemplateReader::CellText &cell : content.cells)
        grid->setCell(GridImage::columnOf(type, cell.byteIndex), GridImage::rowOf(type, cell.byteIndex), cell.text);
    return grid;
}

} // namespace

std::optional<DumpFormat> formatForWriting(const QString &path, const QString &formatName, QString *error)
{
    if (!formatName.isEmpty())
        return formatOfName(formatName);
    if (QFileInfo(path).fileName().contains(QLatin1String(".mtp")))
        return DumpFormat::Template;
    // With no content to look at, detect() answers Template for a name it does not know.
    const DumpFormat format = DumpFormats::detect(path, {}, {});
    if (format == DumpFormat::Template) {
        *error = QStringLiteral("cannot tell the format from the name %1; give --format").arg(path);
        return std::nullopt;
    }
    return format;
}

std::unique_ptr<CardGridModel> loadGrid(const QString &path, const QString &formatName, std::optional<CardType> card,
                                        QString *error)
{
    QByteArray data;
    if (!readWhole(path, &data, error))
        return nullptr;
    const DumpFormat format = formatName.isEmpty() ? DumpFormats::detect(path, data, {}) : *formatOfName(formatName);
    if (format == DumpFormat::Template)
        return templateGrid(path, data, card, error);
    QString problem;
    const std::optional<CardImage> image = DumpFormats::read(format, data, &problem);
    if (!image) {
        *error = QStringLiteral("cannot read %1 as %2: %3").arg(path, DumpFormats::describe(format), problem);
        return nullptr;
    }
    if (card && *card != image->type()) {
        *error = QStringLiteral("%1 holds a %2 card, not %3")
                     .arg(path, QString::fromLatin1(cardTypeSuffix(image->type())),
                          QString::fromLatin1(cardTypeSuffix(*card)));
        return nullptr;
    }
    auto grid = std::make_unique<CardGridModel>(image->type());
    GridImage::toGrid(*image, *grid);
    return grid;
}

std::optional<CardImage> loadImage(const QString &path, const QString &formatName, std::optional<CardType> card,
                                   QString *error)
{
    const std::unique_ptr<CardGridModel> grid = loadGrid(path, formatName, card, error);
    if (!grid)
        return std::nullopt;
    QString problem;
    std::optional<CardImage> image = GridImage::fromGrid(*grid, &problem);
    if (!image)
        *error = QStringLiteral("%1: %2").arg(path, problem);
    return image;
}

bool save(const QString &path, DumpFormat format, const CardImage &image, QString *error)
{
    QByteArray data;
    if (format == DumpFormat::Template) {
        CardGridModel grid(image.type());
        GridImage::toGrid(image, grid);
        data = TemplateWriter::write(grid);
    } else {
        auto refuse = [&](const QString &why) {
            *error = QStringLiteral("cannot save %1 as %2: %3").arg(path, DumpFormats::describe(format), why);
            return false;
        };
        if (!DumpFormats::supports(format, image.type()))
            return refuse(QStringLiteral("the format holds Mifare Classic cards only"));
        const int unknown = image.firstUnknown();
        if (unknown >= 0 && !DumpFormats::storesUnknown(format)) {
            return refuse(QStringLiteral("%1 is unknown, and the format has no place for unknown bytes; use %2 or %3")
                              .arg(GridImage::describeByte(image.type(), unknown),
                                   DumpFormats::extension(DumpFormat::Mct), DumpFormats::extension(DumpFormat::Nfc)));
        }
        data = DumpFormats::write(format, image);
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace CardFiles
