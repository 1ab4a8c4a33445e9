#include "view/CardGridModel.h"
#include "view/CardLayout.h"
#include "view/GridLayout.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <numeric>

// Layout, labels, trailers, action codes and default contents of the three grids.
class TestCardLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void geometry_data();
    void geometry();
    void trailerRows_data();
    void trailerRows();
    void labels_data();
    void labels();
    void labels1K();
    void classicActions_data();
    void classicActions();
    void ultralightActions_data();
    void ultralightActions();
    void defaultsClassic();
    void defaultsUltralight();
    void layoutKeepsCardImage();
};

void TestCardLayout::geometry_data()
{
    QTest::addColumn<CardType>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("width1");
    QTest::addColumn<int>("totalWidth");
    QTest::newRow("1K") << CardType::Mifare1K << 66 << 34 << 32 << 748;
    QTest::newRow("4K") << CardType::Mifare4K << 258 << 34 << 44 << 760;
    QTest::newRow("UL") << CardType::MifareUL << 18 << 10 << 18 << 333;
}

void TestCardLayout::geometry()
{
    QFETCH(CardType, type);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(int, width1);
    QFETCH(int, totalWidth);
    CardGridModel grid(type);
    QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(grid.rowCount(), rows);
    QCOMPARE(grid.columnCount(), columns);
    const QVector<int> widths = CardLayout::columnWidths(type);
    QCOMPARE(widths.size(), columns);
    QCOMPARE(widths.at(1), width1);
    QCOMPARE(std::accumulate(widths.begin(), widths.end(), 0), totalWidth);
}

void TestCardLayout::trailerRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("trailer");
    QTest::addColumn<int>("sector");
    QTest::addColumn<int>("index");
    QTest::newRow("header") << 1 << false << -1 << -1;
    QTest::newRow("block 0") << 2 << false << 0 << 0;
    QTest::newRow("first trailer") << 5 << true << 0 << 3;
    QTest::newRow("1K last") << 65 << true << 15 << 3;
    QTest::newRow("4K small last") << 129 << true << 31 << 3;
    QTest::newRow("4K block 128") << 130 << false << 32 << 0;
    QTest::newRow("4K block 131") << 133 << false << 32 << 3;
    QTest::newRow("4K block 142") << 144 << false << 32 << 14;
    QTest::newRow("4K sector 32 trailer") << 145 << true << 32 << 15;
    QTest::newRow("4K sector 33 first") << 146 << false << 33 << 0;
    QTest::newRow("4K sector 39 first") << 242 << false << 39 << 0;
    QTest::newRow("4K last") << 257 << true << 39 << 15;
}

void TestCardLayout::trailerRows()
{
    QFETCH(int, row);
    QFETCH(bool, trailer);
    QFETCH(int, sector);
    QFETCH(int, index);
    QCOMPARE(IsTrailerRow(row), trailer);
    if (sector >= 0) {
        QCOMPARE(CardLayout::sectorOfRow(row), sector);
        QCOMPARE(CardLayout::blockInSector(row), index);
    }
}

