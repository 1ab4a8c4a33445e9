#include "view/CardGridModel.h"
#include "view/CardLayout.h"
#include "view/GridEditing.h"
#include "view/GridLayout.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace Qt::StringLiterals;

// Action codes with their click hints, default contents, and layouts that keep the data.
class TestCardLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The action code behind a double click and the hint a single click shows.
    void actions_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<CellPos>("cell");
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("hint");
        const auto k1 = CardType::Mifare1K, k4 = CardType::Mifare4K, ul = CardType::MifareUL;
        const QString none;
        QTest::newRow("header read") << k1 << CellPos{21, 1} << "N"_ba << none;
        QTest::newRow("block 0 read") << k1 << CellPos{21, 2} << "R"_ba << u"Double Click to Read from selected block"_s;
        QTest::newRow("read value") << k1 << CellPos{33, 3} << "RV"_ba << u"Double Click to Read Value"_s;
        QTest::newRow("trailer set keys") << k1 << CellPos{18, 5} << "S"_ba << none;
        QTest::newRow("trailer write") << k1 << CellPos{19, 5} << "W"_ba << u"Double Click to Write selected block"_s;
        QTest::newRow("4K 128 increment") << k4 << CellPos{25, 130} << "I"_ba << u"Double Click to Increment Value"_s;
        QTest::newRow("4K 143 set keys") << k4 << CellPos{18, 145} << "S"_ba << none;
        QTest::newRow("UL page 1 write") << ul << CellPos{9, 3} << "N"_ba << none;
        QTest::newRow("UL page 2 write") << ul << CellPos{9, 4} << "W"_ba << u"Double Click to Write to the selected block"_s;
        QTest::newRow("UL page 0 read") << ul << CellPos{7, 2} << "R"_ba << u"Double Click to Read from the selected block"_s;
        QTest::newRow("UL lock") << ul << CellPos{5, 4} << "S"_ba << u"Double Click to open lock configuration window"_s;
    }
    void actions()
    {
        QFETCH(CardType, type);
        QFETCH(CellPos, cell);
        QFETCH(QByteArray, code);
        QFETCH(QString, hint);
        CardGridModel grid(type);
        QCOMPARE(grid.index(cell.row, cell.column).data(CardGridModel::ActionRole).toByteArray(), code);
        QCOMPARE(clickHint(type, cell.column, cell.row), hint);
    }

    // Default trailers and zero data; block 0, value cells and Ultralight pages 0, 1 and
    // bytes 0, 1 of page 2 are left alone.
    void defaults()
    {
        CardGridModel grid(CardType::Mifare4K);
        grid.setCell(2, 2, "AB");
        GridLayout::fillDefaults(grid);
        QCOMPARE(grid.cell(2, 2), QByteArray("AB"));
        // Trailers every 4 blocks up to block 127, then every 16.
        for (const auto &[row, trailer] : QList<std::pair<int, bool>> {{129, true}, {130, false}, {133, false}, {145, true}}) {
            QByteArray bytes;
            for (int c = 2; c <= 17; ++c)
                bytes += grid.cell(c, row);
            QCOMPARE(bytes, trailer ? QByteArray("5C5C5C5C5C5CFF0780695C5C5C5C5C5C") : QByteArray(32, '0'));
            QCOMPARE(grid.cell(23, row), QByteArray()); // value cells stay empty
        }
        CardGridModel ul(CardType::MifareUL);
        ul.setCell(1, 4, "11");
        GridLayout::fillDefaults(ul);
        const QByteArrayList cells = {ul.cell(1, 3), ul.cell(1, 4), ul.cell(2, 4), ul.cell(3, 4), ul.cell(4, 4), ul.cell(4, 17)};
        QCOMPARE(cells, (QByteArrayList {"", "11", "", "00", "00", "00"}));
    }

    // Laying a grid out again never touches a byte or value cell.
    void layoutKeepsCardImage()
    {
        for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL}) {
            CardGridModel grid(type);
            const int columns = grid.columns();
            const auto isData = [type](int c) { return CardLayout::isByteColumn(type, c) || CardLayout::isValueColumn(type, c); };
            for (int i = 2 * columns; i < grid.rows() * columns; ++i)
                if (isData(i % columns))
                    grid.setCell(i % columns, i / columns, QByteArray::number(i));
            QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
            GridLayout::apply(grid);
            for (int i = 2 * columns; i < grid.rows() * columns; ++i)
                if (isData(i % columns))
                    QCOMPARE(grid.cell(i % columns, i / columns), QByteArray::number(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestCardLayout)
#include "tst_cardlayout.moc"
