#pragma once

#include "../tag/BlockTestRig.h"

#include "ClassicCard.h"
#include "UltralightCard.h"
#include "VirtualCard.h"

#include "app/ProgramWindows.h"
#include "link/Frame.h"
#include "commands/CardRun.h"
#include "windows/GridActions.h"
#include "commands/ReadAllRun.h"
#include "commands/RunProgress.h"
#include "commands/WriteAllRun.h"

#include <QCheckBox>
#include <QComboBox>

#include <functional>
#include <memory>

// Progress that records what the run showed and cancels on cue.
struct ScriptedProgress : RunProgress
{
    QList<int> steps;
    int ended = 0;
    // Called before each step; true cancels.
    std::function<bool(int done)> cancelAt = [](int) { return false; };

    void begin(const QString &, int) override {}
    bool advance(int done, const QString &) override
    {
        steps << done;
        return !cancelAt(done);
    }
    void end() override { ++ended; }
};

// The whole program on the module simulator at 115200 bit/s with a quick card, a card
// of the chosen type on the reader, and scripted progress for the runs.
struct CardRunRig
{
    PtySimulator sim;
    std::unique_ptr<BlockTestRig> rig;
    ScriptedProgress *progress = nullptr;

    // Auto on, "Seek for tag" off, "Get data blocks to grid" on.
    bool start(CardType type)
    {
        sim.setCard(VirtualCard::create(type == CardType::MifareUL   ? CardKind::Ultralight
                                        : type == CardType::Mifare4K ? CardKind::Classic4K
                                                                     : CardKind::Classic1K));
        sim.setCardTimeMs(0);
        sim.setModuleSpeed(115200);
        if (!sim.start())
            return false;
        rig = std::make_unique<BlockTestRig>(sim.portPath());
        MainWindowUi &ui = main().ui();
        ui.cmb_baud->setCurrentIndex(4);
        ui.cb_auto->setChecked(true);
        ui.cb_select->setChecked(false);
        ui.cb_getdata->setChecked(true);
        rig->chooseCardType(type);
        auto scripted = std::make_unique<ScriptedProgress>();
        progress = scripted.get();
        windows().cardRun().setProgress(std::move(scripted));
        return true;
    }

    MainWindow &main() { return rig->main(); }
    ProgramWindows &windows() { return *rig->program.windows; }
    ScriptedDialogs &dialogs() { return rig->program.dialogs; }
    CardGridModel &grid(CardType type) { return rig->grid(type); }
    void click(CardType type, int column, int row) { windows().gridActions().cellDoubleClicked(type, column, row); }
    QList<QByteArray> frames() const { return sim.receivedFrames(); }
    // Only what the program sent that has the command code.
    QList<QByteArray> framesOf(quint8 command) const
    {
        QList<QByteArray> out;
        for (const QByteArray &frame : sim.receivedFrames())
            if (frame.size() > 3 && quint8(frame.at(3)) == command)
                out << frame;
        return out;
    }
    void setTrailerAccess(CardType type, int block, const QByteArray &accessHex)
    {
        for (int i = 0; i < 3; ++i)
            grid(type).setCell(8 + i, block + 2, accessHex.mid(2 * i, 2));
    }
};

namespace Frames {
inline const QByteArray Halt = QByteArray::fromHex("FF00019394");
inline const QByteArray Select = QByteArray::fromHex("FF00018384");
inline const QByteArray Seek = QByteArray::fromHex("FF00018283");
inline QByteArray auth(int block) { return Frame::request(0x85, QByteArray(1, char(block)) + '\xFF'); }
inline QByteArray read(int block) { return Frame::request(0x86, QByteArray(1, char(block))); }
inline QByteArray write(int block, const QByteArray &data) { return Frame::request(0x89, char(block) + data); }
inline QByteArray writePage(int page, const QByteArray &data) { return Frame::request(0x8B, char(page) + data); }
constexpr quint8 ReadCode = 0x86;
constexpr quint8 WriteCode = 0x89;
constexpr quint8 WritePageCode = 0x8B;
constexpr quint8 AuthCode = 0x85;
} // namespace Frames
