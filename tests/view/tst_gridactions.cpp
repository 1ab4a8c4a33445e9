#include "CardRunRig.h"

#include "windows/AccessEditor.h"
#include "windows/LockBytesEditor.h"
#include "windows/CardGrids.h"
#include "windows/CardGridView.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Action columns of grid1/grid4 and gridUL.
constexpr int ReadColumn = 21;
constexpr int WriteColumn = 19;
constexpr int IncrementColumn = 25;
constexpr int WriteValueColumn = 31;
constexpr int ReadValueColumn = 33;
constexpr int UlWriteColumn = 9;

const QString SeeNextWarning = u"SEE NEXT WARNING MESSAGE"_s;
const QString Continue = u"\nDo you want to continue?"_s;

} // namespace

// Double clicks on the action cells, asserted on what the simulated module received
// and on the boxes the user saw.
class TestGridActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // With Auto a read is halt, select, authenticate, read. Enter (or Space) on an
    // action cell of the view is its double click.
    void readBlock()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare1K));
        setClassicBlock(r.sim, 6, pattern(6));
        CardGridView &view = r.main().grids().view(CardType::Mifare1K);
        view.selectCell({ReadColumn, 8});
        QTest::keyClick(&view, Qt::Key_Return);
        QCOMPARE(r.frames(), (QList<QByteArray> {Frames::Halt, Frames::Select, Frames::auth(6), Frames::read(6)}));
        QCOMPARE(r.rig->rowText(CardType::Mifare1K, 8), pattern(6).toHex().toUpper());
    }

    // Block and page writes: what is asked, and whether the write goes out. Page 2
    // goes out as 00 00 L0 L1; page 3 asks the OTP question when any cell is not 00.
    // "No" sends nothing. The plan's other refusals and questions are tested in
    // tst_writeplan.
    void writes_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("column"); // of the first cell typed
        QTest::addColumn<QByteArray>("cells");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QByteArray>("sent"); // block or page data, empty when nothing goes out
        const auto k1 = CardType::Mifare1K, ul = CardType::MifareUL;
        const QStringList access {SeeNextWarning, u"*You wont be able to change access conditions again"_s + Continue};
        const QStringList lock = {SeeNextWarning, u"*You wont be able to program Page 4 again"_s + Continue};
        const QStringList otp = {SeeNextWarning, u"Once any bit of the OTP(One Time Programmable) area is set to 1 "
                                                 u"then it will never be possible to change it to 0. "
                                                 u"Do you want to continue?"_s};
        QTest::newRow("transport trailer") << k1 << 7 << 8 << "FF0780"_ba << true << QStringList()
                                           << "5C5C5C5C5C5CFF0780695C5C5C5C5C5C"_ba;
        QTest::newRow("locking trailer, no") << k1 << 7 << 8 << "FF0F00"_ba << false << access << QByteArray();
        QTest::newRow("lower case") << k1 << 6 << 5 << "0a"_ba << true
                                    << QStringList {u"Block data should be consist of hex numbers!"_s} << QByteArray();
        QTest::newRow("lock bytes, yes") << ul << 2 << 1 << "AABB1000"_ba << true << lock << "00001000"_ba;
        QTest::newRow("lock bytes, no") << ul << 2 << 1 << "AABB1000"_ba << false << lock << QByteArray();
        QTest::newRow("otp, no") << ul << 3 << 1 << "00000001"_ba << false << otp << QByteArray();
        QTest::newRow("otp all zero") << ul << 3 << 1 << "00000000"_ba << true << QStringList() << "00000000"_ba;
    }
    void writes()
    {
        QFETCH(CardType, type);
        QFETCH(int, block);
        QFETCH(int, column);
        QFETCH(QByteArray, cells);
        QFETCH(bool, answer);
        QFETCH(QStringList, shown);
        QFETCH(QByteArray, sent);
        CardRunRig r;
        QVERIFY(r.start(type));
        for (int i = 0; i < cells.size() / 2; ++i)
            r.grid(type).setCell(column + i, block + 2, cells.mid(2 * i, 2));
        r.dialogs().answers.enqueue(answer);
        const bool ul = type == CardType::MifareUL;
        r.click(type, ul ? UlWriteColumn : WriteColumn, block + 2);
        QCOMPARE(r.dialogs().texts(), shown);
        for (const auto &box : r.dialogs().shown)
            if (box.kind == u"question"_s)
                QCOMPARE(box.caption, u"WARNING"_s);
        QList<QByteArray> expected;
        if (!sent.isEmpty() && ul)
            expected = {Frames::Halt, Frames::Select, Frames::writePage(block, QByteArray::fromHex(sent))};
        else if (!sent.isEmpty())
            expected = {Frames::Halt, Frames::Select, Frames::auth(block), Frames::write(block, QByteArray::fromHex(sent))};
        QCOMPARE(r.frames(), expected);
    }

    // The ASCII view is turned back to hexadecimal before the bytes are taken.
    void writeInAsciiView()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare1K));
        r.rig->fillRow(CardType::Mifare1K, 6, "41");
        r.main().ui().cb_ascii->setChecked(true);
        QVERIFY(r.main().grids().asciiView());
        r.click(CardType::Mifare1K, WriteColumn, 6);
        QVERIFY(!r.main().ui().cb_ascii->isChecked());
        QVERIFY(!r.main().grids().asciiView());
        QCOMPARE(r.framesOf(Frames::WriteCode), (QList<QByteArray> {Frames::write(4, QByteArray(16, 'A'))}));
    }

    // Value cells: the operand goes least significant byte first; a cell that is not
    // eight hex digits refuses with its own message in a warning box.
    void valueOperands_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("frame");
        // Decrement's frame is tested in tst_valuecommands, the parsing of the cells in
        // tst_valuesandaccess.
        QTest::newRow("increment") << IncrementColumn << "00000001"_ba << QString()
                                   << Frame::request(0x8D, QByteArray::fromHex("0401000000"));
        QTest::newRow("increment, empty")
            << IncrementColumn << QByteArray() << u"Increment Value should be consist of hex numbers!"_s << QByteArray();
        QTest::newRow("increment, negative decimal")
            << IncrementColumn << "#-1"_ba << u"A decimal amount must be a whole number from 0 to 2147483647."_s
            << QByteArray();
        QTest::newRow("write value, lower case")
            << WriteValueColumn << "0000012c"_ba << u"Value should be consist of hex numbers!"_s << QByteArray();
    }
    void valueOperands()
    {
        QFETCH(int, column);
        QFETCH(QByteArray, cell);
        QFETCH(QString, message);
        QFETCH(QByteArray, frame);
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare1K));
        r.sim.withModule([](VirtualModule &m) { m.classicCard()->setBlock(4, ClassicCard::valueBlock(300, 4)); });
        const int cellColumn = column == WriteValueColumn ? 29 : 23;
        r.grid(CardType::Mifare1K).setCell(cellColumn, 6, cell);
        r.click(CardType::Mifare1K, column, 6);
        if (!message.isEmpty()) {
            QCOMPARE(r.dialogs().texts(), QStringList {message});
            QCOMPARE(r.dialogs().shown.first().kind, u"warning"_s);
            QVERIFY(r.frames().isEmpty());
            return;
        }
        QVERIFY(r.dialogs().shown.isEmpty());
        QCOMPARE(r.frames(), (QList<QByteArray> {Frames::Halt, Frames::Select, Frames::auth(4), frame}));
    }

    // "RV" with Auto: the value 300 reads 0000012C into the value cell and the read strip.
    void readValue()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare1K));
        r.sim.withModule([](VirtualModule &m) { m.classicCard()->setBlock(5, ClassicCard::valueBlock(300, 5)); });
        r.grid(CardType::Mifare1K).setCell(29, 7, "00000000");
        r.click(CardType::Mifare1K, ReadValueColumn, 7);
        QCOMPARE(r.frames().last(), Frame::request(0x87, QByteArray(1, '\x05')));
        QCOMPARE(r.grid(CardType::Mifare1K).cell(29, 7), "0000012C"_ba);
        QCOMPARE(r.main().grids().lastReadText(), "Value is:0000012C"_ba);
        QCOMPARE(r.main().grids().readStrip().lastReadRow(), 7);
    }

    // "S" opens the editor of the cell; page 1 of gridUL has no action.
    void editorsAndNoAction()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::MifareUL));
        r.click(CardType::MifareUL, UlWriteColumn, 3);
        QVERIFY(r.frames().isEmpty());
        r.click(CardType::MifareUL, 5, 4);
        QVERIFY(r.windows().lockEditor().isVisible());
        r.rig->chooseCardType(CardType::Mifare4K);
        r.click(CardType::Mifare4K, 18, 145);
        QVERIFY(r.windows().accessEditor().isVisible());
        QVERIFY(r.frames().isEmpty());
    }

    // While a run is active a double click starts nothing.
    void ignoredDuringRun()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare1K));
        QVERIFY(r.windows().cardRun().start(u"run"_s, 1));
        r.click(CardType::Mifare1K, ReadColumn, 8);
        r.windows().cardRun().finish();
        QVERIFY(r.frames().isEmpty());
        r.click(CardType::Mifare1K, ReadColumn, 8);
        QCOMPARE(r.frames().size(), 4);
    }
};

QTEST_MAIN(TestGridActions)
#include "tst_gridactions.moc"
