#include "link/Hex.h"
#include "view/CardGridModel.h"
#include "view/GridEditing.h"
#include "view/GridEditor.h"
#include "view/GridLayout.h"

#include <QTest>

// Keyboard entry, cursor movement, normalisation and the ASCII/HEX conversions,
// without widgets.
class TestGridEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typing_data();
    void typing();
    void rejectedKeys_data();
    void rejectedKeys();
    void asciiTyping();
    void allBytesSurvive();
    void conversionsLeaveHexRows();
    void normalize();
    void clickHints_data();
    void clickHints();
};

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

void TestGridEditing::typing_data()
{
    QTest::addColumn<CardType>("type");
    QTest::addColumn<CellPos>("start");
    QTest::addColumn<QByteArray>("before"); // text of the start cell before typing
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<QByteArray>("after");  // text of the start cell after typing
    QTest::addColumn<CellPos>("cursor");
    const auto k1 = CardType::Mifare1K, k4 = CardType::Mifare4K, ul = CardType::MifareUL;
    QTest::newRow("1 f completes") << k1 << CellPos{2, 3} << QByteArray("00") << QByteArray("1f") << QByteArray("1F") << CellPos{3, 3};
    QTest::newRow("1K jump over trailer") << k1 << CellPos{17, 4} << QByteArray("00") << QByteArray("ab") << QByteArray("AB") << CellPos{2, 6};
    QTest::newRow("1K trailer byte") << k1 << CellPos{2, 5} << QByteArray("5C") << QByteArray("ff") << QByteArray("FF") << CellPos{3, 5};
    QTest::newRow("1K last row") << k1 << CellPos{17, 64} << QByteArray("00") << QByteArray("12") << QByteArray("12") << CellPos{2, 64};
    QTest::newRow("4K block 126") << k4 << CellPos{17, 128} << QByteArray("00") << QByteArray("12") << QByteArray("12") << CellPos{2, 130};
    QTest::newRow("4K block 142") << k4 << CellPos{17, 144} << QByteArray("00") << QByteArray("12") << QByteArray("12") << CellPos{2, 146};
    QTest::newRow("4K last row") << k4 << CellPos{17, 256} << QByteArray("00") << QByteArray("12") << QByteArray("12") << CellPos{2, 256};
    QTest::newRow("Enter on empty") << k1 << CellPos{5, 3} << QByteArray() << QByteArray("\r") << QByteArray("00") << CellPos{6, 3};
    QTest::newRow("Enter on one digit") << k1 << CellPos{5, 3} << QByteArray("00") << QByteArray("7\r") << QByteArray("07") << CellPos{6, 3};
    QTest::newRow("held one digit completes") << k1 << CellPos{5, 3} << QByteArray("a") << QByteArray("b") << QByteArray("AB") << CellPos{6, 3};
    QTest::newRow("amount Enter pads") << k1 << CellPos{23, 3} << QByteArray("12C") << QByteArray("\r") << QByteArray("0000012C") << CellPos{25, 3};
    QTest::newRow("value Enter pads") << k1 << CellPos{29, 3} << QByteArray("ff") << QByteArray("\r") << QByteArray("000000FF") << CellPos{31, 3};
    QTest::newRow("value Enter on eight") << k1 << CellPos{23, 3} << QByteArray("0000012C") << QByteArray("\r") << QByteArray("0000012C") << CellPos{23, 3};
    QTest::newRow("value eighth digit") << k4 << CellPos{23, 130} << QByteArray("0000012C") << QByteArray("1234567a") << QByteArray("1234567A") << CellPos{25, 130};
    QTest::newRow("value held seven") << k1 << CellPos{29, 3} << QByteArray("1234567") << QByteArray("f") << QByteArray("1234567F") << CellPos{31, 3};
    QTest::newRow("UL row end") << ul << CellPos{4, 16} << QByteArray("00") << QByteArray("12") << QByteArray("12") << CellPos{1, 17};
    QTest::newRow("UL last byte stays") << ul << CellPos{4, 17} << QByteArray("00") << QByteArray("1234") << QByteArray("34") << CellPos{4, 17};
    QTest::newRow("UL lock byte") << ul << CellPos{3, 4} << QByteArray("00") << QByteArray("0f") << QByteArray("0F") << CellPos{4, 4};
}

