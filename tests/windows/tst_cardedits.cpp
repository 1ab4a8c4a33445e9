#include "view/CardGridModel.h"
#include "view/GridLayout.h"
#include "windows/CardEdits.h"
#include "windows/CardGrids.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Change marks and undo over the real grids: typed bytes and an import are steps of
// their own, undo brings back exactly what was shown before, and a byte typed back
// to its old value is no longer marked.
class TestCardEdits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
};

QTEST_MAIN(TestCardEdits)
#include "tst_cardedits.moc"
