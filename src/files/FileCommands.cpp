#include "files/FileCommands.h"

#include "base/SettingsFile.h"
#include "base/UserDialogs.h"
#include "files/DumpFormat.h"
#include "files/GridImage.h"
#include "base/RegularFile.h"
#include "files/TemplateReader.h"
#include "files/TemplateWriter.h"
#include "files/TextArea.h"
#include "files/TextLines.h"
#include "view/CardGridModel.h"

#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace {

const QString OverwriteCaption = QStringLiteral("WARNING");
const QString OverwriteQuestion = QStringLiteral("Do you want to overwrite existing file?");

// The largest card image, a 4K dump in the most verbose format (JSON with its key
// list, about 35 KB), many times over: room for other tools' comments and fields.
// Anything larger was picked by mistake and is not read into memory.
constexpr qint64 MaxFileSize = 1024 * 1024;

// The folder of the last card image opened or saved, where the next dialog starts.
// Appended at the first use, so a first start writes no more lines than before.
const QByteArray LastFolderKey = "LastFolder";

constexpr CardType AllTypes[] = {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL};

} // namespace

FileCommands::FileCommands(FileContext context)
    : m_context(std::move(context))
{
}

QStringList FileCommands::cardImageFilters()
{
    return DumpFormats::filters();
}

QStringList FileCommands::textFilters()
{
    return {QStringLiteral("*.txt")};
}

CardGridModel &FileCommands::gridOf(CardType type) const
{
    switch (type) {
    case CardType::Mifare1K: return *m_context.grid1;
    case CardType::Mifare4K: return *m_context.grid4;
    case CardType::MifareUL: return *m_context.gridUL;
    }
    return *m_context.grid1;
}

bool FileCommands::readFile(const QString &name, QByteArray *data)
{
    const RegularFile::Content file = RegularFile::read(name, MaxFileSize);
    if (file.ok()) {
        *data = file.data;
        return true;
    }
    if (file.outcome == RegularFile::Outcome::TooLarge) {
        m_context.dialogs->showMessage(
            QStringLiteral("The file %1 is too large (%2 bytes) to be a card image or a text for a card.")
                .arg(name)
                .arg(file.size));
        return false;
    }
    m_context.dialogs->showMessage(QStringLiteral("Cannot read the file %1: %2").arg(name, file.error));
    return false;
}

bool FileCommands::writeFile(const QString &name, const QByteArray &data)
{
    // QSaveFile writes beside the target and renames at commit, so a failed or
    // interrupted save leaves the previous file as it was.
    QSaveFile file(name);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    m_context.dialogs->showError(QStringLiteral("Cannot save the file %1: %2").arg(name, file.errorString()));
    return false;
}

QString FileCommands::withExtension(const QString &name, const QByteArray &extension)
{
    // A case-sensitive substring test: "card.MTP" becomes "card.MTP.mtp", "old.mtp.bak" stays.
    return name.contains(QLatin1String(extension)) ? name : name + QLatin1String(extension);
}

bool FileCommands::confirmOverwrite(const QString &name)
{
    return !QFileInfo::exists(name) || m_context.dialogs->askYesNo(OverwriteCaption, OverwriteQuestion);
}

void FileCommands::saveAs()
{
    saveAs(m_context.cardType());
}

void FileCommands::saveAs(CardType type)
{
    // Files hold hexadecimal cells; this takes effect even if the dialog is cancelled.
    m_context.switchAsciiOff();
    QString filter;
    const QString name = m_context.dialogs->saveFileName(cardImageFilters(), &filter, lastFolder());
    if (name.isEmpty())
        return;
    saveNamed(type, name, filter);
    rememberFolder(name);
}

void FileCommands::saveNamed(CardType type, QString name, const QString &filter)
{
    const DumpFormat format = DumpFormats::ofFilter(filter);
    if (format == DumpFormat::Template) {
        name = withExtension(name, ".mtp");
        if (!confirmOverwrite(name) || !writeFile(name, TemplateWriter::write(gridOf(type))))
            return;
        m_context.settings->writeLastFile(type, name);
        if (m_context.saved)
            m_context.saved(type, name);
        return;
    }

    // Dump formats: any name without an extension gets the format's.
    if (QFileInfo(name).suffix().isEmpty())
        name += DumpFormats::extension(format);
    const std::optional<QByteArray> data = dumpOfGrid(type, format, name);
    if (!data || !confirmOverwrite(name))
        return;
    if (writeFile(name, *data) && m_context.saved)
        m_context.saved(type, name);
}

