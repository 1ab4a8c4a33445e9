// merlox-screenshot: the main window with a card read from an in-process simulator,
// saved as a PNG for the README. Runs on the offscreen platform; not installed.
//
//   merlox-screenshot [output.png]     (default: docs/screenshot.png of the source tree)
#include "PortPublisher.h"
#include "PtySimulator.h"

#include "app/MainWindow.h"
#include "app/ProgramIdentity.h"
#include "app/ProgramWindows.h"
#include "base/SettingsFile.h"
#include "base/UserDialogs.h"
#include "commands/TagCommands.h"
#include "view/CardGridModel.h"
#include "windows/CardGrids.h"
#include "view/CardLayout.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// No box may block a tool without a user: messages go to standard error and every
// question is answered Yes, file dialogs are cancelled.
class SilentDialogs : public UserDialogs
{
public:
    void showMessage(const QString &text) override { note(QStringLiteral("message"), text); }
    void showError(const QString &text) override { note(QStringLiteral("error"), text); }
    void showWarning(const QString &text) override { note(QStringLiteral("warning"), text); }
    bool askYesNo(const QString &caption, const QString &text) override
    {
        note(caption, text);
        return true;
    }
    bool askBeforeIrreversible(const QString &caption, const QString &text) override
    {
        return askYesNo(caption, text);
    }
    QString openFileName(const QStringList &, QString *, const QString &) override { return {}; }
    QString saveFileName(const QStringList &, QString *, const QString &) override { return {}; }

private:
    static void note(const QString &kind, const QString &text)
    {
        std::fprintf(stderr, "merlox-screenshot: %s: %s\n", qPrintable(kind), qPrintable(text.simplified()));
    }
};

constexpr int kBlockSize = 16;

void putBlock(QByteArray &image, int block, const QByteArray &bytes)
{
    image.replace(block * kBlockSize, kBlockSize, bytes.leftJustified(kBlockSize, '\0', true));
}

// A value block: value, inverted value, value, then address, inverted, address, inverted.
QByteArray valueBlock(qint32 value, quint8 address)
{
    QByteArray block;
    const auto put = [&block](quint32 v) {
        for (int i = 0; i < 4; ++i)
            block.append(char((v >> (8 * i)) & 0xFF));
    };
    put(quint32(value));
    put(~quint32(value));
    put(quint32(value));
    block.append(char(address)).append(char(~address)).append(char(address)).append(char(~address));
    return block;
}

// Something worth looking at on the card: text in sector 0, a value block in sector 1.
void dressCard(PtySimulator &sim)
{
    QByteArray image = sim.cardImage();
    if (image.size() < 8 * kBlockSize)
        return;
    putBlock(image, 1, QByteArrayLiteral("MERLOX MIFARE   "));
    putBlock(image, 2, QByteArrayLiteral("Door 3, floor 2 "));
    putBlock(image, 4, valueBlock(1500, 4));
    putBlock(image, 5, QByteArray::fromHex("0000000100020003000400050006000F"));
    if (!sim.setCardImage(image))
        std::fprintf(stderr, "merlox-screenshot: the card kept its own contents\n");
}

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The image straight from the simulator into the grid, for when no read-all run is
// available in the window: block b into row b + 2, trailers included.
void fillGrid(MainWindow &window, const QByteArray &image)
{
    CardGridModel &model = window.grids().model(CardType::Mifare1K);
    const int blocks = int(image.size() / kBlockSize);
    for (int b = 0; b < blocks; ++b) {
        for (int i = 0; i < kBlockSize; ++i) {
            const QByteArray digits = image.mid(b * kBlockSize + i, 1).toHex().toUpper();
            model.setCell(CardLayout::kFirstByteColumnClassic + i, CardLayout::kFirstDataRow + b, digits);
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    applyProgramIdentity();
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral(MERLOX_SOURCE_DIR "/docs/screenshot.png");

    PtySimulator sim;
    QString error;
    if (!sim.start(&error)) {
        std::fprintf(stderr, "merlox-screenshot: no simulator: %s\n", qPrintable(error));
        return 1;
    }
    dressCard(sim);
    // Under the name a user sees for a running simulator, not its /dev/pts path.
    PortPublisher publisher;
    const QString portName =
        publisher.publish(QStringLiteral("mifare-sim"), sim.portPath()) ? publisher.publishedName() : sim.portPath();

    QTemporaryDir dir;
    SettingsFile settings(dir.filePath(QStringLiteral("merlox_mifare_cnf.txt")));
    SilentDialogs dialogs;
    ProgramWindows windows(settings, dialogs);
    MainWindow &window = windows.main();
    window.resize(1280, 720);
    window.show();
    settle(200);

    MainWindowUi &ui = window.ui();
    if (ui.cmb_port->findText(portName) < 0)
        ui.cmb_port->addItem(portName);
    ui.cmb_port->setCurrentIndex(ui.cmb_port->findText(portName));
    window.cmb_portChange();
    ui.cmb_baud->setCurrentIndex(1);
    window.cmb_baudChange();
    ui.cmb_tag_type->setCurrentIndex(int(CardType::Mifare1K));
    window.tag_changeClick();

    if (ui.readAll->isEnabled()) {
        ui.readAll->trigger();
    } else {
        QByteArray result;
        window.tagCommands().SelectTag(result);
        fillGrid(window, sim.cardImage());
    }
    settle(1500);

    const QImage shot = window.grab().toImage();
    sim.stop();
    if (shot.isNull() || !shot.save(output, "PNG")) {
        std::fprintf(stderr, "merlox-screenshot: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s (%dx%d)\n", qPrintable(output), shot.width(), shot.height());
    return 0;
}
