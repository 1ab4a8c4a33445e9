#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QObject>

class AccessEditor;
class BlockCommands;
class CardGrids;
class CardRun;
class CommandSink;
class LockBytesEditor;
class PendingReads;
class TagCommands;
class UserDialogs;
class ValueCommands;
struct WritePlan;

// The double-click actions of grid1, grid4 and gridUL: read or write the row's block
// or page, read, write, increment or decrement a value, or open the editor of the
// row's trailer or lock bytes. Cells are tested and lock warnings confirmed before
// anything is sent; with Auto each operation first halts and selects the tag and, on
// Classic cards, authenticates the block.
class GridActions : public QObject
{
    Q_OBJECT

public:
    // The commands of one reader, and where their results show.
    struct Commands {
        TagCommands &tags;
        BlockCommands &blocks;
        ValueCommands &values;
        PendingReads &pending;
        CommandSink &sink;
    };

    GridActions(Commands commands, CardGrids &grids, UserDialogs &dialogs, CardRun &run, AccessEditor &accessEditor,
                LockBytesEditor &lockEditor, QObject *parent = nullptr);

public Q_SLOTS:
    // A double click on a cell; ignored while a read-all or write-all run is active.
    void cellDoubleClicked(CardType type, int column, int row);
    // The same at each grid's current cell.
    void grid1DblClick();
    void grid4DblClick();
    void gridULDblClick();

private:
    void classicAction(CardType type, const QByteArray &action, int row);
    void ultralightAction(const QByteArray &action, int row);

    void readBlock(CardType type, int row);
    void writeBlock(CardType type, int row);
    void readValue(CardType type, int row);
    // Write value, increment and decrement: the operand of a value cell.
    void changeValue(CardType type, const QByteArray &action, int row);
    void writePage(int row);

    // The Auto steps before an operation (halt, select, authenticate for Classic);
    // true when the operation may run. Without Auto: true at once.
    [[nodiscard]] bool autoSequence(CardType type, int block);
    // A read with Auto and "Seek for tag": halt, seek, and Timer1 completes it.
    void seekAndRead(CardType type, int block);
    void showStrip(CardType type, int row);
    void repaint(CardType type);
    void switchAsciiOff();

    Commands m_commands;
    CardGrids &m_grids;
    UserDialogs &m_dialogs;
    CardRun &m_run;
    AccessEditor &m_accessEditor;
    LockBytesEditor &m_lockEditor;
};
