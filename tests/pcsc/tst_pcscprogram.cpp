// The whole program on a PC/SC reader: pcscd's virtual reader chosen in the Com Port
// box, the simulator's card connected to the reader's driver in this process.
#include "HookedProgress.h"
#include "PcscCardWait.h"
#include "ProgramRig.h"

#include "PcscConsole.h"
#include "PcscSimulator.h"
#include "VirtualCard.h"

#include "app/MainWindowUi.h"
#include "app/ReaderChoice.h"
#include "commands/CardRun.h"
#include "pcsc/PcscContext.h"
#include "pcsc/PcscReader.h"
#include "reader/CardReader.h"
#include "view/CardGridModel.h"
#include "windows/CardGrids.h"
#include "windows/ModuleOnlyControls.h"
#include "workflows/CardArrivals.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString Reader = QStringLiteral("Virtual PCD 00 00");
const QString Entry = QStringLiteral("PC/SC: Virtual PCD 00 00");

CardKind kindOf(CardType type)
{
    return type == CardType::Mifare4K ? CardKind::Classic4K
         : type == CardType::MifareUL ? CardKind::Ultralight
                                      : CardKind::Classic1K;
}

} // namespace

class TestPcscProgram : public QObject
{
    Q_OBJECT

private:
    PcscSimulator m_sim;
    std::unique_ptr<ProgramRig> m_program;
    HookedProgress *m_progress = nullptr;

    static bool waitForCard(bool present) { return waitForPcscCard(Reader, present); }

    bool insertCard(CardType type)
    {
        m_sim.remove();
        if (!waitForCard(false))
            return false;
        m_sim.setCard(VirtualCard::create(kindOf(type)));
        return m_sim.insert(nullptr, 3000) && waitForCard(true);
    }

    MainWindow &main() { return m_program->main(); }
    MainWindowUi &ui() { return main().ui(); }

    // The program with the virtual reader chosen in the port box, the card type,
    // Auto, Get data and the typed key (the simulator's cards' key) chosen.
    void startProgram(CardType type)
    {
        m_program = std::make_unique<ProgramRig>();
        m_program->start();
        const int index = ui().cmb_port->findText(Entry);
        QVERIFY2(index >= 0, "the virtual reader is not in the port box");
        ui().cmb_port->setCurrentIndex(index);
        main().cmb_portChange();
        ui().cmb_tag_type->setCurrentIndex(int(type));
        main().tag_changeClick();
        ui().cb_auto->setChecked(true);
        ui().cb_select->setChecked(false);
        ui().cb_getdata->setChecked(true);
        ui().authSource->button(1)->setChecked(true);
        ui().keyType->button(0)->setChecked(true);
        auto progress = std::make_unique<HookedProgress>();
        m_progress = progress.get();
        m_program->windows->cardRun().setProgress(std::move(progress));
    }

    QByteArray gridBlock(CardType type, int block)
    {
        CardGridModel &grid = main().grids().model(type);
        QByteArray text;
        for (int c = 2; c < 18; ++c)
            text += grid.cell(c, block + 2);
        return QByteArray::fromHex(text);
    }

private slots:
    void initTestCase()
    {
        PcscContext context;
        QCOMPARE(context.establish(), 0L); // scripts/start-pcscd.sh starts pcscd
    }

    void cleanup()
    {
        m_program.reset();
        m_sim.remove();
        QVERIFY(waitForCard(false));
    }

