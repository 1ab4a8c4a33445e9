#include "view/CardGridModel.h"
#include "view/CardGridView.h"
#include "view/CellLook.h"
#include "view/GridLayout.h"
#include "view/GridPaintGeometry.h"
#include "view/ReadStrip.h"

#include <QDir>
#include <QHeaderView>
#include <QTest>

using namespace GridPaintGeometry;

// What the grids paint: the plain geometry, the looks of the cells, the read strip
// rules, and pixels of grids rendered on the offscreen platform. With MERLOX_SHOTS_DIR
// set, the rendered grids are also saved there as PNG files for a look by eye.
class TestGridPainting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shapes();
    void stripRects_data();
    void stripRects();
    void looks_data();
    void looks();
    void stripLifecycle();
    void ultralightCaption_data();
    void ultralightCaption();
    void classicPixels();
    void grid4Pixels();
    void ultralightPixels();
    void cornerTextOffset();
};

namespace {

const QRgb kCream = qRgb(255, 251, 240);
const QRgb kSkyBlue = qRgb(166, 202, 240);
const QRgb kGrey = qRgb(128, 128, 128);
const QRgb kWhite = qRgb(255, 255, 255);

// A laid-out grid with default contents in a view of the main window's size.
struct Shown {
    explicit Shown(CardType type)
        : grid(type)
        , view(grid, strip)
    {
        GridLayout::apply(grid);
        GridLayout::fillDefaults(grid);
        view.resize(817, 382);
        view.show();
    }
    QRect cell(int column, int row) const
    {
        return view.visualRect(grid.index(row, column)).adjusted(0, 0, -1, -1);
    }
    QImage render()
    {
        return view.viewport()->grab().toImage();
    }
    void save(const QString &name)
    {
        const QString dir = qEnvironmentVariable("MERLOX_SHOTS_DIR");
        if (!dir.isEmpty())
            render().save(QDir(dir).filePath(name));
    }
    ReadStrip strip;
    CardGridModel grid;
    CardGridView view;
};

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xff000000u;
}

// Top-left of the dark pixels (text) inside a rectangle.
QPoint inkOrigin(const QImage &image, const QRect &rect)
{
    int left = INT_MAX, top = INT_MAX;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                left = qMin(left, x);
                top = qMin(top, y);
            }
        }
    }
    return {left - rect.left(), top - rect.top()};
}

} // namespace

void TestGridPainting::shapes()
{
    const QRect cell = fromEdges(100, 40, 122, 60); // a 22 x 20 button cell
    const ButtonShape button = buttonShape(cell, 4);
    QCOMPARE(button.face, fromEdges(102, 42, 122, 59));
    QCOMPARE(button.light, QPolygon({QPoint(100, 60), QPoint(100, 40), QPoint(122, 40)}));
    QCOMPARE(button.shadow, QPolygon({QPoint(101, 59), QPoint(121, 59), QPoint(121, 41)}));
    QCOMPARE(button.caption, fromEdges(106, 42, 122, 59));
    const ValueFieldShape value = valueFieldShape(fromEdges(200, 40, 270, 60));
    QCOMPARE(value.frame, fromEdges(201, 41, 270, 59));
    QCOMPARE(value.field, fromEdges(203, 43, 269, 58));
    QCOMPARE(value.text.topLeft(), QPoint(203, 42));
    QCOMPARE(blankRect(cell), fromEdges(100, 40, 123, 61));
    QCOMPARE(separatorRect(cell), fromEdges(100, 40, 122, 43));
    QCOMPARE(leftRuleRect(cell), fromEdges(99, 40, 101, 60));
    QCOMPARE(cornerTextOrigin(cell) - cellTextOrigin(cell), QPoint(-2, -2));
}

void TestGridPainting::stripRects_data()
{
    QTest::addColumn<CardType>("type");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::newRow("1K") << CardType::Mifare1K << 73 << 435;
    QTest::newRow("4K") << CardType::Mifare4K << 85 << 449;
    QTest::newRow("UL") << CardType::MifareUL << 45 << 200;
}

void TestGridPainting::stripRects()
{
    QFETCH(CardType, type);
    QFETCH(int, left);
    QFETCH(int, right);
    const QRect row6 = fromEdges(376, 126, 436, 146);
    QCOMPARE(readStripRect(type, 0, row6), fromEdges(left, 126, right, 146));
    QCOMPARE(readStripRect(type, -10, row6), fromEdges(left - 10, 126, right - 10, 146));
}

