#include "workflows/EditTracker.h"
#include "workflows/UndoHistory.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Unsaved-edit marks and undo/redo of a card image.
class TestEditHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Marks follow the baseline of the last load, read or write; an edit typed back to
    // the old value is no longer marked; a block read clears only that block.
    void changedSinceLastReadLoadOrWrite()
    {
        CardImage image(CardType::Mifare1K);
        image.setBytes(QByteArray(1024, '\x5C'));
        EditTracker tracker;
        tracker.setBaseline(image);
        QVERIFY(!tracker.hasChanges());

        image.setByte(17, 0x01);
        tracker.update(image, 17);
        image.setUnknown(40);
        tracker.update(image, 40);
        QVERIFY(tracker.isChanged(17) && tracker.isChanged(40) && !tracker.isChanged(16));
        QCOMPARE(tracker.changedCount(), 2);

        image.setByte(17, 0x5C);
        tracker.update(image, 17);
        QVERIFY(!tracker.isChanged(17));

        image.setByte(1000, 0x00);
        tracker.update(image);
        QCOMPARE(tracker.changedCount(), 2);
        image.setByte(40, 0x33); // bytes 32..47 read from the card into the grid
        tracker.setBaselineBlock(image, 2, image.block(2));
        QVERIFY(!tracker.isChanged(40));
        QVERIFY(tracker.isChanged(1000));
        QCOMPARE(tracker.changedCount(), 1);
        QByteArray held = image.block(62);
        held[8] = '\x7E'; // the card holds another byte than the grid shows
        tracker.setBaselineBlock(image, 62, held);
        QVERIFY(tracker.isChanged(1000) && !tracker.isChanged(1001));
        QCOMPARE(tracker.changedCount(), 1);
        tracker.setBaseline(image);
        QVERIFY(!tracker.hasChanges());

    }

    // An import is undone and redone as one step, the edit before it stays undoable,
    // and a new change drops what could be redone.
    void undoAcrossAnImport()
    {
        UndoHistory history(2);
        CardImage loaded(CardType::MifareUL);
        loaded.setBytes(QByteArray(64, '\0'));
        CardImage edited = loaded;
        edited.setByte(20, 0xAA);
        history.record(loaded, edited, u"Edit"_s);
        CardImage imported(CardType::MifareUL);
        imported.setBytes(QByteArray(64, '\x11'));
        history.record(edited, imported, u"Import"_s);
        history.record(imported, imported, u"Edit"_s); // changed nothing
        QCOMPARE(history.undoLabel(), u"Import"_s);

        std::optional<CardImage> shown = history.undo(imported);
        QCOMPARE(*shown, edited);
        QCOMPARE(history.redoLabel(), u"Import"_s);
        shown = history.redo(*shown);
        QCOMPARE(*shown, imported);
        shown = history.undo(*shown);
        shown = history.undo(*shown);
        QCOMPARE(*shown, loaded);
        QVERIFY(!history.canUndo() && !history.undo(*shown));
        shown = history.redo(*shown);
        QCOMPARE(*shown, edited);

        CardImage again = *shown;
        again.setByte(0, 1);
        history.record(*shown, again, u"Edit"_s);
        QVERIFY(!history.canRedo());

        // The limit drops the oldest steps.
        CardImage third = again;
        third.setByte(1, 1);
        history.record(again, third, u"Edit"_s);
        QVERIFY(history.undo(third) && history.undo(again));
        QVERIFY(!history.canUndo());
    }
};

QTEST_GUILESS_MAIN(TestEditHistory)
#include "tst_edithistory.moc"
