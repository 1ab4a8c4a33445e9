#include "CardRunRig.h"

#include "windows/BaudRateWindow.h"
#include "view/WritePlan.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace WriteMessages;

namespace {


// 16 distinct bytes per block, as grid text.
QByteArray blockText(int block)
{
    QByteArray bytes;
    for (int i = 0; i < 16; ++i)
        bytes.append(char(quint8(block * 3 + i)));
    return bytes.toHex().toUpper();
}

void fillDataBlocks(CardRunRig &r, CardType type, int blocks)
{
    for (int block = 1; block < blocks; ++block) {
        if (IsTrailerRow(block + 2))
            continue;
        const QByteArray text = blockText(block);
        for (int i = 0; i < 16; ++i)
            r.grid(type).setCell(2 + i, block + 2, text.mid(2 * i, 2));
    }
}

QList<int> writtenNumbers(const CardRunRig &r, quint8 command)
{
    QList<int> numbers;
    for (const QByteArray &frame : r.framesOf(command))
        numbers << quint8(frame.at(4));
    return numbers;
}

QList<int> range(int first, int last)
{
    QList<int> out;
    for (int n = first; n <= last; ++n)
        out << n;
    return out;
}

} // namespace

// "Write All Blocks": everything is tested and confirmed before the first frame, then
// the card is written; Ultralight lock bytes go last.
class TestWriteAll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The texts the write tests take from WriteMessages, pinned once, character for
    // character, as the user sees them.
    void messageTexts()
    {
        QCOMPARE(BadBlockHex, u"Block data should be consist of hex numbers!"_s);
        QCOMPARE(BadIncrementHex, u"Increment Value should be consist of hex numbers!"_s);
        QCOMPARE(BadValueHex, u"Value should be consist of hex numbers!"_s);
        QCOMPARE(SeeNextWarning, u"SEE NEXT WARNING MESSAGE"_s);
        QCOMPARE(InvalidTrailer, u"Invalid data in sector trailer block! Block will not be programmed"_s);
        QCOMPARE(OtpWarning, u"Once any bit of the OTP(One Time Programmable) area is set to 1 then it will never "
                             u"be possible to change it to 0. "_s);
        QCOMPARE(Continue, u"Do you want to continue?"_s);
        QCOMPARE(WarningCaption, u"WARNING"_s);
        QCOMPARE(WriteAllQuestion, u"You are about to write/program all blocks including configuration blocks."
                                   u"Do you want to continue?"_s);
    }

    // The whole card: authentication at each sector's first block, blocks 1 to the
    // last, and the card holds the grid's data afterwards.
    void wholeClassicCard_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<int>("blocks");
        QTest::newRow("1K") << CardType::Mifare1K << 64;
        QTest::newRow("4K") << CardType::Mifare4K << 256;
    }
    void wholeClassicCard()
    {
        QFETCH(CardType, type);
        QFETCH(int, blocks);
        CardRunRig r;
        QVERIFY(r.start(type));
        fillDataBlocks(r, type, blocks);
        r.main().ui().writeAll->trigger();
        QCOMPARE(r.dialogs().texts(), QStringList {WriteAllQuestion});
        QCOMPARE(r.frames().mid(0, 3), (QList<QByteArray> {Frames::Halt, Frames::Select, Frames::auth(0)}));
        QList<int> auths;
        for (int block = 0; block < blocks; block += block < 128 ? 4 : 16)
            auths << block;
        QCOMPARE(writtenNumbers(r, Frames::AuthCode), auths);
        QCOMPARE(writtenNumbers(r, Frames::WriteCode), range(1, blocks - 1));
        for (int block : {1, 62, blocks - 2}) {
            QByteArray onCard;
            r.sim.withModule([&](VirtualModule &m) { onCard = m.classicCard()->block(block); });
            QCOMPARE(onCard.toHex().toUpper(), blockText(block));
        }
    }

    // A bad cell, an invalid trailer or a "No" anywhere ends the run before a single
    // frame: no half-programmed card. The grids are back in hex before the first question.
    void refusedBeforeAnythingIsSent_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<int>("trailer"); // -1: a bad cell instead
        QTest::addColumn<QByteArray>("access");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QStringList>("shown");
        const QString warn = u"*You wont be able to change access conditions again\nDo you want to continue?"_s;
        const auto k1 = CardType::Mifare1K;
        QTest::newRow("No to the first question") << k1 << 23 << "FF0780"_ba << QList<bool> {false}
                                                  << QStringList {WriteAllQuestion};
        QTest::newRow("invalid trailer in sector 5") << k1 << 23 << "000000"_ba << QList<bool> {true}
                                                     << QStringList {WriteAllQuestion, InvalidTrailer};
        QTest::newRow("No at sector 5's warning") << k1 << 23 << "FF0F00"_ba << QList<bool> {true, false}
                                                  << QStringList {WriteAllQuestion, SeeNextWarning, warn};
        QTest::newRow("bad cell on block 40") << k1 << -1 << QByteArray() << QList<bool> {true}
                                              << QStringList {WriteAllQuestion, BadBlockHex};
        QTest::newRow("bad cell on page 9") << CardType::MifareUL << -1 << QByteArray() << QList<bool> {true}
                                            << QStringList {WriteAllQuestion, BadBlockHex};
    }
    void refusedBeforeAnythingIsSent()
    {
        QFETCH(CardType, type);
        QFETCH(int, trailer);
        QFETCH(QByteArray, access);
        QFETCH(QList<bool>, answers);
        QFETCH(QStringList, shown);
        CardRunRig r;
        QVERIFY(r.start(type));
        if (trailer >= 0)
            r.setTrailerAccess(type, trailer, access);
        else if (type == CardType::MifareUL)
            r.grid(type).setCell(2, 11, "ZZ");
        else
            r.grid(type).setCell(9, 42, "XY");
        for (bool answer : answers)
            r.dialogs().answers.enqueue(answer);
        r.main().ui().cb_ascii->setChecked(trailer >= 0); // a bad cell would not survive the ASCII view
        r.main().ui().writeAll->trigger();
        QCOMPARE(r.dialogs().texts(), shown);
        QCOMPARE(r.dialogs().shown.first().caption, WarningCaption);
        QVERIFY(!r.main().grids().asciiView());
        QVERIFY(r.frames().isEmpty());
    }

    // Locking pages 4 to 7: the warnings and the OTP question come first, then pages
    // 3 to 15 are written and the lock bytes last, so the locked pages keep their new data.
    void ultralightLocksLast()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::MifareUL));
        CardGridModel &grid = r.grid(CardType::MifareUL);
        for (int page = 3; page <= 15; ++page)
            for (int i = 0; i < 4; ++i)
                grid.setCell(1 + i, page + 2, Hex::pair(quint8(page * 16 + i)));
        grid.setCell(3, 4, "F0");
        grid.setCell(4, 4, "00");
        r.main().ui().writeAll->trigger();
        const QStringList texts = r.dialogs().texts();
        QCOMPARE(texts.size(), 5); // first question, lock warning pair, OTP pair
        QCOMPARE(texts.at(1), SeeNextWarning);
        QCOMPARE(texts.at(4), OtpWarning + Continue);
        QCOMPARE(writtenNumbers(r, Frames::WritePageCode), range(3, 15) << 2);
        for (int page = 4; page <= 8; ++page) {
            const QByteArray expected = r.rig->rowText(CardType::MifareUL, page + 2);
            r.sim.withModule([&](VirtualModule &m) {
                QCOMPARE(m.ultralightCard()->isPageLocked(page), page <= 7);
                QCOMPARE(m.ultralightCard()->page(page).toHex().toUpper(), expected);
            });
        }
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
        QCOMPARE(questions, (QStringList{WarningCaption, WarningCaption, WarningCaption, WarningCaption,
                                         u"Set New Baud Rate"_s}));
        QVERIFY(r.frames().isEmpty());
    }
};

QTEST_MAIN(TestWriteAll)
#include "tst_writeall.moc"
