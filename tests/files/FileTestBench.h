#pragma once

#include "base/SettingsFile.h"
#include "files/FileCommands.h"
#include "card/Hex.h"
#include "view/CardGridModel.h"
#include "view/GridLayout.h"

#include "ScriptedDialogs.h"

#include <QByteArrayList>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QTest>

// Byte cells of a grid by block (or page) and byte index.
inline int bytesPerBlock(const CardGridModel &grid) { return grid.cardType() == CardType::MifareUL ? 4 : 16; }
inline int blocksOf(const CardGridModel &grid) { return grid.rows() - 2; }
inline int byteColumn(const CardGridModel &grid, int j) { return (grid.cardType() == CardType::MifareUL ? 1 : 2) + j; }
inline QByteArray byteCell(const CardGridModel &grid, int block, int j) { return grid.cell(byteColumn(grid, j), block + 2); }

// The bytes of a block as the grid holds them, joined ("48454C4C4F0000...").
inline QByteArray blockText(const CardGridModel &grid, int block)
{
    QByteArray out;
    for (int j = 0; j < bytesPerBlock(grid); ++j)
        out += byteCell(grid, block, j);
    return out;
}
inline void setBlockHex(CardGridModel &grid, int block, const QByteArray &hex)
{
    for (int j = 0; j < bytesPerBlock(grid); ++j)
        grid.setCell(byteColumn(grid, j), block + 2, hex.mid(2 * j, 2));
}
// Every byte cell (block 0 and pages 0 to 2 included) set to a pattern that differs
// per byte and per seed.
inline void fillPattern(CardGridModel &grid, int seed)
{
    for (int block = 0; block < blocksOf(grid); ++block)
        for (int j = 0; j < bytesPerBlock(grid); ++j)
            grid.setCell(byteColumn(grid, j), block + 2, Hex::pair(quint8(block * 7 + j * 13 + seed)));
}

inline const QByteArray DefaultTrailer = "5C5C5C5C5C5CFF0780695C5C5C5C5C5C";

// The main window's side of the file commands for tests: three grids, a settings file
// in a temporary folder, scripted dialogs, and records of what the callbacks were asked.
struct FileTestBench {
    QTemporaryDir dir;
    CardGridModel grid1{CardType::Mifare1K};
    CardGridModel grid4{CardType::Mifare4K};
    CardGridModel gridUL{CardType::MifareUL};
    SettingsFile settings{dir.filePath(QStringLiteral("merlox_mifare_cnf.txt"))};
    ScriptedDialogs dialogs;

    CardType selected = CardType::Mifare1K;
    QList<CardType> typeChanges; // the selection at each card-type change
    bool ascii = false;
    int layoutCalls = 0;
    QByteArrayList log;

    FileTestBench() { settings.createIfMissing(); }

    FileCommands commands()
    {
        FileContext c;
        c.grid1 = &grid1;
        c.grid4 = &grid4;
        c.gridUL = &gridUL;
        c.settings = &settings;
        c.dialogs = &dialogs;
        c.cardType = [this] { return selected; };
        c.selectCardType = [this](CardType type) { selected = type; };
        c.runCardTypeChange = [this] { typeChanges << selected; };
        c.switchAsciiOff = [this] { ascii = false; };
        c.applyLayouts = [this] { ++layoutCalls; };
        c.fillDefaults = [](CardGridModel &grid) { GridLayout::fillDefaults(grid); };
        c.appendLog = [this](const QByteArray &entry) { log << entry; };
        return FileCommands(c);
    }

    CardGridModel &grid(CardType type) { return type == CardType::Mifare1K ? grid1 : type == CardType::Mifare4K ? grid4 : gridUL; }

    // "Open File" and "Save As" with the file dialog answered by name (and filter).
    void open(const QString &name)
    {
        dialogs.fileNames << name;
        commands().openFile();
    }
    void saveAs(const QString &name, const QString &filter = {})
    {
        dialogs.fileNames << name;
        if (!filter.isEmpty())
            dialogs.filters << filter;
        commands().saveAs();
    }
    [[nodiscard]] QString lastShown() const { return dialogs.shown.isEmpty() ? QString() : dialogs.shown.last().text; }

    QString path(const QString &name) const { return dir.filePath(name); }

    QByteArray readFile(const QString &name) const
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const QString &name, const QByteArray &data) const
    {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
};