void TestGridEditing::typing()
{
    QFETCH(CardType, type);
    QFETCH(CellPos, start);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, keys);
    QFETCH(QByteArray, after);
    QFETCH(CellPos, cursor);
    Fixture f(type);
    f.editor.moveCursor(start);
    f.grid.setCell(start.column, start.row, before);
    QVERIFY(f.type(keys));
    QCOMPARE(f.grid.cell(start.column, start.row), after);
    QCOMPARE(f.editor.cursor(), cursor);
}

void TestGridEditing::rejectedKeys_data()
{
    QTest::addColumn<CardType>("type");
    QTest::addColumn<CellPos>("cell");
    QTest::addColumn<bool>("ascii");
    QTest::addColumn<char>("key");
    const auto k1 = CardType::Mifare1K, ul = CardType::MifareUL;
    QTest::newRow("G") << k1 << CellPos{2, 3} << false << 'G';
    QTest::newRow("backspace") << k1 << CellPos{2, 3} << false << '\b';
    QTest::newRow("letter in trailer, ascii view") << k1 << CellPos{2, 5} << true << 'Z';
    QTest::newRow("digit in block 0") << k1 << CellPos{2, 2} << false << '5';
    QTest::newRow("digit in description") << k1 << CellPos{18, 3} << false << '5';
    QTest::newRow("digit in block label") << k1 << CellPos{1, 3} << true << '5';
    QTest::newRow("UL byte 0 of page 2") << ul << CellPos{1, 4} << false << '5';
    QTest::newRow("UL lock byte, ascii view") << ul << CellPos{3, 4} << true << 'A';
    QTest::newRow("UL OTP, ascii view") << ul << CellPos{2, 5} << true << 'A';
}

void TestGridEditing::rejectedKeys()
{
    QFETCH(CardType, type);
    QFETCH(CellPos, cell);
    QFETCH(bool, ascii);
    QFETCH(char, key);
    Fixture f(type);
    f.editor.setAsciiView(ascii);
    f.editor.moveCursor(cell);
    const QByteArray before = f.grid.cell(cell.column, cell.row);
    QVERIFY(!f.editor.keyPress(key));
    QCOMPARE(f.grid.cell(cell.column, cell.row), before);
    QCOMPARE(f.editor.cursor(), cell);
}

void TestGridEditing::asciiTyping()
{
    Fixture f(CardType::Mifare1K);
    f.editor.setAsciiView(true);
    GridToAscii(f.grid);
    f.editor.moveCursor({2, 3});
    QVERIFY(f.type("A"));
    QCOMPARE(f.grid.cell(2, 3), QByteArray("A"));
    QCOMPARE(f.editor.cursor(), (CellPos{3, 3}));
    QVERIFY(f.type(QByteArray("\r\n\x7f\xe9", 4)));
    QCOMPARE(f.grid.cell(3, 3), QByteArray("\r"));
    QCOMPARE(f.grid.cell(6, 3), QByteArray("\xe9"));
    // The last data byte of sector 0 jumps over the trailer, which still takes hex.
    f.editor.moveCursor({17, 4});
    QVERIFY(f.type("x"));
    QCOMPARE(f.editor.cursor(), (CellPos{2, 6}));
    f.editor.moveCursor({2, 5});
    QVERIFY(f.type("a5"));
    QCOMPARE(f.grid.cell(2, 5), QByteArray("A5"));

    GridToHex(f.grid);
    QCOMPARE(f.grid.cell(2, 3), QByteArray("41"));
    QCOMPARE(f.grid.cell(3, 3), QByteArray("0D"));
    QCOMPARE(f.grid.cell(4, 3), QByteArray("0A"));
    QCOMPARE(f.grid.cell(5, 3), QByteArray("7F"));
    QCOMPARE(f.grid.cell(6, 3), QByteArray("E9"));
    QCOMPARE(f.grid.cell(7, 3), QByteArray("00"));
    QCOMPARE(f.grid.cell(17, 4), QByteArray("78"));
    QCOMPARE(f.grid.cell(2, 5), QByteArray("A5"));
}

void TestGridEditing::allBytesSurvive()
{
    CardGridModel grid(CardType::Mifare4K);
    // Bytes 0..255 over sixteen data rows around the 4K boundary, trailers skipped.
    QVector<int> rows;
    for (int row = 120; rows.size() < 16; ++row) {
        if (!IsTrailerRow(row))
            rows << row;
    }
    const auto cellOf = [&](int v) { return CellPos{2 + v % 16, rows.at(v / 16)}; };
    for (int v = 0; v < 256; ++v)
        grid.setCell(cellOf(v).column, cellOf(v).row, Hex::pair(quint8(v)));
    GridToAscii(grid);
    for (int v = 0; v < 256; ++v) {
        const QByteArray expected = v == 0 ? QByteArray() : QByteArray(1, char(v));
        // What the view shows and hands back is the same single byte.
        const QModelIndex index = grid.index(cellOf(v).row, cellOf(v).column);
        QVERIFY(grid.setData(index, index.data(Qt::EditRole)));
        QCOMPARE(grid.cell(cellOf(v).column, cellOf(v).row), expected);
    }
    GridToHex(grid);
    for (int v = 0; v < 256; ++v)
        QCOMPARE(grid.cell(cellOf(v).column, cellOf(v).row), Hex::pair(quint8(v)));
}