void TestGridPainting::looks_data()
{
    using B = CellLook::Body;
    QTest::addColumn<CardType>("type");
    QTest::addColumn<CellPos>("cell");
    QTest::addColumn<B>("body");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("cream");
    QTest::addColumn<bool>("separator");
    const auto k1 = CardType::Mifare1K, k4 = CardType::Mifare4K, ul = CardType::MifareUL;
    QTest::newRow("header read") << k1 << CellPos{21, 1} << B::Text << QString() << 0 << false << false;
    QTest::newRow("header spacer") << k1 << CellPos{22, 0} << B::Blank << QString() << 0 << false << false;
    QTest::newRow("block 0 write") << k1 << CellPos{19, 2} << B::Blank << QString() << 0 << false << false;
    QTest::newRow("block 0 read") << k1 << CellPos{21, 2} << B::Button << QStringLiteral("R") << 4 << false << false;
    QTest::newRow("block 0 value") << k1 << CellPos{23, 2} << B::Blank << QString() << 0 << false << false;
    QTest::newRow("block 0 byte") << k1 << CellPos{2, 2} << B::Text << QString() << 0 << false << true;
    QTest::newRow("block 1 write") << k1 << CellPos{19, 3} << B::Button << QStringLiteral("W") << 4 << false << false;
    QTest::newRow("block 1 IV") << k1 << CellPos{25, 3} << B::Button << QStringLiteral("IV") << 4 << false << false;
    QTest::newRow("block 1 DV") << k1 << CellPos{27, 3} << B::Button << QStringLiteral("DV") << 2 << false << false;
    QTest::newRow("block 1 WV") << k1 << CellPos{31, 3} << B::Button << QStringLiteral("WV") << 2 << false << false;
    QTest::newRow("block 1 RV") << k1 << CellPos{33, 3} << B::Button << QStringLiteral("RV") << 2 << false << false;
    QTest::newRow("block 1 amount") << k1 << CellPos{23, 3} << B::ValueField << QString() << 0 << false << false;
    QTest::newRow("block 1 spacer") << k1 << CellPos{28, 3} << B::Blank << QString() << 0 << false << false;
    QTest::newRow("block 4 byte") << k1 << CellPos{17, 6} << B::Text << QString() << 0 << false << true;
    QTest::newRow("block 4 write") << k1 << CellPos{19, 6} << B::Button << QStringLiteral("W") << 4 << false << false;
    QTest::newRow("trailer byte") << k1 << CellPos{17, 5} << B::Text << QString() << 0 << true << false;
    QTest::newRow("trailer label") << k1 << CellPos{0, 5} << B::Text << QString() << 0 << true << false;
    QTest::newRow("set keys") << k1 << CellPos{18, 5} << B::Button << QStringLiteral("Set Keys") << 5 << true << false;
    QTest::newRow("trailer write") << k1 << CellPos{19, 5} << B::Button << QStringLiteral("W") << 4 << false << false;
    QTest::newRow("trailer IV") << k1 << CellPos{25, 5} << B::Blank << QString() << 0 << false << false;
    QTest::newRow("trailer RV") << k1 << CellPos{33, 65} << B::Blank << QString() << 0 << false << false;
    QTest::newRow("trailer value") << k1 << CellPos{29, 5} << B::TrailerValue << QString() << 0 << false << false;
    QTest::newRow("4K 129 cream") << k4 << CellPos{3, 129} << B::Text << QString() << 0 << true << false;
    QTest::newRow("4K 130 separator") << k4 << CellPos{3, 130} << B::Text << QString() << 0 << false << true;
    QTest::newRow("4K 130 IV") << k4 << CellPos{25, 130} << B::Button << QStringLiteral("IV") << 4 << false << false;
    QTest::newRow("4K 131 no separator") << k4 << CellPos{3, 131} << B::Text << QString() << 0 << false << false;
    QTest::newRow("4K 134 no separator") << k4 << CellPos{3, 134} << B::Text << QString() << 0 << false << false;
    QTest::newRow("4K 144 not cream") << k4 << CellPos{3, 144} << B::Text << QString() << 0 << false << false;
    QTest::newRow("4K 145 set keys") << k4 << CellPos{18, 145} << B::Button << QStringLiteral("Set Keys") << 5 << true << false;
    QTest::newRow("4K 146 separator") << k4 << CellPos{18, 146} << B::Text << QString() << 0 << false << true;
    QTest::newRow("UL set lock") << ul << CellPos{5, 4} << B::Button << QStringLiteral("Set Lock") << 5 << false << true;
    QTest::newRow("UL read page 0") << ul << CellPos{7, 2} << B::Button << QStringLiteral("Read") << 5 << false << false;
    QTest::newRow("UL header read") << ul << CellPos{7, 1} << B::Text << QString() << 0 << false << false;
    QTest::newRow("UL no write page 1") << ul << CellPos{9, 3} << B::Text << QString() << 0 << false << false;
    QTest::newRow("UL write page 2") << ul << CellPos{9, 4} << B::Button << QStringLiteral("Write") << 5 << false << false;
    QTest::newRow("UL spacer") << ul << CellPos{8, 10} << B::Blank << QString() << 0 << false << false;
    QTest::newRow("UL page 4 separator") << ul << CellPos{1, 6} << B::Text << QString() << 0 << false << true;
    QTest::newRow("UL page 4 read") << ul << CellPos{7, 6} << B::Button << QStringLiteral("Read") << 5 << false << false;
}