std::optional<QByteArray> FileCommands::dumpOfGrid(CardType type, DumpFormat format, const QString &name)
{
    auto refuse = [&](const QString &why) {
        m_context.dialogs->showMessage(QStringLiteral("Cannot save %1 as %2: %3").arg(name, DumpFormats::describe(format), why));
        return std::nullopt;
    };
    if (!DumpFormats::supports(format, type))
        return refuse(QStringLiteral("the format holds Mifare Classic cards only."));
    QString problem;
    const std::optional<CardImage> image = GridImage::fromGrid(gridOf(type), &problem);
    if (!image)
        return refuse(problem);
    const int unknown = image->firstUnknown();
    if (unknown >= 0 && !DumpFormats::storesUnknown(format)) {
        return refuse(QStringLiteral("the grid's %1 is empty, and the format has no place for unknown bytes. Read "
                                     "the card or fill in the empty cells first, or save as %2 or %3.")
                          .arg(GridImage::describeByte(type, unknown), DumpFormats::extension(DumpFormat::Mct),
                               DumpFormats::extension(DumpFormat::Nfc)));
    }
    return DumpFormats::write(format, *image);
}

void FileCommands::openFile()
{
    QString filter;
    const QString name = m_context.dialogs->openFileName(DumpFormats::openFilters(), &filter, lastFolder());
    if (name.isEmpty() || (m_context.mayLoad && !m_context.mayLoad()))
        return;
    openNamed(name, filter);
    rememberFolder(name);
}

void FileCommands::openRecent(const QString &name)
{
    if (m_context.mayLoad && !m_context.mayLoad())
        return;
    openNamed(name, {});
}

void FileCommands::openNamed(const QString &name, const QString &filter)
{
    QByteArray data;
    if (!readFile(name, &data))
        return;
    if (data.isEmpty()) {
        m_context.dialogs->showMessage(QStringLiteral("The file %1 is empty; nothing was loaded.").arg(name));
        return;
    }
    const DumpFormat format = DumpFormats::detect(name, data, filter);
    if (format != DumpFormat::Template) {
        openDump(name, data, format);
        return;
    }
    const QByteArrayList lines = TextLines::split(data);
    for (CardType type : TemplateReader::typesOf(lines.value(0))) {
        m_context.selectCardType(type);
        m_context.settings->writeLastFile(type, name);
    }
    m_context.runCardTypeChange();
    m_context.applyLayouts();
    loadTemplateData(name, data);
    if (m_context.loaded)
        m_context.loaded(name);
}

void FileCommands::openDump(const QString &name, const QByteArray &data, DumpFormat format)
{
    QString problem;
    const std::optional<CardImage> image = DumpFormats::read(format, data, &problem);
    if (!image) {
        m_context.dialogs->showMessage(
            QStringLiteral("Cannot open %1 as %2: %3.").arg(name, DumpFormats::describe(format), problem));
        return;
    }
    // Dumps name their card type as templates do: switch to it, then fill its grid,
    // block 0 included. Unknown bytes leave their cells alone.
    m_context.switchAsciiOff();
    m_context.selectCardType(image->type());
    m_context.runCardTypeChange();
    m_context.applyLayouts();
    GridImage::toGrid(*image, gridOf(image->type()));
    if (m_context.loaded)
        m_context.loaded(name);
    if (const QByteArray note = DumpFormats::note(format, data); !note.isEmpty())
        m_context.appendLog(note);
    if (const int unknown = image->unknownCount(); unknown > 0) {
        m_context.dialogs->showMessage(QStringLiteral("%1 of the %2 bytes in %3 were unknown; their cells keep their "
                                                      "previous contents.")
                                           .arg(unknown)
                                           .arg(image->size())
                                           .arg(name));
    }
}

QString FileCommands::lastFolder() const
{
    const int index = m_context.settings->findKey(LastFolderKey);
    if (index == 0)
        return {};
    // Values end at commas: a folder name holding commas comes back in pieces.
    const QString folder = QString::fromLocal8Bit(m_context.settings->readValues(index).join(','));
    return QFileInfo(folder).isDir() ? folder : QString();
}

