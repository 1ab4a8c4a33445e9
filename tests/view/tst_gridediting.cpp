#include "card/Hex.h"
#include "view/CardGridModel.h"
#include "view/GridEditing.h"
#include "view/GridEditor.h"
#include "view/GridLayout.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Keyboard entry, cursor movement, normalisation, the ASCII/HEX conversions, action
// codes and default contents, without widgets.
namespace {

struct Fixture {
    explicit Fixture(CardType type)
        : grid(type)
        , editor(grid)
    {
        GridLayout::apply(grid);
        GridLayout::fillDefaults(grid);
    }
    // Types the keys one by one; true when every key was taken.
    bool type(const QByteArray &keys)
    {
        bool all = true;
        for (char k : keys)
            all = editor.keyPress(k) && all;
        return all;
    }
    CardGridModel grid;
    GridEditor editor;
};

} // namespace

class TestGridEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Keys typed into a cell: what the cell holds afterwards, where the cursor goes,
    // and whether the keys were taken at all (refused keys change nothing).
    void keys_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<CellPos>("start");
        QTest::addColumn<QByteArray>("before"); // text of the start cell before typing
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QByteArray>("after"); // text of the start cell after typing
        QTest::addColumn<CellPos>("cursor");
        QTest::addColumn<bool>("taken");
        const auto k1 = CardType::Mifare1K, k4 = CardType::Mifare4K, ul = CardType::MifareUL;
        QTest::newRow("1K jump over trailer") << k1 << false << CellPos{17, 4} << "00"_ba << "ab"_ba << "AB"_ba << CellPos{2, 6} << true;
        QTest::newRow("1K last row") << k1 << false << CellPos{17, 64} << "00"_ba << "12"_ba << "12"_ba << CellPos{2, 64} << true;
        QTest::newRow("4K block 142") << k4 << false << CellPos{17, 144} << "00"_ba << "12"_ba << "12"_ba << CellPos{2, 146} << true;
        QTest::newRow("Enter on one digit") << k1 << false << CellPos{5, 3} << "00"_ba << "7\r"_ba << "07"_ba << CellPos{6, 3} << true;
        QTest::newRow("amount Enter pads") << k1 << false << CellPos{23, 3} << "12C"_ba << "\r"_ba << "0000012C"_ba << CellPos{25, 3} << true;
        QTest::newRow("value eighth digit") << k4 << false << CellPos{23, 130} << "0000012C"_ba << "1234567a"_ba << "1234567A"_ba << CellPos{25, 130} << true;
        QTest::newRow("decimal value kept as typed") << k1 << false << CellPos{29, 3} << "00000000"_ba << "#-3002\r"_ba << "#-3002"_ba << CellPos{31, 3} << true;
        QTest::newRow("marker restarts the cell") << k1 << false << CellPos{23, 3} << "12"_ba << "1#12345678"_ba << "#12345678"_ba << CellPos{23, 3} << true;
        QTest::newRow("no hex after the marker") << k1 << false << CellPos{23, 3} << ""_ba << "#1a"_ba << "#1"_ba << CellPos{23, 3} << false;
        QTest::newRow("UL row end") << ul << false << CellPos{4, 16} << "00"_ba << "12"_ba << "12"_ba << CellPos{1, 17} << true;
        QTest::newRow("UL last byte stays") << ul << false << CellPos{4, 17} << "00"_ba << "1234"_ba << "34"_ba << CellPos{4, 17} << true;
        QTest::newRow("ascii CR is a byte") << k1 << true << CellPos{2, 3} << ""_ba << "\r"_ba << "\r"_ba << CellPos{3, 3} << true;
        QTest::newRow("ascii trailer takes hex") << k1 << true << CellPos{2, 5} << "5C"_ba << "a5"_ba << "A5"_ba << CellPos{3, 5} << true;
        QTest::newRow("G refused") << k1 << false << CellPos{2, 3} << "00"_ba << "G"_ba << "00"_ba << CellPos{2, 3} << false;
        QTest::newRow("letter in trailer, ascii") << k1 << true << CellPos{2, 5} << "5C"_ba << "Z"_ba << "5C"_ba << CellPos{2, 5} << false;
        QTest::newRow("digit in block 0") << k1 << false << CellPos{2, 2} << ""_ba << "5"_ba << ""_ba << CellPos{2, 2} << false;
        QTest::newRow("UL byte 0 of page 2") << ul << false << CellPos{1, 4} << ""_ba << "5"_ba << ""_ba << CellPos{1, 4} << false;
        QTest::newRow("UL OTP, ascii") << ul << true << CellPos{2, 5} << "00"_ba << "A"_ba << "00"_ba << CellPos{2, 5} << false;
    }
    void keys()
    {
        QFETCH(CardType, type);
        QFETCH(bool, ascii);
        QFETCH(CellPos, start);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, keys);
        QFETCH(QByteArray, after);
        QFETCH(CellPos, cursor);
        QFETCH(bool, taken);
        Fixture f(type);
        f.editor.setAsciiView(ascii);
        f.editor.moveCursor(start);
        f.grid.setCell(start.column, start.row, before);
        QCOMPARE(f.type(keys), taken);
        QCOMPARE(f.grid.cell(start.column, start.row), after);
        QCOMPARE(f.editor.cursor(), cursor);
    }

    // Every byte value goes to a character and back, also through the model's
    // edit role, and block 0, trailers and the OTP page stay hexadecimal.
    void asciiConversions()
    {
        Fixture f(CardType::Mifare4K);
        CardGridModel &grid = f.grid;
        QVector<int> rows; // sixteen data rows around the 4K boundary
        for (int row = 120; rows.size() < 16; ++row)
            if (!IsTrailerRow(row))
                rows << row;
        const auto cellOf = [&](int v) { return CellPos{2 + v % 16, rows.at(v / 16)}; };
        for (int v = 0; v < 256; ++v)
            grid.setCell(cellOf(v).column, cellOf(v).row, Hex::pair(quint8(v)));
        grid.setCell(2, 2, "41");
        GridToAscii(grid);
        QCOMPARE(grid.cell(2, 2), QByteArray("41"));
        QCOMPARE(grid.cell(2, 5), QByteArray("5C"));
        for (int v = 0; v < 256; ++v) {
            const QModelIndex index = grid.index(cellOf(v).row, cellOf(v).column);
            QVERIFY(grid.setData(index, index.data(Qt::EditRole)));
            QCOMPARE(grid.cell(cellOf(v).column, cellOf(v).row), v == 0 ? QByteArray() : QByteArray(1, char(v)));
        }
        GridToHex(grid);
        for (int v = 0; v < 256; ++v)
            QCOMPARE(grid.cell(cellOf(v).column, cellOf(v).row), Hex::pair(quint8(v)));

        Fixture ul(CardType::MifareUL);
        ul.grid.setCell(1, 5, "41");
        GridToAscii(ul.grid);
        QCOMPARE(ul.grid.cell(1, 5), QByteArray("41"));
    }

    // A cursor move tidies the grid: character cells are left alone in the ASCII view,
    // trailers and values are padded, empty stays empty.
    void normalize()
    {
        Fixture f(CardType::Mifare4K);
        const QList<std::pair<CellPos, QByteArray>> untidy = {{{2, 3}, "b"}, {{2, 145}, "c"},
            {{23, 3}, "7"}, {{29, 144}, "12c"}, {{23, 5}, "7"}, {{29, 3}, ""}, {{29, 4}, "#-5"}};
        for (const auto &[cell, text] : untidy)
            f.grid.setCell(cell.column, cell.row, text);
        f.editor.setAsciiView(true);
        f.editor.moveCursor({3, 4});
        const QByteArrayList ascii = {"b", "0C", "00000007", "0000012C", "7", "", "#-5"};
        for (int i = 0; i < untidy.size(); ++i)
            QCOMPARE(f.grid.cell(untidy.at(i).first.column, untidy.at(i).first.row), ascii.at(i));
        f.editor.setAsciiView(false);
        f.editor.moveCursor({4, 4});
        QCOMPARE(f.grid.cell(2, 3), QByteArray("0B"));
    }

    // Action codes the grid actions do not reach by a click elsewhere: header rows,
    // block 0, the 4K value blocks from 128 and Ultralight page 0.
    void actionCodes()
    {
        const QList<std::tuple<CardType, CellPos, QByteArray>> cells = {{CardType::Mifare1K, {21, 1}, "N"},
            {CardType::Mifare1K, {21, 2}, "R"}, {CardType::Mifare4K, {25, 130}, "I"}, {CardType::Mifare4K, {18, 145}, "S"},
            {CardType::MifareUL, {7, 2}, "R"}};
        for (const auto &[type, cell, code] : cells) {
            CardGridModel grid(type);
            QCOMPARE(grid.index(cell.row, cell.column).data(CardGridModel::ActionRole).toByteArray(), code);
        }
    }

    // Default trailers (every 4 blocks up to 127, then every 16) and zero data; block 0,
    // value cells and Ultralight pages 0, 1 and bytes 0, 1 of page 2 are left alone.
    void defaults()
    {
        CardGridModel grid(CardType::Mifare4K);
        grid.setCell(2, 2, "AB");
        GridLayout::fillDefaults(grid);
        QCOMPARE(grid.cell(2, 2), QByteArray("AB"));
        for (const auto &[row, trailer] : QList<std::pair<int, bool>> {{129, true}, {130, false}, {133, false}, {145, true}}) {
            QByteArray bytes;
            for (int c = 2; c <= 17; ++c)
                bytes += grid.cell(c, row);
            QCOMPARE(bytes, trailer ? QByteArray("5C5C5C5C5C5CFF0780695C5C5C5C5C5C") : QByteArray(32, '0'));
            QCOMPARE(grid.cell(23, row), QByteArray());
        }
        CardGridModel ul(CardType::MifareUL);
        ul.setCell(1, 4, "11");
        GridLayout::fillDefaults(ul);
        const QByteArrayList cells = {ul.cell(1, 3), ul.cell(1, 4), ul.cell(2, 4), ul.cell(3, 4), ul.cell(4, 4), ul.cell(4, 17)};
        QCOMPARE(cells, (QByteArrayList {"", "11", "", "00", "00", "00"}));
    }
};

QTEST_GUILESS_MAIN(TestGridEditing)
#include "tst_gridediting.moc"