void TestGridPainting::looks()
{
    QFETCH(CardType, type);
    QFETCH(CellPos, cell);
    QFETCH(CellLook::Body, body);
    QFETCH(QString, caption);
    QFETCH(int, offset);
    QFETCH(bool, cream);
    QFETCH(bool, separator);
    const CellLook look = cellLook(type, cell.column, cell.row);
    QCOMPARE(look.body, body);
    QCOMPARE(look.caption, caption);
    QCOMPARE(look.captionOffset, offset);
    QCOMPARE(look.cream, cream);
    QCOMPARE(look.separator, separator);
    const bool rule = isClassic(type) ? (cell.column == 2 || cell.column == 18) : (cell.column == 1 || cell.column == 5);
    QCOMPARE(look.leftRule, rule);
}

void TestGridPainting::stripLifecycle()
{
    for (CardType type : {CardType::Mifare1K, CardType::MifareUL}) {
        ReadStrip strip;
        strip.setGetData(false);
        strip.setLastReadText(" 41 00 42 43");
        strip.setLastReadFlag("ok");
        strip.setLastReadRow(6);
        QVERIFY(!strip.paintCell(type, 5));
        QVERIFY(strip.paintCell(type, 6));
        QVERIFY(strip.paintCell(type, 6));
        QVERIFY(!strip.paintCell(type, 7)); // a lower row ends the strip
        QCOMPARE(strip.lastReadFlag(), QByteArray());
        QCOMPARE(strip.lastReadRow(), 0);
        QCOMPARE(strip.lastReadText().isEmpty(), isClassic(type)); // gridUL keeps the text
        QVERIFY(!strip.paintCell(type, 6));

        // With the data in the grid no strip shows, but the state ends the same way.
        strip.setGetData(true);
        strip.setLastReadFlag("ok");
        strip.setLastReadRow(6);
        QVERIFY(!strip.paintCell(type, 6));
        QCOMPARE(strip.lastReadFlag(), QByteArray("ok"));
        QVERIFY(!strip.paintCell(type, 8));
        QCOMPARE(strip.lastReadFlag(), QByteArray());
    }
}

void TestGridPainting::ultralightCaption_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("caption");
    QTest::newRow("zero byte") << QByteArray(" 41 00 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F ascii: ABCDEFGHIJKLMNO")
                               << QStringLiteral(" 41 00 42 43 ascii: A B C");
    QTest::newRow("first zero") << QByteArray(" 00 61 00 62") << QStringLiteral(" 00 61 00 62 ascii:  a b");
    QTest::newRow("high byte") << QByteArray(" E9 FF 20 31") << QString::fromLatin1(" E9 FF 20 31 ascii: \xe9 \xff   1");
    QTest::newRow("short text") << QByteArray(" 41") << QStringLiteral(" 41 ascii: A");
}

void TestGridPainting::ultralightCaption()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, caption);
    QCOMPARE(ReadStrip::caption(CardType::MifareUL, text), caption);
    QCOMPARE(ReadStrip::caption(CardType::Mifare1K, text), QString::fromLatin1(text));
}

