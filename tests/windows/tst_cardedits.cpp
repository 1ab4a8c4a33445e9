#include "../view/CardRunRig.h"

#include "view/CardGridModel.h"
#include "view/GridLayout.h"
#include "windows/CardEdits.h"
#include "windows/CardGrids.h"
#include "windows/ReadBlockButton.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Row tooltips, change marks and undo over the real grids: typed bytes and an import are steps of
// their own, undo brings back exactly what was shown before, and a byte typed back
// to its old value is no longer marked.
class TestCardEdits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What a row's tooltip tells beyond its bytes, from the cells as they stand: a value
    // block's value, a trailer's access words or its invalid bits, nothing mid-typing.
    void rowTooltips()
    {
        CardGrids grids;
        CardGridModel &grid = grids.model(CardType::Mifare1K);
        const auto setRow = [&grid](int row, const QByteArray &hex) {
            for (int j = 0; j < 16; ++j)
                grid.setCell(2 + j, row, hex.mid(2 * j, 2));
        };
        const auto tip = [&grid](int column, int row) { return grid.index(row, column).data(Qt::ToolTipRole).toString(); };
        setRow(4, "FBFFFFFF04000000FBFFFFFF03FC03FC");
        QCOMPARE(tip(18, 4), u"Value -5, address 03"_s);
        QCOMPARE(tip(2, 4), tip(18, 4));
        setRow(4, "FBFFFFFF04000001FBFFFFFF03FC03FC");
        QVERIFY(tip(18, 4).isEmpty());
        setRow(5, "FFFFFFFFFFFFFF078069FFFFFFFFFFFF");
        QVERIFY(tip(10, 5).startsWith(u"Block 0: C1C2C3 = 000"_s));
        grid.setCell(10, 5, "81");
        QCOMPARE(tip(10, 5), u"invalid access bits: sector unusable"_s);
        grid.setCell(10, 5, "8");
        QVERIFY(tip(10, 5).isEmpty());
        QVERIFY(tip(29, 3).contains(u"#300"_s));
    }

    void undoAcrossAnImport()
    {
        CardGrids grids;
        CardGridModel &grid = grids.model(CardType::Mifare1K);
        CardEdits edits(grids);
        const QByteArray original = grid.cell(2, 3);
        const QByteArray beside = grid.cell(3, 3);
        const QByteArray below = grid.cell(2, 4);

        grid.setCell(2, 3, "A"); // half typed: no step yet
        QVERIFY(!edits.settle(u"Edit"_s));
        grid.setCell(2, 3, "AB");
        QVERIFY(edits.settle(u"Edit"_s));
        QCOMPARE(grid.byteMark(2, 3), int(CardGridModel::Changed));
        QCOMPARE(grid.byteMark(3, 3), int(CardGridModel::NoMark));

        // An import rewrites many cells at once: one step.
        for (int row = 3; row <= 4; ++row) {
            for (int column = 2; column <= 17; ++column)
                grid.setCell(column, row, "5A");
        }
        QVERIFY(edits.settle(u"Import"_s));
        QCOMPARE(edits.undoLabel(), u"Import"_s);
        QCOMPARE(edits.tracker(CardType::Mifare1K).changedCount(), 32);

        edits.undo();
        QCOMPARE(grid.cell(2, 3), "AB"_ba);
        QCOMPARE(grid.cell(3, 3), beside);
        QCOMPARE(grid.cell(2, 4), below);
        QCOMPARE(edits.tracker(CardType::Mifare1K).changedCount(), 1);
        edits.undo();
        QCOMPARE(grid.cell(2, 3), original);
        QVERIFY(!edits.tracker(CardType::Mifare1K).hasChanges());
        QCOMPARE(grid.byteMark(2, 3), int(CardGridModel::NoMark));
        QVERIFY(!edits.canUndo());

        edits.redo();
        edits.redo();
        QCOMPARE(grid.cell(17, 4), "5A"_ba);
        QCOMPARE(edits.undoLabel(), u"Import"_s);

        edits.setBaseline();
        QVERIFY(!edits.hasUnsavedChanges());
        QCOMPARE(grid.byteMark(17, 4), int(CardGridModel::NoMark));
    }

    // A block read into the grid or written to the card loses its change marks, also
    // when a seek-mode read completes later; what an action did not reach keeps them.
    void marksGoWithReadsAndWrites_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("block9Cleared");
        QTest::newRow("grid read of block 1") << u"grid"_s << false;
        QTest::newRow("Read Block, block 1") << u"button"_s << false;
        QTest::newRow("Read All, seek mode") << u"seek"_s << true;
        QTest::newRow("Write All") << u"write"_s << true;
        QTest::newRow("Write All cancelled after four blocks") << u"cancel"_s << false;
    }
    void marksGoWithReadsAndWrites()
    {
        QFETCH(QString, action);
        QFETCH(bool, block9Cleared);
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare1K));
        setClassicBlock(r.sim, 1, pattern(1)); // a read brings bytes the grid never had
        setClassicBlock(r.sim, 9, pattern(9));
        CardGridModel &grid = r.grid(CardType::Mifare1K);
        grid.setCell(3, 3, "A5"); // block 1
        grid.setCell(3, 11, "A5"); // block 9
        QTRY_COMPARE(grid.byteMark(3, 11), int(CardGridModel::Changed));
        MainWindowUi &ui = r.main().ui();
        if (action == u"grid") {
            r.click(CardType::Mifare1K, 21, 3);
        } else if (action == u"button") {
            r.main().readBlockButton().setPause([](int) {});
            ui.cmb_blk->setCurrentIndex(1);
            r.main().readBlockButton().BitBtn1Click();
        } else if (action == u"seek") {
            ui.cb_select->setChecked(true);
            ui.readAll->trigger();
            QTRY_VERIFY(!r.main().timer().isActive());
        } else {
            if (action == u"cancel")
                r.progress->cancelAt = [](int done) { return done >= 4; }; // blocks 1 to 4
            ui.writeAll->trigger();
        }
        QTRY_COMPARE(grid.byteMark(3, 3), int(CardGridModel::NoMark));
        QCOMPARE(grid.byteMark(3, 11), int(block9Cleared ? CardGridModel::NoMark : CardGridModel::Changed));
    }

    // Quitting with edits in two card types asks once, naming both; Save asks for a
    // file per card type, and a cancelled Save As keeps the program open and the rest
    // of the edits unsaved.
    void quitSavesEveryEditedCardType()
    {
        CardRunRig r;
        QVERIFY(r.start(CardType::Mifare1K));
        r.grid(CardType::Mifare1K).setCell(2, 3, "A5");
        r.grid(CardType::MifareUL).setCell(1, 8, "A5");
        QTemporaryDir dir;
        ScriptedDialogs &dialogs = r.dialogs();
        dialogs.choices << UserDialogs::Choice::Save << UserDialogs::Choice::Save;
        dialogs.fileNames << dir.filePath(u"one.mtp"_s) << QString() << dir.filePath(u"ul.mtp"_s);
        QVERIFY(!r.main().close());
        QVERIFY(dialogs.texts().contains(u"The card data of Mifare 1K, Mifare UL has changes that are not saved or "
                                         "written. Save them first? Save asks for one file per card type, in this "
                                         "order."_s));
        QVERIFY(QFile::exists(dir.filePath(u"one.mtp"_s)));
        QVERIFY(r.main().close());
        QVERIFY(dialogs.texts().contains(u"The Mifare UL card data has changes that are not saved or written. Save "
                                         "them first?"_s));
        QVERIFY(QFile::exists(dir.filePath(u"ul.mtp"_s)));
    }
};

QTEST_MAIN(TestCardEdits)
#include "tst_cardedits.moc"
