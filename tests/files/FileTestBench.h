#pragma once

#include "app/SettingsFile.h"
#include "files/FileCommands.h"
#include "link/Hex.h"
#include "view/CardGridModel.h"

#include "ScriptedDialogs.h"

#include <QByteArrayList>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QTest>

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
    int asciiOffCalls = 0;
    int layoutCalls = 0;
    QByteArrayList log;

    FileTestBench() { settings.createIfMissing(); }

    FileContext context()
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
        c.switchAsciiOff = [this] {
            ++asciiOffCalls;
            ascii = false;
        };
        c.applyLayouts = [this] { ++layoutCalls; };
        c.fillDefaults = [](CardGridModel &grid) { fillDefaults(grid); };
        c.appendLog = [this](const QByteArray &entry) { log << entry; };
        return c;
    }

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

    static bool isTrailer(const CardGridModel &grid, int block)
    {
        return grid.cardType() != CardType::MifareUL && (block < 128 ? block % 4 == 3 : block % 16 == 15);
    }

    static int blocksOf(const CardGridModel &grid) { return grid.rows() - 2; }
    static int bytesPerBlock(const CardGridModel &grid) { return grid.cardType() == CardType::MifareUL ? 4 : 16; }
    static int firstByteColumn(const CardGridModel &grid) { return grid.cardType() == CardType::MifareUL ? 1 : 2; }

    static QByteArray byteCell(const CardGridModel &grid, int block, int j)
    {
        return grid.cell(firstByteColumn(grid) + j, block + 2);
    }
    static void setByteCell(CardGridModel &grid, int block, int j, const QByteArray &text)
    {
        grid.setCell(firstByteColumn(grid) + j, block + 2, text);
    }

    // The bytes of a block as the grid holds them, joined ("48454C4C4F0000...").
    static QByteArray blockText(const CardGridModel &grid, int block)
    {
        QByteArray out;
        for (int j = 0; j < bytesPerBlock(grid); ++j)
            out += byteCell(grid, block, j);
        return out;
    }
    static void setBlockHex(CardGridModel &grid, int block, const QByteArray &hex)
    {
        for (int j = 0; j < bytesPerBlock(grid); ++j)
            setByteCell(grid, block, j, hex.mid(2 * j, 2));
    }

    // Default contents: trailers get the default trailer, other blocks from 1 get 00;
    // Ultralight lock bytes and pages 3 to 15 get 00.
    static void fillDefaults(CardGridModel &grid)
    {
        if (grid.cardType() == CardType::MifareUL) {
            setByteCell(grid, 2, 2, "00");
            setByteCell(grid, 2, 3, "00");
            for (int page = 3; page < 16; ++page)
                setBlockHex(grid, page, "00000000");
            return;
        }
        for (int block = 1; block < blocksOf(grid); ++block)
            setBlockHex(grid, block, isTrailer(grid, block) ? "5C5C5C5C5C5CFF0780695C5C5C5C5C5C"
                                                            : QByteArray(32, '0'));
    }

    // Every byte cell of the grid (block 0 and pages 0 to 2 included) set to a
    // pattern that differs per byte and per seed.
    static void fillPattern(CardGridModel &grid, int seed)
    {
        for (int block = 0; block < blocksOf(grid); ++block) {
            for (int j = 0; j < bytesPerBlock(grid); ++j)
                setByteCell(grid, block, j, Hex::pair(quint8(block * 7 + j * 13 + seed)));
        }
    }
};
