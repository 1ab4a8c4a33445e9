#include "ScriptedDialogs.h"

#include "files/DumpFormat.h"
#include "files/GridImage.h"
#include "view/CardGridModel.h"
#include "windows/CardEdits.h"
#include "windows/CardGridView.h"
#include "windows/CardGrids.h"
#include "windows/CompareWindow.h"

#include <QTemporaryDir>
#include <QTest>

// The grid against a dump file: one byte changed in a data block and one in a trailer
// are found, counted per sector, marked in the grid and visited by Next / Previous.
class TestCompareWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gridAgainstAFile()
    {
        CardGrids grids;
        CardGridModel &grid = grids.model(CardType::Mifare1K);
        CardImage image(CardType::Mifare1K);
        image.setBytes(QByteArray(image.size(), '\x11'));
        GridImage::toGrid(image, grid);
        CardEdits edits(grids);

        image.setByte(4 * 16 + 3, 0x22);  // block 4, byte 3
        image.setByte(11 * 16 + 7, 0x33); // trailer of sector 2
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("other.bin"));
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(DumpFormats::write(DumpFormat::Raw, image));
        file.close();

        ScriptedDialogs dialogs;
        dialogs.fileNames.enqueue(name);
        CompareWindow window(grids, edits, dialogs);
        window.compareGridWithFile();
        QVERIFY(window.difference().has_value());
        const CardImageDiff &diff = *window.difference();
        QCOMPARE(diff.bytes(), (QList<int>{4 * 16 + 3, 11 * 16 + 7}));
        QCOMPARE(diff.sectors().size(), 2);
        QCOMPARE(diff.sectors().at(1).blocks, QList<int>{11});
        QCOMPARE(grid.byteMark(5, 6), int(CardGridModel::Differs));
        QCOMPARE(grid.byteMark(9, 13), int(CardGridModel::Differs));
        QCOMPARE(grid.byteMark(6, 6), int(CardGridModel::NoMark));

        CardGridView &view = grids.view(CardType::Mifare1K);
        window.nextDifference();
        QCOMPARE(view.currentCell(), (CellPos{5, 6}));
        window.nextDifference();
        QCOMPARE(view.currentCell(), (CellPos{9, 13}));
        window.nextDifference(); // none further: stays
        QCOMPARE(view.currentCell(), (CellPos{9, 13}));
        window.previousDifference();
        QCOMPARE(view.currentCell(), (CellPos{5, 6}));

        window.hide();
        QCOMPARE(grid.byteMark(5, 6), int(CardGridModel::NoMark));
    }
};

QTEST_MAIN(TestCompareWindow)
#include "tst_comparewindow.moc"
