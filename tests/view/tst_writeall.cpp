#include "CardRunRig.h"

#include "windows/BaudRateWindow.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString WriteAllQuestion =
    u"You are about to write/program all blocks including configuration blocks.Do you want to continue?"_s;
const QString BadBlockHex = u"Block data should be consist of hex numbers!"_s;

// 16 distinct bytes per block, as grid text.
QByteArray blockText(int block)
{
    QByteArray bytes;
    for (int i = 0; i < 16; ++i)
        bytes.append(char(quint8(block * 3 + i)));
    return bytes.toHex().toUpper();
}

void fillDataBlocks(CardRunRig &r)
{
    for (int block = 1; block < 64; ++block) {
        if (IsTrailerRow(block + 2))
            continue;
        const QByteArray text = blockText(block);
        for (int i = 0; i < 16; ++i)
            r.grid(CardType::Mifare1K).setCell(2 + i, block + 2, text.mid(2 * i, 2));
    }
}

} // namespace

// "Write All Blocks" through the simulator: everything is tested and confirmed before
// the first frame, then the card is written. The plan (refusals, questions, Ultralight
// lock bytes last) is tested in tst_writeplan, the run's order and stops in tst_cardruns.
class TestWriteAll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The whole card: authentication at each sector's first block, blocks 1 to 63 with
    // the grid's rows, and the card holds the grid's data afterwards.
    void wholeClassicCard()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare1K));
        fillDataBlocks(r);
        r.main().ui().writeAll->trigger();
        QCOMPARE(r.dialogs().texts(), QStringList {WriteAllQuestion});
        QList<QByteArray> frames {Frames::Halt, Frames::Select};
        for (int block = 0; block < 64; ++block) {
            if (block % 4 == 0)
                frames << Frames::auth(block);
            if (block > 0)
                frames << Frames::write(block, QByteArray::fromHex(r.rig->rowText(CardType::Mifare1K, block + 2)));
        }
        QCOMPARE(r.frames(), frames);
        for (int block : {1, 62}) {
            QByteArray onCard;
            r.sim.withModule([&](VirtualModule &m) { onCard = m.classicCard()->block(block); });
            QCOMPARE(onCard.toHex().toUpper(), blockText(block));
        }
    }

    // A "No" to an irreversible warning, or a cell the plan refuses, ends the run before
    // a single frame: no half-programmed card. The grids are back in hex before the first
    // question. Each refusal of the plan is tested in tst_writeplan, a first "No" in
    // tst_cardruns.
    void refusedBeforeAnythingIsSent_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("No at sector 5's warning")
            << CardType::Mifare1K << QList<bool> {true, false}
            << QStringList {WriteAllQuestion, u"SEE NEXT WARNING MESSAGE"_s,
                            u"*You wont be able to change access conditions again\nDo you want to continue?"_s};
        QTest::newRow("bad cell on page 9") << CardType::MifareUL << QList<bool> {true}
                                            << QStringList {WriteAllQuestion, BadBlockHex};
    }
    void refusedBeforeAnythingIsSent()
    {
        QFETCH(CardType, type);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, shown);
        CardRunRig r;
        QVERIFY(r.start(type));
        const bool classic = type == CardType::Mifare1K;
        if (classic)
            r.setTrailerAccess(type, 23, "FF0F00");
        else
            r.grid(type).setCell(2, 11, "ZZ");
        for (bool answer : answers)
            r.dialogs().answers.enqueue(answer);
        r.main().ui().cb_ascii->setChecked(classic); // a bad cell would not survive the ASCII view
        r.main().ui().writeAll->trigger();
        QCOMPARE(r.dialogs().texts(), shown);
        QCOMPARE(r.dialogs().shown.first().caption, u"WARNING"_s);
        QVERIFY(!r.main().grids().asciiView());
        QVERIFY(r.frames().isEmpty());
    }

    // Every question whose Yes cannot be undone has No as its default button: two
    // habitual Enter presses after "SEE NEXT WARNING MESSAGE" program nothing. Write
    // All, lock bytes and OTP on an Ultralight, a trailer that locks its access
    // conditions, the module's new speed; declined, nothing is sent.
    void irreversibleQuestionsDefaultToNo()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::MifareUL));
        CardGridModel &ul = r.grid(CardType::MifareUL);
        ul.setCell(3, 4, "F0"); // locks pages 4 to 7
        ul.setCell(1, 5, "01"); // an OTP bit
        r.dialogs().answers << true << true << false;
        r.main().ui().writeAll->trigger();
        r.rig->chooseCardType(CardType::Mifare1K);
        r.setTrailerAccess(CardType::Mifare1K, 7, "FF0F00");
        r.dialogs().answers << false;
        r.click(CardType::Mifare1K, 19, 7 + 2);
        r.dialogs().answers << false;
        r.windows().baudRate().show();
        r.windows().baudRate().BitBtn1->click();

        QStringList questions;
        for (const ScriptedDialogs::Shown &box : r.dialogs().shown) {
            if (box.kind != u"question"_s)
                continue;
            questions << box.caption;
            QVERIFY2(box.defaultNo, qPrintable(box.text));
        }
        const QString warning = u"WARNING"_s;
        QCOMPARE(questions, (QStringList{warning, warning, warning, warning, u"Set New Baud Rate"_s}));
        QVERIFY(r.frames().isEmpty());
    }
};

QTEST_MAIN(TestWriteAll)
#include "tst_writeall.moc"