void TestGridPainting::classicPixels()
{
    Shown s(CardType::Mifare1K);
    const QPalette palette = s.view.palette();
    const QRgb face = palette.color(QPalette::Button).rgb();
    s.strip.setGetData(false);
    s.strip.setLastReadText(" 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F ascii: ");
    s.strip.setLastReadFlag("ok");
    s.strip.setLastReadRow(6);
    s.save(QStringLiteral("grid1.png"));
    s.strip.setLastReadFlag("ok"); // the shot used the strip up
    s.strip.setLastReadRow(6);
    QImage image = s.render();

    // Read strip over row 6 from x = 73 to 435, then ended by the rows below.
    const QRect row6 = s.cell(18, 6);
    QCOMPARE(at(image, 73, row6.bottom()), kSkyBlue);
    QCOMPARE(at(image, 434, row6.bottom()), kSkyBlue);
    QVERIFY(at(image, 72, row6.bottom()) != kSkyBlue);
    QVERIFY(at(image, 436, row6.bottom()) != kSkyBlue);
    QCOMPARE(s.strip.lastReadFlag(), QByteArray());
    image = s.render();
    QCOMPARE(at(image, 434, row6.bottom()), kWhite);

    // Title band and header rows.
    QCOMPARE(at(image, 300, 19), kWhite);
    QCOMPARE(at(image, 600, 5), kWhite);
    // Trailer row 5: cream bytes, "Set Keys" button, blank value columns.
    const QRect byte = s.cell(3, 5);
    QCOMPARE(at(image, byte.right(), byte.bottom()), kCream);
    const ButtonShape setKeys = buttonShape(s.cell(18, 5), 5);
    QCOMPARE(at(image, setKeys.face.right() - 1, setKeys.face.bottom()), face);
    for (int c : {25, 27, 31, 33}) {
        const QRect blank = s.cell(c, 5);
        QCOMPARE(at(image, blank.center().x(), blank.center().y()), kWhite);
        QCOMPARE(at(image, blank.right() + 1, blank.bottom() + 1), kWhite); // grid lines covered
    }
    // Row 3: all six buttons and both value fields.
    for (int c : {19, 21, 25, 27, 31, 33}) {
        const QRect cell = s.cell(c, 3);
        const ButtonShape b = buttonShape(cell, 0);
        QCOMPARE(at(image, b.face.right() - 1, b.face.bottom()), face);
        QCOMPARE(at(image, cell.left(), cell.top() + 5), kWhite);
        QCOMPARE(at(image, b.shadow.point(2).x(), cell.top() + 5), palette.color(QPalette::Dark).rgb());
    }
    for (int c : {23, 29}) {
        const ValueFieldShape v = valueFieldShape(s.cell(c, 3));
        QCOMPARE(at(image, v.frame.left(), v.frame.top()), face);
        QCOMPARE(at(image, v.field.right(), v.field.bottom()), kWhite);
    }
    // Row 2: only the read button; rows 0 and 1 none.
    QCOMPARE(at(image, s.cell(19, 2).center().x(), s.cell(19, 2).bottom()), kWhite);
    QCOMPARE(at(image, s.cell(21, 2).right() - 2, s.cell(21, 2).bottom() - 2), face);
    QVERIFY(at(image, s.cell(21, 1).right() - 2, s.cell(21, 1).bottom() - 2) != face);
    // Grey rules left of the bytes and of the description, sector separators.
    QCOMPARE(at(image, s.cell(2, 3).left() - 1, s.cell(2, 3).center().y()), kGrey);
    QCOMPARE(at(image, s.cell(18, 4).left(), s.cell(18, 4).center().y()), kGrey);
    QCOMPARE(at(image, s.cell(5, 6).center().x(), s.cell(5, 6).top() + 2), face);
    QCOMPARE(at(image, s.cell(5, 7).center().x(), s.cell(5, 7).top() + 2), kWhite);
    QCOMPARE(at(image, s.cell(19, 6).center().x(), s.cell(19, 6).top() + 2), face); // the W button, not a band
    QCOMPARE(at(image, s.cell(20, 6).center().x(), s.cell(20, 6).top() + 2), kWhite);
}