void TestCardLayout::labels_data()
{
    QTest::addColumn<CardType>("type");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("text");
    const auto k4 = CardType::Mifare4K;
    QTest::newRow("4K sector head") << k4 << 0 << 1 << QByteArray("Sector");
    QTest::newRow("4K byte head 09") << k4 << 11 << 1 << QByteArray("09");
    QTest::newRow("4K byte head 15") << k4 << 17 << 1 << QByteArray("15");
    QTest::newRow("4K description head") << k4 << 18 << 1 << QByteArray("Description");
    QTest::newRow("4K serial") << k4 << 18 << 2 << QByteArray("Serial");
    QTest::newRow("4K 127 trailer") << k4 << 1 << 129 << QByteArray("127 (3)");
    QTest::newRow("4K 127 no description") << k4 << 18 << 129 << QByteArray();
    QTest::newRow("4K sector 31") << k4 << 0 << 126 << QByteArray("31");
    QTest::newRow("4K sector 32") << k4 << 0 << 130 << QByteArray("32");
    QTest::newRow("4K 128") << k4 << 1 << 130 << QByteArray("128 (0)");
    QTest::newRow("4K 131") << k4 << 1 << 133 << QByteArray("131 (3)");
    QTest::newRow("4K 131 data") << k4 << 18 << 133 << QByteArray("Data Block");
    QTest::newRow("4K no sector label in 133") << k4 << 0 << 133 << QByteArray();
    QTest::newRow("4K 143 trailer") << k4 << 1 << 145 << QByteArray("143 (15)");
    QTest::newRow("4K 143 no description") << k4 << 18 << 145 << QByteArray();
    QTest::newRow("4K sector 39") << k4 << 0 << 242 << QByteArray("39");
    QTest::newRow("4K 255") << k4 << 1 << 257 << QByteArray("255 (15)");
    const auto k1 = CardType::Mifare1K;
    QTest::newRow("1K 7") << k1 << 1 << 9 << QByteArray("7 (3)");
    QTest::newRow("1K sector 15") << k1 << 0 << 62 << QByteArray("15");
    QTest::newRow("1K no value text") << k1 << 23 << 3 << QByteArray();
    const auto ul = CardType::MifareUL;
    QTest::newRow("UL head") << ul << 0 << 1 << QByteArray("Page");
    QTest::newRow("UL byte head") << ul << 4 << 1 << QByteArray("03");
    QTest::newRow("UL page 15") << ul << 0 << 17 << QByteArray("15");
    QTest::newRow("UL page 1") << ul << 5 << 3 << QByteArray("Serial");
    QTest::newRow("UL page 2") << ul << 5 << 4 << QByteArray("Internal/Lock");
    QTest::newRow("UL page 3") << ul << 5 << 5 << QByteArray("OTP");
    QTest::newRow("UL page 4") << ul << 5 << 6 << QByteArray("Data Block");
}

void TestCardLayout::labels()
{
    QFETCH(CardType, type);
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QByteArray, text);
    CardGridModel grid(type);
    GridLayout::apply(grid);
    QCOMPARE(grid.cell(column, row), text);
    QCOMPARE(grid.cell(column, 0), QByteArray()); // row 0 is painted, not written
}

void TestCardLayout::labels1K()
{
    CardGridModel grid(CardType::Mifare1K);
    GridLayout::format_gridClick(grid);
    QCOMPARE(grid.cell(0, 2), QByteArray("0"));
    QCOMPARE(grid.cell(0, 3), QByteArray());
    QCOMPARE(grid.cell(18, 5), QByteArray());
    QCOMPARE(grid.cell(18, 64), QByteArray("Data Block"));
}

void TestCardLayout::classicActions_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("header read") << 21 << 1 << QByteArray("N");
    QTest::newRow("block 0 write") << 19 << 2 << QByteArray("N");
    QTest::newRow("block 0 read") << 21 << 2 << QByteArray("R");
    QTest::newRow("block 0 increment") << 25 << 2 << QByteArray("N");
    QTest::newRow("block 0 description") << 18 << 2 << QByteArray("N");
    QTest::newRow("data description") << 18 << 3 << QByteArray("N");
    QTest::newRow("block 1 increment") << 25 << 3 << QByteArray("I");
    QTest::newRow("block 1 decrement") << 27 << 3 << QByteArray("D");
    QTest::newRow("block 1 write value") << 31 << 3 << QByteArray("WV");
    QTest::newRow("block 1 read value") << 33 << 3 << QByteArray("RV");
    QTest::newRow("block 1 value cell") << 23 << 3 << QByteArray("N");
    QTest::newRow("block 1 spacer") << 20 << 3 << QByteArray("N");
    QTest::newRow("trailer set keys") << 18 << 5 << QByteArray("S");
    QTest::newRow("trailer write") << 19 << 5 << QByteArray("W");
    QTest::newRow("trailer read") << 21 << 5 << QByteArray("R");
    QTest::newRow("trailer increment") << 25 << 5 << QByteArray("N");
    QTest::newRow("trailer value cell") << 23 << 5 << QByteArray("N");
    QTest::newRow("trailer read value") << 33 << 5 << QByteArray("N");
    QTest::newRow("trailer byte") << 2 << 5 << QByteArray("N");
    QTest::newRow("4K 127 trailer") << 18 << 129 << QByteArray("S");
    QTest::newRow("4K 128 increment") << 25 << 130 << QByteArray("I");
    QTest::newRow("4K 131 set keys") << 18 << 133 << QByteArray("N");
    QTest::newRow("4K 143 trailer") << 18 << 145 << QByteArray("S");
    QTest::newRow("4K 143 increment") << 25 << 145 << QByteArray("N");
    QTest::newRow("4K 255 write") << 19 << 257 << QByteArray("W");
}

