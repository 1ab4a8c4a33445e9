#pragma once

#include "files/DumpFormat.h"
#include "files/FileContext.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The card image file commands of the main window's menus. Each runs one whole user
// action through the dialogs of the context. Settings errors propagate (SettingsError);
// the main window runs each action through guardAction.
class FileCommands
{
public:
    explicit FileCommands(FileContext context);

    // Save As: "*.mtp" first, then the dump formats (Open puts "All card images" first).
    [[nodiscard]] static QStringList cardImageFilters();
    [[nodiscard]] static QStringList textFilters();

public: // menu items
    // "Open File (Mifare format)"
    void openFile();
    // "Save As   (Mifare format)": the grid of the selected card type.
    void saveAs();
    // Save As for the grid of a card type, shown or not.
    void saveAs(CardType type);
    // "Import ( Text file )"
    void importText();
    // "Export ( Text file )"
    void exportText();
    // "Show Data as Text"
    void showDataAsText();
    // File > Recent Files: opens a file by name as Open File would.
    void openRecent(const QString &name);

public: // start-up
    // Re-applies the layouts, then fills grids from the template file name: with an
    // empty name, the grid of the selected card type gets the default contents.
    void LoadTemplate(const QString &name);
    // For Mifare 1K, 4K and UL in turn: selects the type and loads its last template.
    // The caller selects the stored card type again afterwards.
    void loadLastTemplates();

private:
    [[nodiscard]] CardGridModel &gridOf(CardType type) const;
    void loadTemplateData(const QString &name, const QByteArray &data);
    void openNamed(const QString &name, const QString &filter);
    void openDump(const QString &name, const QByteArray &data, DumpFormat format);
    void saveNamed(CardType type, QString name, const QString &filter);
    // Where the card image dialogs start (LastFolder); empty when unknown or gone.
    [[nodiscard]] QString lastFolder() const;
    // Stores the folder of a file chosen in a card image dialog.
    void rememberFolder(const QString &fileName);
    // The grid in a dump format; nothing (and a message) when it cannot be written.
    [[nodiscard]] std::optional<QByteArray> dumpOfGrid(CardType type, DumpFormat format, const QString &name);
    // Appends extension unless the name contains it anywhere (case-sensitive).
    [[nodiscard]] static QString withExtension(const QString &name, const QByteArray &extension);
    // True when the file does not exist or the user agrees to replace it.
    [[nodiscard]] bool confirmOverwrite(const QString &name);
    // Reads the whole file, a regular file of a card image's size at most; on failure
    // tells the user and returns false.
    [[nodiscard]] bool readFile(const QString &name, QByteArray *data);
    // Replaces the file atomically; on failure tells the user and returns false.
    [[nodiscard]] bool writeFile(const QString &name, const QByteArray &data);

    FileContext m_context;
};
