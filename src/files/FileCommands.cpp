#include "files/FileCommands.h"

#include "app/SettingsFile.h"
#include "app/UserDialogs.h"
#include "files/GridImage.h"
#include "files/TemplateReader.h"
#include "files/TemplateWriter.h"
#include "files/TextArea.h"
#include "files/TextLines.h"
#include "view/CardGridModel.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace {

const QString OverwriteCaption = QStringLiteral("WARNING");
const QString OverwriteQuestion = QStringLiteral("Do you want to overwrite existing file?");

constexpr CardType AllTypes[] = {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL};

} // namespace

FileCommands::FileCommands(FileContext context)
    : m_context(std::move(context))
{
}

QStringList FileCommands::templateFilters()
{
    return {QStringLiteral("*.mtp")};
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
    QFile file(name);
    if (file.open(QIODevice::ReadOnly)) {
        *data = file.readAll();
        if (file.error() == QFileDevice::NoError)
            return true;
    }
    m_context.dialogs->showMessage(QStringLiteral("Cannot read the file %1: %2").arg(name, file.errorString()));
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

QString FileCommands::askSaveName(const QStringList &filters, const QByteArray &extension, QString *selectedFilter)
{
    QString name = m_context.dialogs->saveFileName(filters, selectedFilter);
    if (name.isEmpty())
        return {};
    // A case-sensitive substring test: "card.MTP" becomes "card.MTP.mtp", "old.mtp.bak" stays.
    if (!name.contains(QLatin1String(extension)))
        name += QLatin1String(extension);
    if (QFileInfo::exists(name) && !m_context.dialogs->askYesNo(OverwriteCaption, OverwriteQuestion))
        return {};
    return name;
}

void FileCommands::saveAs()
{
    const CardType type = m_context.cardType();
    // Templates hold hexadecimal cells; this takes effect even if the dialog is cancelled.
    m_context.switchAsciiOff();
    const QByteArray data = TemplateWriter::write(gridOf(type));
    const QString name = askSaveName(templateFilters(), ".mtp");
    if (name.isEmpty() || !writeFile(name, data))
        return;
    m_context.settings->writeLastFile(type, name);
}

void FileCommands::openFile()
{
    const QString name = m_context.dialogs->openFileName(templateFilters());
    if (name.isEmpty())
        return;
    QByteArray data;
    if (!readFile(name, &data))
        return;
    if (data.isEmpty()) {
        m_context.dialogs->showMessage(QStringLiteral("The file %1 is empty; nothing was loaded.").arg(name));
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
    const QString name = askSaveName(textFilters(), ".txt");
    const QByteArray data = text + "\r\n";
    if (name.isEmpty() || !writeFile(name, data))
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