void TestCardLayout::classicActions()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QByteArray, code);
    QCOMPARE(ClassicCellAction(column, row), code);
    CardGridModel grid(CardType::Mifare4K);
    QCOMPARE(grid.index(row, column).data(CardGridModel::ActionRole).toByteArray(), code);
}

void TestCardLayout::ultralightActions_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("page 1 write") << 9 << 3 << QByteArray("N");
    QTest::newRow("page 2 write") << 9 << 4 << QByteArray("W");
    QTest::newRow("page 15 write") << 9 << 17 << QByteArray("W");
    QTest::newRow("page 0 read") << 7 << 2 << QByteArray("R");
    QTest::newRow("header read") << 7 << 1 << QByteArray("N");
    QTest::newRow("lock") << 5 << 4 << QByteArray("S");
    QTest::newRow("OTP description") << 5 << 5 << QByteArray("N");
    QTest::newRow("byte") << 2 << 4 << QByteArray("N");
}

void TestCardLayout::ultralightActions()
{
    QFETCH(int, column);
    QFETCH(int, row);
    QFETCH(QByteArray, code);
    QCOMPARE(UltralightCellAction(column, row), code);
}

void TestCardLayout::defaultsClassic()
{
    CardGridModel grid(CardType::Mifare4K);
    GridLayout::apply(grid);
    grid.setCell(2, 2, "AB");
    GridLayout::fillDefaults(grid);
    QCOMPARE(grid.cell(2, 2), QByteArray("AB")); // block 0 untouched
    QCOMPARE(grid.cell(3, 2), QByteArray());
    const QByteArray trailer = "5C5C5C5C5C5CFF0780695C5C5C5C5C5C";
    for (int row : {5, 129, 145, 257}) {
        QByteArray bytes;
        for (int c = 2; c <= 17; ++c)
            bytes += grid.cell(c, row);
        QCOMPARE(bytes, trailer);
    }
    for (int row : {3, 128, 130, 144, 256}) {
        for (int c = 2; c <= 17; ++c)
            QCOMPARE(grid.cell(c, row), QByteArray("00"));
        QCOMPARE(grid.cell(23, row), QByteArray()); // value cells stay empty
    }
}

void TestCardLayout::defaultsUltralight()
{
    CardGridModel grid(CardType::MifareUL);
    grid.setCell(1, 4, "11");
    GridLayout::fillDefaults(grid);
    QCOMPARE(grid.cell(1, 3), QByteArray());
    QCOMPARE(grid.cell(1, 4), QByteArray("11"));
    QCOMPARE(grid.cell(2, 4), QByteArray());
    QCOMPARE(grid.cell(3, 4), QByteArray("00"));
    QCOMPARE(grid.cell(4, 4), QByteArray("00"));
    QCOMPARE(grid.cell(1, 5), QByteArray("00"));
    QCOMPARE(grid.cell(4, 17), QByteArray("00"));
    QCOMPARE(grid.cell(5, 17), QByteArray()); // no layout applied, no label
}

void TestCardLayout::layoutKeepsCardImage()
{
    for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL}) {
        CardGridModel grid(type);
        for (int row = 2; row < grid.rows(); ++row) {
            for (int c = 0; c < grid.columns(); ++c) {
                if (CardLayout::isByteColumn(type, c) || CardLayout::isValueColumn(type, c))
                    grid.setCell(c, row, QByteArray::number(row * 100 + c));
            }
        }
        GridLayout::apply(grid);
        GridLayout::apply(grid);
        for (int row = 2; row < grid.rows(); ++row) {
            for (int c = 0; c < grid.columns(); ++c) {
                if (CardLayout::isByteColumn(type, c) || CardLayout::isValueColumn(type, c))
                    QCOMPARE(grid.cell(c, row), QByteArray::number(row * 100 + c));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestCardLayout)
#include "tst_cardlayout.moc"