void TestGridPainting::grid4Pixels()
{
    Shown s(CardType::Mifare4K);
    s.view.scrollTo(s.grid.index(126, 0), QAbstractItemView::PositionAtTop);
    s.strip.setGetData(false);
    s.strip.setLastReadText(" 5C 5C 5C 5C 5C 5C FF 07 80 69 5C 5C 5C 5C 5C 5C ascii: \\\\\\\\\\\\\xff\x07\x80i\\\\\\\\\\\\");
    s.strip.setLastReadFlag("ok");
    s.strip.setLastReadRow(129);
    const QRect row129 = s.cell(18, 129);
    s.save(QStringLiteral("grid4.png"));
    s.strip.setLastReadFlag("ok");
    s.strip.setLastReadRow(129);
    QImage image = s.render();
    QCOMPARE(at(image, 85, row129.bottom()), kSkyBlue);
    QCOMPARE(at(image, 448, row129.bottom()), kSkyBlue);
    QVERIFY(at(image, 84, row129.bottom()) != kSkyBlue);
    const QRgb face = s.view.palette().color(QPalette::Button).rgb();
    QCOMPARE(at(image, s.cell(3, 128).right(), s.cell(3, 128).top() + 1), kWhite);
    QCOMPARE(at(image, s.cell(3, 130).right(), s.cell(3, 130).top() + 1), face);
    for (int row = 131; row <= 140; ++row)
        QCOMPARE(at(image, s.cell(3, row).right(), s.cell(3, row).top() + 1), kWhite);
    image = s.render();
    QCOMPARE(at(image, s.cell(3, 129).right(), s.cell(3, 129).bottom()), kCream);
    QCOMPARE(at(image, s.cell(3, 130).right(), s.cell(3, 130).bottom()), kWhite);
    QCOMPARE(s.view.horizontalHeader()->length(), 760 + 34);
}

void TestGridPainting::ultralightPixels()
{
    Shown s(CardType::MifareUL);
    s.strip.setGetData(false);
    s.strip.setLastReadText(" 41 00 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F ascii: ABCDEFGHIJKLMNO");
    s.strip.setLastReadFlag("ok");
    s.strip.setLastReadRow(8);
    s.save(QStringLiteral("gridUL.png"));
    s.strip.setLastReadFlag("ok");
    s.strip.setLastReadRow(8);
    QImage image = s.render();
    const QRgb face = s.view.palette().color(QPalette::Button).rgb();
    const QRect row8 = s.cell(0, 8);
    QCOMPARE(at(image, 45, row8.bottom()), kSkyBlue);
    QCOMPARE(at(image, 199, row8.bottom()), kSkyBlue);
    QVERIFY(at(image, 200, row8.bottom()) != kSkyBlue);
    QCOMPARE(s.strip.lastReadText().left(3), QByteArray(" 41")); // gridUL keeps the text
    const auto faceAt = [&](int c, int r) {
        const ButtonShape b = buttonShape(s.cell(c, r), 0);
        return at(image, b.face.right() - 1, b.face.bottom()) == face;
    };
    QVERIFY(faceAt(5, 4));  // Set Lock
    QVERIFY(faceAt(7, 2));  // Read, page 0
    QVERIFY(!faceAt(9, 3)); // no Write on page 1
    QVERIFY(faceAt(9, 4));
    QVERIFY(!faceAt(7, 1));
    QCOMPARE(at(image, s.cell(2, 6).center().x(), s.cell(2, 6).top() + 1), face);
    QCOMPARE(at(image, s.cell(2, 7).center().x(), s.cell(2, 7).top() + 1), kWhite);
    QCOMPARE(at(image, s.cell(1, 10).left() - 1, s.cell(1, 10).center().y()), kGrey);
    QCOMPARE(at(image, s.cell(6, 10).right() + 1, s.cell(6, 10).bottom() + 1), kWhite);
    QCOMPARE(at(image, 300, 10), kWhite); // title band
}

void TestGridPainting::cornerTextOffset()
{
    Shown s(CardType::Mifare1K);
    s.grid.setCell(4, 4, "88");
    s.grid.setCell(4, 5, "88");
    const QImage image = s.render();
    const QPoint data = inkOrigin(image, s.cell(4, 4));
    const QPoint trailer = inkOrigin(image, s.cell(4, 5));
    QCOMPARE(trailer - data, QPoint(-2, -2));
}

QTEST_MAIN(TestGridPainting)
#include "tst_gridpainting.moc"
