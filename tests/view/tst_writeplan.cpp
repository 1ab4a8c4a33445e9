#include "ScriptedDialogs.h"

#include "view/CardGridModel.h"
#include "view/GridLayout.h"
#include "view/WritePlan.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The write plans decided from a grid alone, and their confirmation, without a window
// or a reader.
class TestWritePlan : public QObject
{
    Q_OBJECT

    static void setRow(CardGridModel &grid, int block, const QByteArray &hex)
    {
        const bool ul = grid.cardType() == CardType::MifareUL;
        for (int i = 0; i < hex.size() / 2; ++i)
            grid.setCell((ul ? 1 : 2) + i, block + 2, hex.mid(i * 2, 2));
    }

private Q_SLOTS:
    void classicBlock_data()
    {
        QTest::addColumn<int>("block");
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("refusal");
        const QByteArray keys = "5C5C5C5C5C5C";
        QTest::newRow("data block") << 8 << "00112233445566778899AABBCCDDEEFF"_ba << 0 << QString();
        QTest::newRow("transport trailer") << 11 << keys + "FF078069" + keys << 0 << QString();
        QTest::newRow("locking trailer") << 11 << keys + "FF0F0069" + keys << 1 << QString();
        QTest::newRow("invalid trailer") << 11 << keys + "00000069" + keys << 0
                                         << QStringLiteral("Invalid data in sector trailer block! Block will not be programmed");
        QTest::newRow("not hex") << 8 << "G1112233445566778899AABBCCDDEEFF"_ba << 0
                                 << QStringLiteral("Block data should be consist of hex numbers!");
    }
    void classicBlock()
    {
        QFETCH(int, block);
        QFETCH(QByteArray, row);
        QFETCH(int, questions);
        QFETCH(QString, refusal);
        CardGridModel grid(CardType::Mifare1K);
        GridLayout::fillDefaults(grid);
        setRow(grid, block, row);
        const WritePlan plan = planClassicBlock(grid, block);
        QCOMPARE(plan.questions.size(), questions);
        QCOMPARE(plan.refusal, refusal);
        if (refusal.isEmpty())
            QCOMPARE(plan.writes, (QList<WritePlan::Write> {{block, QByteArray::fromHex(row)}}));
    }

    // Write all: one refusal anywhere and nothing is written.
    void classicWriteAll()
    {
        CardGridModel grid(CardType::Mifare4K);
        GridLayout::fillDefaults(grid);
        WritePlan plan = planClassicWriteAll(grid);
        QVERIFY(!plan.refused());
        QCOMPARE(plan.writes.size(), 255);
        QCOMPARE(plan.writes.first().number, 1);
        QCOMPARE(plan.writes.last().number, 255);
        grid.setCell(17, 200 + 2, "X");
        plan = planClassicWriteAll(grid);
        QVERIFY(plan.refused());
        QVERIFY(plan.writes.isEmpty());
    }

    void ultralight()
    {
        CardGridModel grid(CardType::MifareUL);
        GridLayout::fillDefaults(grid);
        setRow(grid, 2, "AABB1000"); // serial check bytes, then a lock bit
        setRow(grid, 3, "00000001"); // one OTP bit
        const WritePlan page2 = planUltralightPage(grid, 2);
        QCOMPARE(page2.writes, (QList<WritePlan::Write> {{2, QByteArray::fromHex("00001000")}}));
        QCOMPARE(page2.questions.size(), 1);
        const WritePlan page3 = planUltralightPage(grid, 3);
        QCOMPARE(page3.questions,
                 QStringList {QStringLiteral("Once any bit of the OTP(One Time Programmable) area is set to 1 then it "
                                             "will never be possible to change it to 0. Do you want to continue?")});
        // Asked in page order; the lock bytes written last.
        const WritePlan all = planUltralightWriteAll(grid);
        QCOMPARE(all.questions.size(), 2);
        QList<int> order;
        for (const WritePlan::Write &write : all.writes)
            order << write.number;
        QCOMPARE(order, (QList<int> {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 2}));
    }

    void confirmation_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<int>("shown");
        QTest::newRow("yes to both") << QList<bool> {true, true} << false << true << 4;
        QTest::newRow("no to the first") << QList<bool> {false} << false << false << 2;
        QTest::newRow("yes, then refused") << QList<bool> {true, true} << true << false << 5;
    }
    void confirmation()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(bool, refused);
        QFETCH(bool, confirmed);
        QFETCH(int, shown);
        WritePlan plan;
        plan.questions << QStringLiteral("first") << QStringLiteral("second");
        if (refused)
            plan.refusal = QStringLiteral("refused");
        ScriptedDialogs dialogs;
        for (const bool answer : answers)
            dialogs.answers.enqueue(answer);
        QCOMPARE(confirmWritePlan(dialogs, plan), confirmed);
        QCOMPARE(dialogs.shown.size(), shown);
        QCOMPARE(dialogs.shown.first().text, QStringLiteral("SEE NEXT WARNING MESSAGE"));
        QCOMPARE(dialogs.shown.at(1).caption, QStringLiteral("WARNING"));
        if (refused)
            QCOMPARE(dialogs.shown.last().text, QStringLiteral("refused"));
    }
};

QTEST_GUILESS_MAIN(TestWritePlan)
#include "tst_writeplan.moc"