    // Choosing the reader: the module-only controls off with their reason, the name
    // stored; a serial port again: all back, the name cleared.
    void portBoxChoosesTheReader()
    {
        m_program = std::make_unique<ProgramRig>();
        m_program->start();
        const QByteArray firstStart = m_program->settingsBytes();
        QVERIFY(!firstStart.contains("PcscReader"));
        const int index = ui().cmb_port->findText(Entry);
        QVERIFY(index >= 0);
        QVERIFY(ui().cmb_port->currentText() != Entry); // never chosen by the stored index alone
        ui().cmb_port->setCurrentIndex(index);
        main().cmb_portChange();
        QVERIFY(main().readerChoice().pcscChosen());
        for (QAction *action : {ui().rfOn, ui().sleep, ui().resetModule, ui().writeE2promKey, ui().changeBaudRate}) {
            QVERIFY(!action->isEnabled());
            QCOMPARE(action->statusTip(), ModuleOnlyControls::Reason);
        }
        QVERIFY(!ui().cmb_baud->isEnabled());
        QCOMPARE(ui().cmb_baud->statusTip(), ModuleOnlyControls::Reason);
        QVERIFY(m_program->settingsBytes().contains("PcscReader"));
        QVERIFY(m_program->settingsBytes().contains("Virtual PCD 00 00,"));

        ui().cmb_port->addItem(QStringLiteral("/dev/ttyMERLOX"));
        ui().cmb_port->setCurrentIndex(ui().cmb_port->count() - 1);
        main().cmb_portChange();
        QVERIFY(!main().readerChoice().pcscChosen());
        QVERIFY(ui().cmb_baud->isEnabled() && ui().rfOn->isEnabled());
        QVERIFY(ui().rfOn->statusTip().isEmpty());
        QVERIFY(!m_program->settingsBytes().contains("Virtual PCD"));
    }

    // A stored reader that is gone at the next start stays chosen and is reported.
    void storedReaderGoneIsReported()
    {
        m_program = std::make_unique<ProgramRig>();
        m_program->settings.createIfMissing();
        m_program->settings.append("PcscReader", "Unplugged Reader 00 00,");
        m_program->start();
        QCOMPARE(ui().cmb_port->currentText(), QStringLiteral("PC/SC: Unplugged Reader 00 00"));
        QVERIFY(main().readerChoice().pcscChosen());
        QCOMPARE(m_program->dialogs.shown.size(), 1);
        QVERIFY(m_program->dialogs.shown.first().text.contains(QLatin1String("\"Unplugged Reader 00 00\" chosen last time")));
    }

    // Read All through the window: one read per block, the grid equal to the card. (A
    // 4K card's sectors: tests/commands/tst_cardruns and tst_pcscsession's block 200.)
    void readAllEqualsTheCard()
    {
        const CardType type = CardType::Mifare1K;
        QVERIFY(insertCard(type));
        QByteArray image = m_sim.cardImage();
        const int blocks = int(image.size() / 16);
        for (int block = 1; block < blocks; ++block) {
            if (block % 4 != 3) // trailers stay as they are
                image.replace(block * 16, 16, QByteArray(16, char(block)));
        }
        QVERIFY(m_sim.setCardImage(image));
        startProgram(type);
        const qsizetype before = m_sim.receivedApdus().size();
        ui().readAll->trigger();
        QCOMPARE(m_program->dialogs.shown.size(), 0);
        QCOMPARE(m_progress->ended, 1);
        int reads = 0;
        for (const QByteArray &apdu : m_sim.receivedApdus().mid(before))
            reads += apdu.startsWith(QByteArray::fromHex("FFB0"));
        QCOMPARE(reads, blocks);
        for (int block = 0; block < blocks; ++block) {
            const QByteArray onCard = image.mid(block * 16, 16);
            // A trailer's key A never reads back: its access bits must.
            if (block % 4 == 3)
                QCOMPARE(gridBlock(type, block).mid(6, 4), onCard.mid(6, 4));
            else
                QCOMPARE(gridBlock(type, block), onCard);
        }
        QVERIFY(main().status().contains("READ OK!"));
    }

