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
    void geometry();
    void trailerRows_data();
    void trailerRows();
    void labels_data();
    void labels();
    void classicActions_data();
    void classicActions();
    void ultralightActions_data();
    void ultralightActions();
    void defaultsClassic();
    void defaultsUltralight();
    void layoutKeepsCardImage();
};

void TestCardLayout::geometry()
{
    const int widths[3][3] = {{66, 32, 748}, {258, 44, 760}, {18, 18, 333}}; // rows, width 1, sum
    for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL}) {
        CardGridModel grid(type);
        QAbstractItemModelTester tester(&grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QVector<int> w = CardLayout::columnWidths(type);
        QCOMPARE(grid.rowCount(), widths[int(type)][0]);
        QCOMPARE(w.size(), grid.columnCount());
        QCOMPARE(w.at(1), widths[int(type)][1]);
        QCOMPARE(std::accumulate(w.begin(), w.end(), 0), widths[int(type)][2]);
    }
}
void TestCardLayout::trailerRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("trailer");
    QTest::addColumn<int>("sector");
    QTest::addColumn<int>("index");
    QTest::newRow("block 0") << 2 << false << 0 << 0;
    QTest::newRow("1K last") << 65 << true << 15 << 3;
    QTest::newRow("4K small last") << 129 << true << 31 << 3;
    QTest::newRow("4K block 128") << 130 << false << 32 << 0;
    QTest::newRow("4K block 131") << 133 << false << 32 << 3;
    QTest::newRow("4K block 142") << 144 << false << 32 << 14;
    QTest::newRow("4K sector 32 trailer") << 145 << true << 32 << 15;
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
    QTest::newRow("4K byte head 15") << k4 << 17 << 1 << QByteArray("15");
    QTest::newRow("4K description head") << k4 << 18 << 1 << QByteArray("Description");
    QTest::newRow("4K serial") << k4 << 18 << 2 << QByteArray("Serial");
    QTest::newRow("4K 127 trailer") << k4 << 1 << 129 << QByteArray("127 (3)");
    QTest::newRow("4K sector 32") << k4 << 0 << 130 << QByteArray("32");
    QTest::newRow("4K 131") << k4 << 1 << 133 << QByteArray("131 (3)");
    QTest::newRow("4K no sector label in 133") << k4 << 0 << 133 << QByteArray();
    QTest::newRow("4K 143 trailer") << k4 << 1 << 145 << QByteArray("143 (15)");
    QTest::newRow("4K sector 39") << k4 << 0 << 242 << QByteArray("39");
    QTest::newRow("4K 255") << k4 << 1 << 257 << QByteArray("255 (15)");
    const auto k1 = CardType::Mifare1K;
    QTest::newRow("1K sector 15") << k1 << 0 << 62 << QByteArray("15");
    const auto ul = CardType::MifareUL;
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

void TestCardLayout::classicActions_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("code");
    QTest::newRow("header read") << 21 << 1 << QByteArray("N");
    QTest::newRow("block 0 write") << 19 << 2 << QByteArray("N");
    QTest::newRow("block 0 read") << 21 << 2 << QByteArray("R");
    QTest::newRow("block 0 increment") << 25 << 2 << QByteArray("N");
    QTest::newRow("block 1 increment") << 25 << 3 << QByteArray("I");
    QTest::newRow("trailer set keys") << 18 << 5 << QByteArray("S");
    QTest::newRow("trailer write") << 19 << 5 << QByteArray("W");
    QTest::newRow("trailer increment") << 25 << 5 << QByteArray("N");
    QTest::newRow("trailer value cell") << 23 << 5 << QByteArray("N");
    QTest::newRow("4K 127 trailer") << 18 << 129 << QByteArray("S");
    QTest::newRow("4K 128 increment") << 25 << 130 << QByteArray("I");
    QTest::newRow("4K 131 set keys") << 18 << 133 << QByteArray("N");
    QTest::newRow("4K 143 trailer") << 18 << 145 << QByteArray("S");
    QTest::newRow("4K 143 increment") << 25 << 145 << QByteArray("N");
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
    grid.setCell(2, 2, "AB");
    GridLayout::fillDefaults(grid);
    QCOMPARE(grid.cell(2, 2), QByteArray("AB")); // block 0 untouched
    for (int row : {3, 5, 128, 129, 130, 144, 145, 256, 257}) {
        QByteArray bytes;
        for (int c = 2; c <= 17; ++c)
            bytes += grid.cell(c, row);
        QCOMPARE(bytes, IsTrailerRow(row) ? QByteArray("5C5C5C5C5C5CFF0780695C5C5C5C5C5C") : QByteArray(32, '0'));
        QCOMPARE(grid.cell(23, row), QByteArray()); // value cells stay empty
    }
}
void TestCardLayout::defaultsUltralight()
{
    CardGridModel grid(CardType::MifareUL);
    grid.setCell(1, 4, "11");
    GridLayout::fillDefaults(grid);
    const QByteArrayList expected = {"", "11", "", "00", "00", "00", "00"};
    const QList<CellPos> cells = {{1, 3}, {1, 4}, {2, 4}, {3, 4}, {4, 4}, {1, 5}, {4, 17}};
    for (int i = 0; i < cells.size(); ++i)
        QCOMPARE(grid.cell(cells.at(i).column, cells.at(i).row), expected.at(i));
}
void TestCardLayout::layoutKeepsCardImage()
{
    for (CardType type : {CardType::Mifare1K, CardType::Mifare4K, CardType::MifareUL}) {
        CardGridModel grid(type);
        const auto isData = [type](int c) { return CardLayout::isByteColumn(type, c) || CardLayout::isValueColumn(type, c); };
        for (int i = 2 * grid.columns(); i < grid.rows() * grid.columns(); ++i) {
            if (isData(i % grid.columns()))
                grid.setCell(i % grid.columns(), i / grid.columns(), QByteArray::number(i));
        }
        GridLayout::apply(grid);
        for (int i = 2 * grid.columns(); i < grid.rows() * grid.columns(); ++i) {
            if (isData(i % grid.columns()))
                QCOMPARE(grid.cell(i % grid.columns(), i / grid.columns()), QByteArray::number(i));
        }
    }
}
QTEST_GUILESS_MAIN(TestCardLayout)
#include "tst_cardlayout.moc"
