#include "files/DumpFormat.h"

#include "files/EmlDumpReader.h"
#include "files/EmlDumpWriter.h"
#include "files/JsonDumpReader.h"
#include "files/JsonDumpWriter.h"
#include "files/MctDumpReader.h"
#include "files/MctDumpWriter.h"
#include "files/NfcDumpReader.h"
#include "files/NfcDumpWriter.h"
#include "files/RawDumpReader.h"
#include "files/RawDumpWriter.h"
#include "files/TextLines.h"
#include "files/UltralightDumpHeader.h"
#include "link/Hex.h"

#include <QFileInfo>

namespace DumpFormats {

namespace {

struct FormatInfo {
    DumpFormat format;
    QString filter;
    QStringList extensions; // lower case, with the dot; the first is added to bare names
    QString name;
};

const QList<FormatInfo> &formats()
{
    static const QList<FormatInfo> list = {
        {DumpFormat::Template, QStringLiteral("*.mtp"), {QStringLiteral(".mtp")}, QStringLiteral("a template")},
        {DumpFormat::Raw, QStringLiteral("Raw binary dump (*.bin *.mfd *.dump)"),
         {QStringLiteral(".bin"), QStringLiteral(".mfd"), QStringLiteral(".dump")}, QStringLiteral("a raw binary dump")},
        {DumpFormat::Eml, QStringLiteral("Text hex dump (*.eml)"), {QStringLiteral(".eml")}, QStringLiteral("a text hex dump")},
        {DumpFormat::Json, QStringLiteral("JSON dump (*.json)"), {QStringLiteral(".json")}, QStringLiteral("a JSON dump")},
        {DumpFormat::Mct, QStringLiteral("Sector text dump (*.mct)"), {QStringLiteral(".mct")},
         QStringLiteral("a sector text dump")},
        {DumpFormat::Nfc, QStringLiteral("NFC device file (*.nfc)"), {QStringLiteral(".nfc")},
         QStringLiteral("an NFC device file")},
    };
    return list;
}

const FormatInfo &info(DumpFormat format)
{
    for (const FormatInfo &entry : formats()) {
        if (entry.format == format)
            return entry;
    }
    return formats().first();
}

// The first line that is neither blank nor a '#' comment.
QByteArray firstContentLine(const QByteArray &data)
{
    for (const QByteArray &line : TextLines::split(data.left(4096))) {
        const QByteArray trimmed = TextLines::trimmed(line);
        if (!trimmed.isEmpty() && !trimmed.startsWith('#'))
            return trimmed;
    }
    return {};
}

// Control characters other than line ends and tabs, or bytes above 7F: not a text file.
bool looksBinary(const QByteArray &data)
{
    for (char c : data) {
        const auto byte = quint8(c);
        if ((byte < 0x20 && c != '\r' && c != '\n' && c != '\t') || byte >= 0x7F)
            return true;
    }
    return false;
}

bool allHex(const QByteArray &text)
{
    for (char c : text) {
        if (!Hex::isDigit(c))
            return false;
    }
    return true;
}

} // namespace

QStringList filters()
{
    QStringList list;
    for (const FormatInfo &entry : formats())
        list << entry.filter;
    return list;
}

QStringList openFilters()
{
    QStringList patterns;
    for (const FormatInfo &entry : formats()) {
        for (const QString &extension : entry.extensions)
            patterns << QLatin1Char('*') + extension;
    }
    return QStringList {QStringLiteral("All card images (%1)").arg(patterns.join(QLatin1Char(' ')))} + filters();
}

DumpFormat ofFilter(const QString &filter)
{
    for (const FormatInfo &entry : formats()) {
        if (entry.filter == filter)
            return entry.format;
    }
    return DumpFormat::Template;
}

QString extension(DumpFormat format)
{
    return info(format).extensions.first();
}

QString describe(DumpFormat format)
{
    const FormatInfo &entry = info(format);
    return QStringLiteral("%1 (%2)").arg(entry.name, entry.extensions.join(QStringLiteral(", ")));
}

DumpFormat detect(const QString &fileName, const QByteArray &data, const QString &selectedFilter)
{
    // The template naming rule is a substring test, so "old.mtp.bak" is a template too.
    if (QFileInfo(fileName).fileName().contains(QLatin1String(".mtp")))
        return DumpFormat::Template;
    const QString suffix = QLatin1Char('.') + QFileInfo(fileName).suffix().toLower();
    for (const FormatInfo &entry : formats()) {
        if (entry.extensions.contains(suffix))
            return entry.format;
    }
    const QByteArray first = firstContentLine(data);
    if (first.startsWith('{'))
        return DumpFormat::Json;
    if (first.startsWith("Filetype:"))
        return DumpFormat::Nfc;
    if (first.startsWith("+Sector:"))
        return DumpFormat::Mct;
    const DumpFormat chosen = ofFilter(selectedFilter);
    if (chosen != DumpFormat::Template)
        return chosen;
    if ((first.size() == 32 || first.size() == 8) && allHex(first))
        return DumpFormat::Eml;
    static const QList<qsizetype> rawSizes = {64, UltralightDumpHeader::Size + UltralightDumpHeader::PagesSize, 320,
                                              1024, 2048, 4096};
    if (rawSizes.contains(data.size()) && looksBinary(data))
        return DumpFormat::Raw;
    return DumpFormat::Template;
}

bool storesUnknown(DumpFormat format)
{
    return format == DumpFormat::Mct || format == DumpFormat::Nfc;
}

bool supports(DumpFormat format, CardType type)
{
    return format != DumpFormat::Mct || isClassic(type);
}

std::optional<CardImage> read(DumpFormat format, const QByteArray &data, QString *problem)
{
    switch (format) {
    case DumpFormat::Raw: return RawDumpReader::read(data, problem);
    case DumpFormat::Eml: return EmlDumpReader::read(data, problem);
    case DumpFormat::Json: return JsonDumpReader::read(data, problem);
    case DumpFormat::Mct: return MctDumpReader::read(data, problem);
    case DumpFormat::Nfc: return NfcDumpReader::read(data, problem);
    case DumpFormat::Template: break;
    }
    *problem = QStringLiteral("a template is not a dump");
    return std::nullopt;
}

QByteArray write(DumpFormat format, const CardImage &image)
{
    switch (format) {
    case DumpFormat::Raw: return RawDumpWriter::write(image);
    case DumpFormat::Eml: return EmlDumpWriter::write(image);
    case DumpFormat::Json: return JsonDumpWriter::write(image);
    case DumpFormat::Mct: return MctDumpWriter::write(image);
    case DumpFormat::Nfc: return NfcDumpWriter::write(image);
    case DumpFormat::Template: break;
    }
    return {};
}

QByteArray note(DumpFormat format, const QByteArray &data)
{
    if (format == DumpFormat::Raw) {
        if (const std::optional<UltralightDumpHeader> header = UltralightDumpHeader::of(data))
            return header->describe();
    }
    return {};
}

} // namespace DumpFormats