    // An Ultralight page written through the chosen reader, logged as an exchange.
    void ultralightPageWrite()
    {
        QVERIFY(insertCard(CardType::MifareUL));
        startProgram(CardType::MifareUL);
        CardReader &reader = main().readerChoice().reader();
        QVERIFY(reader.select(CardType::MifareUL).ok());
        const ReaderResult written = reader.writePage(5, QByteArray::fromHex("CAFEF00D"));
        QVERIFY(written.ok());
        QCOMPARE(m_sim.cardImage().mid(20, 4), QByteArray::fromHex("CAFEF00D"));
        const QByteArrayList lines = main().logLines();
        QVERIFY(lines.at(lines.size() - 2).startsWith("TX > FF D6 00 05 04 CA FE F0 0D "));
        QVERIFY(lines.last().startsWith("RX <90 00 "));
        QVERIFY(lines.last().endsWith("WRITE OK"));
        QVERIFY(main().status().endsWith("| Page No:5 | WRITE OK!"));
        // The module's default key has no PC/SC counterpart: refused, nothing sent.
        const qsizetype before = m_sim.receivedApdus().size();
        QCOMPARE(reader.authenticate(4, KeySource::readerDefault()).outcome, ReaderOutcome::Unsupported);
        QCOMPARE(m_sim.receivedApdus().size(), before);
    }

    // The card taken away mid-run: one message, the run over, nothing more sent.
    void cardRemovedDuringReadAll()
    {
        QVERIFY(insertCard(CardType::Mifare1K));
        startProgram(CardType::Mifare1K);
        m_progress->atStep = [this](int done) {
            if (done == 10)
                m_sim.remove();
        };
        ui().readAll->trigger();
        QCOMPARE(m_program->dialogs.shown.size(), 1);
        QVERIFY(m_program->dialogs.shown.first().text.contains(QLatin1String("removed")));
        QCOMPARE(m_progress->steps, 10 + 1);
        QCOMPARE(m_progress->ended, 1);
        QVERIFY(!m_program->windows->cardRun().isActive());
        const QByteArrayList lines = main().logLines();
        QVERIFY(lines.last().startsWith("RX <"));
    }

    // Seek for tag: waiting without blocking, done once the console inserts the card.
    void seekCompletesOnInsertion()
    {
        startProgram(CardType::Mifare1K);
        ui().cb_select->setChecked(true);
        ui().btn_select->click();
        CardReader &reader = main().readerChoice().reader();
        QVERIFY(reader.seekWaiting());
        QCOMPARE(main().status(), QByteArray("SEEKING FOR TAG"));
        PcscConsole console(m_sim);
        QCOMPARE(console.execute(QStringLiteral("insert")), QStringLiteral("card inserted"));
        QTRY_VERIFY_WITH_TIMEOUT(!reader.seekWaiting(), 5000);
        QVERIFY(main().status().startsWith("TAG TYPE:MIFARE Classic 1K | TAG SERIAL # "));
    }

    // A batch's card left on the reader: the next look waits in the daemon, sending
    // nothing, until the field was empty; the card put back counts as arrived.
    void batchWaitsUntilTheCardIsTakenAway()
    {
        QVERIFY(insertCard(CardType::Mifare1K));
        startProgram(CardType::Mifare1K);
        CardReader &reader = main().readerChoice().reader();
        CardArrivals arrivals(reader, CardType::Mifare1K);
        const CardPresence first = arrivals.next();
        QCOMPARE(first.kind, CardPresence::Kind::Card);
        const CardPresence still = arrivals.next();
        QCOMPARE(still.uid, first.uid);
        QVERIFY(!still.arrived);
        const qsizetype sent = m_sim.receivedApdus().size();
        bool putBack = false; // after waiting, and only then
        QTimer takeAway; // later than a looking reader's pause
        takeAway.setSingleShot(true);
        connect(&takeAway, &QTimer::timeout, this, [&] {
            const bool waiting = reader.seekWaiting() && m_sim.receivedApdus().size() == sent
                                 && main().status() == "Take the card away and put the next one on the reader.";
            m_sim.remove();
            putBack = waiting && waitForCard(false) && m_sim.insert(nullptr, 3000);
        });
        takeAway.start(CardArrivals::PauseMs + 300);
        QTimer::singleShot(10000, &arrivals, &CardArrivals::stop);
        const CardPresence back = arrivals.next();
        QVERIFY(putBack);
        QCOMPARE(back.kind, CardPresence::Kind::Card);
        QCOMPARE(back.uid, first.uid);
        QVERIFY(back.arrived);
    }
};

QTEST_MAIN(TestPcscProgram)
#include "tst_pcscprogram.moc"