void TestGridEditing::conversionsLeaveHexRows()
{
    Fixture classic(CardType::Mifare1K);
    classic.grid.setCell(2, 2, "41");
    GridToAscii(classic.grid);
    QCOMPARE(classic.grid.cell(2, 2), QByteArray("41")); // block 0
    QCOMPARE(classic.grid.cell(2, 5), QByteArray("5C")); // trailer
    QCOMPARE(classic.grid.cell(18, 3), QByteArray("Data Block"));
    Fixture ul(CardType::MifareUL);
    ul.grid.setCell(1, 5, "41");
    GridToAscii(ul.grid);
    QCOMPARE(ul.grid.cell(1, 5), QByteArray("41"));      // OTP page stays hex
}
void TestGridEditing::normalize()
{
    Fixture f(CardType::Mifare4K);
    const QList<std::pair<CellPos, QByteArray>> untidy = {{{2, 3}, "b"}, {{3, 3}, "ab"}, {{2, 145}, "c"},
        {{23, 3}, "7"}, {{29, 144}, "12c"}, {{23, 5}, "7"}, {{29, 3}, ""}};
    for (const auto &[cell, text] : untidy)
        f.grid.setCell(cell.column, cell.row, text);
    f.editor.setAsciiView(true);
    f.editor.moveCursor({3, 4});
    // Character cells are left alone; trailers and values are tidied; empty stays empty.
    const QByteArrayList ascii = {"b", "ab", "0C", "00000007", "0000012C", "7", ""};
    for (int i = 0; i < untidy.size(); ++i)
        QCOMPARE(f.grid.cell(untidy.at(i).first.column, untidy.at(i).first.row), ascii.at(i));
    f.editor.setAsciiView(false);
    f.editor.moveCursor({4, 4});
    QCOMPARE(f.grid.cell(2, 3), QByteArray("0B"));
    QCOMPARE(f.grid.cell(3, 3), QByteArray("AB"));

    Fixture ul(CardType::MifareUL);
    ul.grid.setCell(1, 6, "a");
    NormalizeGrid(ul.grid, true);
    QCOMPARE(ul.grid.cell(1, 6), QByteArray("a"));
    NormalizeGrid(ul.grid, false);
    QCOMPARE(ul.grid.cell(1, 6), QByteArray("0A"));
}
void TestGridEditing::clickHints_data()
{
    QTest::addColumn<CardType>("type");
    QTest::addColumn<CellPos>("cell");
    QTest::addColumn<QString>("hint");
    const auto k1 = CardType::Mifare1K, k4 = CardType::Mifare4K, ul = CardType::MifareUL;
    QTest::newRow("read") << k1 << CellPos{21, 2} << QStringLiteral("Double Click to Read from selected block");
    QTest::newRow("write") << k1 << CellPos{19, 5} << QStringLiteral("Double Click to Write selected block");
    QTest::newRow("increment") << k4 << CellPos{25, 130} << QStringLiteral("Double Click to Increment Value");
    QTest::newRow("read value") << k1 << CellPos{33, 3} << QStringLiteral("Double Click to Read Value");
    QTest::newRow("set keys") << k1 << CellPos{18, 5} << QString();
    QTest::newRow("UL write") << ul << CellPos{9, 4} << QStringLiteral("Double Click to Write to the selected block");
    QTest::newRow("UL read") << ul << CellPos{7, 2} << QStringLiteral("Double Click to Read from the selected block");
    QTest::newRow("UL set lock") << ul << CellPos{5, 4} << QStringLiteral("Double Click to open lock configuration window");
}

void TestGridEditing::clickHints()
{
    QFETCH(CardType, type);
    QFETCH(CellPos, cell);
    QFETCH(QString, hint);
    QCOMPARE(clickHint(type, cell.column, cell.row), hint);
}

QTEST_GUILESS_MAIN(TestGridEditing)
#include "tst_gridediting.moc"
