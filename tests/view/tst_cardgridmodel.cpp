#include "view/CardGridModel.h"
#include "view/GridLayout.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// Each card grid model under Qt's model checker while it is filled and edited.
class TestCardGridModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modelContract_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::newRow("1K") << CardType::Mifare1K << 66 << 34;
        QTest::newRow("4K") << CardType::Mifare4K << 258 << 34;
        QTest::newRow("UL") << CardType::MifareUL << 18 << 10;
    }
    void modelContract()
    {
        QFETCH(CardType, type);
        QFETCH(int, rows);
        QFETCH(int, columns);
        CardGridModel grid(type);
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(grid.rowCount(), rows);
        QCOMPARE(grid.columnCount(), columns);
        GridLayout::fillDefaults(grid);

        QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
        grid.setCell(2, 3, "AB");
        QCOMPARE(changed.size(), 1);
        QCOMPARE(grid.data(grid.index(3, 2)).toByteArray(), "AB"_ba);
        // Outside the grid: nothing changes, nothing is announced.
        grid.setCell(columns, rows, "CD");
        grid.setCell(-1, 0, "CD");
        QCOMPARE(changed.size(), 1);
        QCOMPARE(grid.cell(columns, rows), QByteArray());
        QVERIFY(grid.setData(grid.index(4, 3), QStringLiteral("7F")));
        QCOMPARE(grid.cell(3, 4), "7F"_ba);
        QCOMPARE(grid.data(grid.index(0, 0), CardGridModel::ActionRole).toByteArray(), "N"_ba);
        if (type == CardType::MifareUL)
            return;
        // A value cell says what it takes; a trailer's value cell is no field.
        QVERIFY(grid.index(6, 29).data(Qt::ToolTipRole).toString().contains(u"8 hexadecimal digits"_s));
        QVERIFY(grid.index(5, 23).data(Qt::ToolTipRole).isNull());
    }
};

QTEST_GUILESS_MAIN(TestCardGridModel)
#include "tst_cardgridmodel.moc"
