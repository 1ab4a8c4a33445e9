#include "ScriptedDialogs.h"
#include "ScriptedReader.h"

#include "commands/BlockCommands.h"
#include "commands/CardRun.h"
#include "commands/CommandSink.h"
#include "commands/PendingReads.h"
#include "commands/ReadAllRun.h"
#include "commands/RunProgress.h"
#include "commands/TagCommands.h"
#include "commands/TagSequence.h"
#include "commands/WriteAllRun.h"
#include "view/CardGridModel.h"
#include "view/GridLayout.h"
#include "view/ReadIntoGrid.h"
#include "view/WritePlan.h"

#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Sink : CommandSink {
    CardGridModel grid1 {CardType::Mifare1K};
    CardGridModel grid4 {CardType::Mifare4K};
    CardGridModel gridUL {CardType::MifareUL};
    QByteArrayList lines;
    QByteArray lastRead;

    Sink()
    {
        for (CardGridModel *g : {&grid1, &grid4, &gridUL})
            GridLayout::fillDefaults(*g);
    }
    CardGridModel &grid(CardType type)
    {
        return type == CardType::Mifare1K ? grid1 : type == CardType::Mifare4K ? grid4 : gridUL;
    }
    void blockRead(CardType type, int number, const QByteArray &bytes) override
    {
        readIntoGrid(grid(type), number, bytes);
    }
    WritePlan writePlan(CardType type) override { return planWriteAll(grid(type)); }
    void gridsToHex() override {}
    void setLastReadText(const QByteArray &text) override { lastRead = text; }
    void showReadStrip(CardType, int) override {}
    void appendLine(const QByteArray &line) override { lines << line; }
};

struct Progress : RunProgress {
    int cancelBefore = -1;
    void begin(const QString &, int) override {}
    bool advance(int done, const QString &) override { return done != cancelBefore; }
    void end() override {}
};

// The commands and runs of one card type over a scripted reader; no window, no port.
struct Rig {
    explicit Rig(CardType type) : reader(type)
    {
        options.card = type;
        options.getData = true;
        pending.setReadAllRun([this](const QByteArray &kind) { return readAll.runPending(kind); });
    }

    ScriptedReader reader;
    CommandOptions options;
    Sink sink;
    ScriptedDialogs dialogs;
    QTimer timer;
    Progress *progress = new Progress;
    TagCommands tags {reader, [this](bool) { return options; }};
    BlockCommands blocks {reader, tags, sink};
    PendingReads pending {timer, reader, tags, blocks, sink, dialogs};
    CardRun run {timer, std::unique_ptr<RunProgress>(progress)};
    ReadAllRun readAll {tags, blocks, pending, sink, run, dialogs};
    WriteAllRun writeAll {tags, blocks, sink, run, dialogs};
};

QByteArray number(int n)
{
    return QByteArray::number(n);
}

// Where a whole-card run authenticates, worked out from the sector sizes: sectors of
// four blocks up to block 127, then of sixteen.
bool startsSector(int block)
{
    return block < 128 ? block % 4 == 0 : block % 16 == 0;
}

} // namespace

