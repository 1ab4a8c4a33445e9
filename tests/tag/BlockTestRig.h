#pragma once

#include "TagTestRig.h"

#include "PtySimulator.h"
#include "VirtualModule.h"
#include "ClassicCard.h"

#include "commands/BlockCommands.h"
#include "commands/ValueCommands.h"
#include "view/CardGridModel.h"
#include "windows/CardGrids.h"

#include <QCheckBox>

// The program on a pseudo-terminal with the helpers the block, value and Read Block
// tests share: a selected and authenticated tag, card set-up and grid rows.
struct BlockTestRig : TagTestRig
{
    using TagTestRig::TagTestRig;

    BlockCommands &blocks() { return main().blockCommands(); }
    ValueCommands &values() { return main().valueCommands(); }
    CardGridModel &grid(CardType type) { return main().grids().model(type); }

    // Select and, for Classic cards, authenticate the block with the default key;
    // the log lines they write are skipped.
    bool prepare(int block, bool authenticate = true)
    {
        QByteArray result;
        tags().SelectTag(result);
        if (authenticate && result != "error")
            tags().Authenticate(block, result);
        (void)newLines();
        return result != "error";
    }

    // The byte cells of a row (columns 2..17, or 1..4 for gridUL), joined.
    QByteArray rowText(CardType type, int row)
    {
        const bool ul = type == CardType::MifareUL;
        const int first = ul ? 1 : 2;
        const int count = ul ? 4 : 16;
        QByteArray text;
        for (int c = first; c < first + count; ++c)
            text += grid(type).cell(c, row);
        return text;
    }
    void fillRow(CardType type, int row, const QByteArray &cellText)
    {
        const bool ul = type == CardType::MifareUL;
        const int first = ul ? 1 : 2;
        for (int c = first; c < first + (ul ? 4 : 16); ++c)
            grid(type).setCell(c, row, cellText);
    }
};

// Raw card set-up through the simulator.
inline void setClassicBlock(PtySimulator &sim, int block, const QByteArray &bytes)
{
    sim.withModule([&](VirtualModule &module) { module.classicCard()->setBlock(block, bytes); });
}

// Sixteen distinct bytes that start with a zero, so the data text drops one. The
// others are printable: a line feed in the data would split the log line.
inline QByteArray pattern(int seed)
{
    QByteArray bytes(1, '\0');
    for (int i = 1; i < 16; ++i)
        bytes.append(char(0x20 + seed % 0x40 + i));
    return bytes;
}