void FileCommands::rememberFolder(const QString &fileName)
{
    const QByteArray folder = QFileInfo(fileName).absolutePath().toLocal8Bit();
    const SettingsFile &settings = *m_context.settings;
    const int index = settings.findKey(LastFolderKey);
    if (index == 0)
        settings.append(LastFolderKey, folder + ',');
    else if (settings.readValues(index).join(',') != folder)
        settings.writeValues(index, {folder});
}

void FileCommands::LoadTemplate(const QString &name)
{
    m_context.applyLayouts();
    if (name.isEmpty()) {
        m_context.fillDefaults(gridOf(m_context.cardType()));
        return;
    }
    if (!QFileInfo::exists(name)) {
        m_context.dialogs->showMessage(QStringLiteral("There is no such file"));
        return;
    }
    QByteArray data;
    if (!readFile(name, &data))
        return;
    loadTemplateData(name, data);
}

void FileCommands::loadTemplateData(const QString &name, const QByteArray &data)
{
    const QByteArrayList lines = TextLines::split(data);
    if (lines.isEmpty()) {
        m_context.dialogs->showMessage(QStringLiteral("The file %1 is empty; nothing was loaded.").arg(name));
        return;
    }
    const QList<CardType> types = TemplateReader::typesOf(lines.first());
    if (types.isEmpty()) {
        m_context.dialogs->showMessage(
            QStringLiteral("The first line of %1 names no card type (1K, 4K or UL); nothing was loaded.").arg(name));
        return;
    }
    // Loading hexadecimal text into an ASCII view would mix the two forms, and the
    // next switch to hex would then read "41" as the character '4'.
    m_context.switchAsciiOff();
    QStringList missing;
    for (CardType type : types) {
        const TemplateReader::Content content = TemplateReader::read(lines, type);
        CardGridModel &grid = gridOf(type);
        for (const TemplateReader::CellText &cell : content.cells)
            grid.setCell(GridImage::columnOf(type, cell.byteIndex), GridImage::rowOf(type, cell.byteIndex), cell.text);
        const QString gap = TemplateReader::describeMissing(content, type);
        if (!gap.isEmpty())
            missing << gap;
    }
    // One message per file, after the load; start-up goes on with the next card type.
    if (!missing.isEmpty()) {
        m_context.dialogs->showMessage(
            QStringLiteral("The file %1 is incomplete: %2. The cells concerned keep their previous contents.")
                .arg(name, missing.join(QStringLiteral("; "))));
    }
}

void FileCommands::loadLastTemplates()
{
    for (CardType type : AllTypes) {
        m_context.selectCardType(type);
        LoadTemplate(m_context.settings->readLastFile(type));
    }
}

void FileCommands::exportText()
{
    m_context.switchAsciiOff();
    const QByteArray text = TextArea::gridText(gridOf(m_context.cardType()), TextArea::Use::Export);
    QString name = m_context.dialogs->saveFileName(textFilters());
    if (name.isEmpty())
        return;
    name = withExtension(name, ".txt");
    const QByteArray data = text + "\r\n";
    if (!confirmOverwrite(name) || !writeFile(name, data))
        return;
    m_context.appendLog(">>>>>>Exported text to " + name.toLocal8Bit() + ">>>>>");
    m_context.appendLog(data);
}

void FileCommands::importText()
{
    const QString name = m_context.dialogs->openFileName(textFilters());
    if (name.isEmpty())
        return;
    QByteArray data;
    if (!readFile(name, &data))
        return;
    const QByteArray text = TextArea::fileText(data);
    // The import writes hexadecimal cells; see loadTemplateData.
    m_context.switchAsciiOff();
    TextArea::importText(gridOf(m_context.cardType()), text);
    m_context.appendLog(">>>>>>Imported text from " + name.toLocal8Bit() + ">>>>>");
    m_context.appendLog(text);
}

void FileCommands::showDataAsText()
{
    m_context.switchAsciiOff();
    const QByteArray text = TextArea::gridText(gridOf(m_context.cardType()), TextArea::Use::ImportOrView);
    m_context.appendLog(">>>>>>Text view of Mifare Data above>>>>>");
    m_context.appendLog(text + "\r\n");
}