class TestCardRuns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readAllOperations_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::newRow("1K") << CardType::Mifare1K;
        QTest::newRow("4K") << CardType::Mifare4K;
        QTest::newRow("UL") << CardType::MifareUL;
    }
    void readAllOperations()
    {
        QFETCH(CardType, type);
        Rig rig(type);
        const bool ul = type == CardType::MifareUL;
        const int blocks = ul ? 16 : type == CardType::Mifare4K ? 256 : 64;
        const int size = ul ? 4 : 16;
        for (int i = 0; i < blocks * size; ++i)
            rig.reader.card.setByte(i, quint8(i * 7 + 1));
        rig.readAll.readAllClick();

        QByteArrayList expected {"halt", "select"};
        for (int n = 0; n < blocks; n += ul ? 4 : 1) {
            if (!ul && startsSector(n))
                expected << "auth " + number(n) + " default";
            expected << "read " + number(n);
        }
        QCOMPARE(rig.reader.operations, expected);
        // Data rows take the card's bytes; trailer rows keep the grid's own keys.
        CardGridModel &grid = rig.sink.grid(type);
        for (int n = 0; n < blocks; ++n) {
            const bool trailer = !ul && (n < 128 ? n % 4 == 3 : n % 16 == 15);
            const QByteArray cell = grid.cell(ul ? 1 : 2, n + 2);
            QCOMPARE(cell == QByteArray::number(quint8(n * size * 7 + 1), 16).toUpper().rightJustified(2, '0'),
                     !trailer);
        }
    }

    void readAllStops_data()
    {
        QTest::addColumn<QByteArray>("failing");
        QTest::addColumn<QByteArray>("lastOperation");
        QTest::newRow("authentication stops it") << "auth 8 default"_ba << "auth 8 default"_ba;
        QTest::newRow("a read does not") << "read 9"_ba << "read 63"_ba;
        QTest::newRow("select stops it") << "select"_ba << "select"_ba;
    }
    void readAllStops()
    {
        QFETCH(QByteArray, failing);
        QFETCH(QByteArray, lastOperation);
        Rig rig(CardType::Mifare1K);
        rig.reader.failures.insert(failing, ReaderOutcome::Failed);
        rig.readAll.readAllClick();
        QCOMPARE(rig.reader.operations.last(), lastOperation);
    }

    // Cancel stops between two steps; the log says where, and the next run starts again.
    void cancel_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QByteArray>("lastOperation");
        QTest::addColumn<QByteArray>("logLine");
        QTest::newRow("read 1K") << CardType::Mifare1K << false << "read 9"_ba << "Read All cancelled before block 10"_ba;
        QTest::newRow("read UL") << CardType::MifareUL << false << "read 4"_ba << "Read All cancelled before page 8"_ba;
        QTest::newRow("write 1K") << CardType::Mifare1K << true << "write 5"_ba << "Write All cancelled before block 6"_ba;
        // The lock bytes (page 2, written last) are never sent.
        QTest::newRow("write UL") << CardType::MifareUL << true << "page 7"_ba << "Write All cancelled before page 8"_ba;
    }
    void cancel()
    {
        QFETCH(CardType, type);
        QFETCH(bool, write);
        QFETCH(QByteArray, lastOperation);
        QFETCH(QByteArray, logLine);
        Rig rig(type);
        const auto run = [&] { write ? rig.writeAll.writeAllClick() : rig.readAll.readAllClick(); };
        rig.progress->cancelBefore = write ? 5 : type == CardType::MifareUL ? 2 : 10;
        run();
        QCOMPARE(rig.reader.operations.last(), lastOperation);
        QCOMPARE(rig.sink.lines, QByteArrayList {logLine});
        QVERIFY(!rig.run.isActive());
        rig.progress->cancelBefore = -1;
        rig.reader.operations.clear();
        run();
        QCOMPARE(rig.reader.operations.last(), write ? (type == CardType::MifareUL ? "page 2"_ba : "write 63"_ba)
                                                     : (type == CardType::MifareUL ? "read 12"_ba : "read 63"_ba));
    }

    void seekThenTimerReads()
    {
        Rig rig(CardType::Mifare1K);
        rig.options.seek = true;
        rig.readAll.readAllClick();
        QCOMPARE(rig.reader.operations, (QByteArrayList {"halt", "seek"}));
        QVERIFY(rig.timer.isActive());
        rig.pending.Timer1Timer(); // the tag has not come: nothing yet
        QCOMPARE(rig.reader.operations.size(), 2);
        rig.reader.tagArrives();
        rig.pending.Timer1Timer();
        QVERIFY(!rig.timer.isActive());
        QCOMPARE(rig.reader.operations.at(2), "auth 0 default"_ba);
        QCOMPARE(rig.reader.operations.last(), "read 63"_ba);
    }

    void writeAllClassic_data()
    {
        QTest::addColumn<QByteArray>("failing");
        QTest::addColumn<ReaderOutcome>("outcome");
        QTest::addColumn<QByteArray>("lastOperation");
        QTest::newRow("all written") << QByteArray() << ReaderOutcome::Done << "write 63"_ba;
        QTest::newRow("a failed write stops") << "write 10"_ba << ReaderOutcome::Failed << "write 10"_ba;
        QTest::newRow("unverified goes on") << "write 10"_ba << ReaderOutcome::WrittenUnverified << "write 63"_ba;
        QTest::newRow("authentication stops") << "auth 12 default"_ba << ReaderOutcome::Failed << "auth 12 default"_ba;
    }
    void writeAllClassic()
    {
        QFETCH(QByteArray, failing);
        QFETCH(ReaderOutcome, outcome);
        QFETCH(QByteArray, lastOperation);
        Rig rig(CardType::Mifare1K);
        if (!failing.isEmpty())
            rig.reader.failures.insert(failing, outcome);
        rig.writeAll.writeAllClick();
        QCOMPARE(rig.reader.operations.mid(0, 4), (QByteArrayList {"halt", "select", "auth 0 default", "write 1"}));
        QCOMPARE(rig.reader.operations.last(), lastOperation);
        if (failing.isEmpty()) {
            // Block 0 is never written; every sector is authenticated once.
            QCOMPARE(rig.reader.operations.count("auth 0 default"), 1);
            QCOMPARE(rig.reader.operations.size(), 2 + 16 + 63);
        }
    }

    void writeAllDeclined()
    {
        Rig rig(CardType::Mifare1K);
        rig.dialogs.answers.enqueue(false);
        rig.writeAll.writeAllClick();
        QVERIFY(rig.reader.operations.isEmpty());
    }

    void writeAllUltralight()
    {
        Rig rig(CardType::MifareUL);
        rig.reader.failures.insert("page 5", ReaderOutcome::Failed);
        rig.writeAll.writeAllClick();
        QByteArrayList expected {"halt", "select"};
        for (int page = 3; page <= 15; ++page) {
            expected << "page " + number(page);
            if (page == 5)
                expected << "halt" << "select"; // a failed page: the tag again, then on
        }
        expected << "page 2"; // the lock bytes last
        QCOMPARE(rig.reader.operations, expected);
    }

    void keyChoices_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("keyType");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("module default") << 0 << -1 << -1 << "auth 4 default"_ba;
        QTest::newRow("typed, type B") << 1 << 1 << -1 << "auth 4 B a0a1a2a3a4a5"_ba;
        QTest::newRow("typed, no type") << 1 << -1 << 0 << QByteArray();
        QTest::newRow("slot 15, type A") << 2 << 0 << 15 << "auth 4 A slot 15"_ba;
        QTest::newRow("no slot") << 2 << 0 << -1 << QByteArray();
        QTest::newRow("no source") << -1 << 0 << 0 << QByteArray();
    }
    void keyChoices()
    {
        QFETCH(int, source);
        QFETCH(int, keyType);
        QFETCH(int, slot);
        QFETCH(QByteArray, sent);
        Rig rig(CardType::Mifare1K);
        rig.options.keySource = source;
        rig.options.keyType = keyType;
        rig.options.slot = slot;
        rig.options.keyBytes = QByteArray::fromHex("A0A1A2A3A4A5");
        QByteArray result;
        rig.tags.Authenticate(4, result);
        QCOMPARE(rig.reader.operations, sent.isEmpty() ? QByteArrayList() : QByteArrayList {sent});
        QCOMPARE(result, sent.isEmpty() ? "error"_ba : QByteArray());
    }

    void sequencePauses()
    {
        Rig rig(CardType::Mifare1K);
        TagSequence sequence(rig.tags, [&] { rig.reader.operations << "pause"; });
        QVERIFY(sequence.prepare(4, true));
        QCOMPARE(rig.reader.operations, (QByteArrayList {"halt", "pause", "select", "pause", "auth 4 default"}));
        rig.reader.operations.clear();
        rig.reader.failures.insert("select", ReaderOutcome::NoTag);
        QVERIFY(!sequence.prepare(4, true));
        QCOMPARE(rig.reader.operations, (QByteArrayList {"halt", "pause", "select"}));
    }
};

QTEST_GUILESS_MAIN(TestCardRuns)
#include "tst_cardruns.moc"
