#include "FuzzTargets.h"

#include "ProgramRig.h"
#include "ScriptedPeer.h"

#include "app/MainWindow.h"
#include "app/MainWindowUi.h"
#include "app/ProgramWindows.h"
#include "card/CardImage.h"
#include "files/GridImage.h"
#include "link/ComPort.h"
#include "link/Frame.h"
#include "link/FrameExchange.h"
#include "link/ModuleLink.h"
#include "view/CardGridModel.h"
#include "windows/CardGrids.h"
#include "commands/CardRun.h"
#include "commands/ReadAllRun.h"
#include "commands/RunProgress.h"
#include "commands/WriteAllRun.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>

namespace {

class SilentProgress : public RunProgress
{
public:
    void begin(const QString &, int) override {}
    bool advance(int, const QString &) override { return true; }
    void end() override {}
};

// One program for the whole process; each input gets a fresh far end and fresh grids.
ProgramRig &program()
{
    static ProgramRig *rig = [] {
        auto *r = new ProgramRig;
        r->start();
        r->windows->cardRun().setProgress(std::make_unique<SilentProgress>());
        r->main().ui().cmb_baud->setCurrentIndex(1);
        r->main().link().exchange().setResponseTimeout(30);
        return r;
    }();
    return *rig;
}

// A card as a module would deliver it: transport keys and access bits in each trailer.
CardImage sampleCard(CardType type)
{
    QByteArray bytes(CardImage::byteCountOf(type), '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + 3);
    CardImage image(type);
    if (isClassic(type)) {
        const QByteArray trailer = QByteArray::fromHex("FFFFFFFFFFFFFF078069FFFFFFFFFFFF");
        for (int block = 0; block < image.blockCount(); ++block) {
            if (CardImage::isTrailerBlock(block))
                bytes.replace(block * 16, 16, trailer);
        }
    } else {
        bytes.replace(8, 8, QByteArray(8, '\0')); // lock and OTP bytes clear
    }
    image.setBytes(bytes);
    return image;
}

} // namespace

// The module's answers to a whole Read All or Write All run. Byte 0 picks the card
// type and the run; then each answer is a length byte and that many bytes, sent as
// the answer to the next request. When they run out every request gets "N" (no tag).
int fuzzCardRuns(const uint8_t *data, size_t size)
{
    fuzzEnsureApplication();
    if (size < 1)
        return 0;
    ProgramRig &rig = program();
    MainWindow &main = rig.main();
    const CardType type = CardType(data[0] % 3);
    const bool writeAll = (data[0] / 3) % 2 == 1;

    ScriptedPeer peer;
    int answers = 0;
    for (size_t i = 1; i < size && answers < 600;) {
        const size_t n = qMin<size_t>(data[i], size - i - 1);
        peer.answer(QByteArray(reinterpret_cast<const char *>(data) + i + 1, qsizetype(n)));
        i += 1 + n;
        ++answers;
    }
    const QByteArray noTag = Frame::request(0x83, "N");
    for (int i = 0; i < 700; ++i)
        peer.answer(noTag);

    QComboBox *port = main.ui().cmb_port;
    port->addItem(peer.portPath());
    port->setCurrentIndex(port->count() - 1);
    main.cmb_portChange();
    if (port->count() > 1)
        port->removeItem(0); // the list stays short
    main.ui().cmb_tag_type->setCurrentIndex(int(type));
    main.tag_changeClick();
    main.ui().cb_select->setChecked(false);
    GridImage::toGrid(sampleCard(type), main.grids().model(type));
    rig.dialogs.shown.clear();
    main.ui().Memo1->clear();

    if (writeAll)
        rig.windows->writeAllRun().writeAllClick();
    else
        rig.windows->readAllRun().readAllClick();

    FUZZ_CHECK(!rig.windows->cardRun().isActive());
    // Read All: halt, select, and per block at most an authentication and a read.
    const qsizetype most = 2 + 2 * qsizetype(CardImage::blockCountOf(type)) + 8;
    FUZZ_CHECK(peer.requests().size() <= most);
    const CardGridModel &grid = main.grids().model(type);
    for (int row = 0; row < grid.rows(); ++row) {
        for (int column = 0; column < grid.columns(); ++column)
            FUZZ_CHECK(grid.cellRef(column, row).size() <= 16);
    }
    main.port().close();
    return 0;
}
