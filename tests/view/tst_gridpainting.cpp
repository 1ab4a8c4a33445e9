#include "view/CardGridModel.h"
#include "view/CardGridView.h"
#include "view/GridLayout.h"
#include "view/GridPaintGeometry.h"
#include "view/ReadStrip.h"

#include <QDir>
#include <QTest>

using namespace GridPaintGeometry;

// What the grids paint: button and strip geometry, the read strip rules, and pixels of
// grids rendered on the offscreen platform. With MERLOX_SHOTS_DIR set, each rendered
// grid (default contents and a read strip) is also saved there as PNG for a look by eye.
class TestGridPainting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shapes();
    void stripLifecycle();
    void ultralightCaption();
    void pixels_data();
    void pixels();
    void readStrip_data();
    void readStrip();
};

namespace {

// A laid-out grid with default contents in a view of the main window's size.
struct Shown {
    explicit Shown(CardType type, int topRow = 0)
        : grid(type)
        , view(grid, strip)
    {
        GridLayout::apply(grid);
        GridLayout::fillDefaults(grid);
        view.resize(817, 382);
        view.show();
        view.scrollTo(grid.index(topRow, 0), QAbstractItemView::PositionAtTop);
    }
    QRect cell(int column, int row) const { return view.visualRect(grid.index(row, column)).adjusted(0, 0, -1, -1); }
    QImage render() { return view.viewport()->grab().toImage(); }
    ReadStrip strip;
    CardGridModel grid;
    CardGridView view;
};

// The point of a cell a pixel row looks at.
enum class Spot { Face, Top, LeftRule, GridCorner, Light, Shadow };

QPoint spotOf(const QRect &cell, Spot spot)
{
    const int r = cell.left() + cell.width(), b = cell.top() + cell.height();
    switch (spot) {
    case Spot::Face: return {r - 2, b - 3};       // inside a button face, cream or field
    case Spot::Top: return {r - 2, cell.top() + 1}; // the separator band
    case Spot::LeftRule: return {cell.left() - 1, cell.top() + 10};
    case Spot::GridCorner: return {r, b};         // grid lines, white under a blank
    case Spot::Light: return {cell.left(), cell.top() + 5};
    case Spot::Shadow: return {r - 1, cell.top() + 5};
    }
    return {};
}

QRgb colourNamed(const QString &name, const QPalette &palette)
{
    if (name == QLatin1String("face"))
        return palette.color(QPalette::Button).rgb();
    if (name == QLatin1String("shadow"))
        return palette.color(QPalette::Dark).rgb();
    if (name == QLatin1String("cream"))
        return qRgb(255, 251, 240);
    if (name == QLatin1String("grey"))
        return qRgb(128, 128, 128);
    if (name == QLatin1String("sky"))
        return qRgb(166, 202, 240);
    return qRgb(255, 255, 255);
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
    QCOMPARE(readStripRect(CardType::Mifare4K, -10, cell), fromEdges(75, 40, 439, 60));
    QCOMPARE(cornerTextOrigin(cell) - cellTextOrigin(cell), QPoint(-2, -2));
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
        QVERIFY(!strip.paintCell(type, 8));
        QCOMPARE(strip.lastReadFlag(), QByteArray());
    }
}

void TestGridPainting::ultralightCaption()
{
    const QByteArray read = " 41 00 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F ascii: ABCDEFGHIJKLMNO";
    QCOMPARE(ReadStrip::caption(CardType::MifareUL, read), QStringLiteral(" 41 00 42 43 ascii: A B C"));
    QCOMPARE(ReadStrip::caption(CardType::MifareUL, " 00 61 00 E9"), QString::fromLatin1(" 00 61 00 E9 ascii:  a \xe9"));
    QCOMPARE(ReadStrip::caption(CardType::Mifare1K, read), QString::fromLatin1(read));
}

void TestGridPainting::pixels_data()
{
    QTest::addColumn<CardType>("type");
    QTest::addColumn<int>("topRow");
    QTest::addColumn<CellPos>("cell");
    QTest::addColumn<Spot>("spot");
    QTest::addColumn<QString>("colour");
    const auto k1 = CardType::Mifare1K, k4 = CardType::Mifare4K, ul = CardType::MifareUL;
    QTest::newRow("1K title band") << k1 << 0 << CellPos{10, 0} << Spot::GridCorner << "white";
    QTest::newRow("1K trailer byte cream") << k1 << 0 << CellPos{3, 5} << Spot::Face << "cream";
    QTest::newRow("1K set keys") << k1 << 0 << CellPos{18, 5} << Spot::Face << "face";
    QTest::newRow("1K trailer RV blank") << k1 << 0 << CellPos{33, 5} << Spot::Face << "white";
    QTest::newRow("1K row 3 W") << k1 << 0 << CellPos{19, 3} << Spot::Face << "face";
    QTest::newRow("1K row 3 IV shadow") << k1 << 0 << CellPos{25, 3} << Spot::Shadow << "shadow";
    QTest::newRow("1K row 3 amount field") << k1 << 0 << CellPos{23, 3} << Spot::Face << "white";
    QTest::newRow("1K row 3 amount frame") << k1 << 0 << CellPos{23, 3} << Spot::Top << "face";
    QTest::newRow("1K row 2 only R") << k1 << 0 << CellPos{21, 2} << Spot::Face << "face";
    QTest::newRow("1K row 2 no W") << k1 << 0 << CellPos{19, 2} << Spot::Face << "white";
    QTest::newRow("1K row 1 no R") << k1 << 0 << CellPos{21, 1} << Spot::Face << "white";
    QTest::newRow("1K rule at bytes") << k1 << 0 << CellPos{2, 3} << Spot::LeftRule << "grey";
    QTest::newRow("1K separator") << k1 << 0 << CellPos{5, 6} << Spot::Top << "face";
    QTest::newRow("1K spacer") << k1 << 0 << CellPos{20, 6} << Spot::GridCorner << "white";
    QTest::newRow("4K 129 cream") << k4 << 126 << CellPos{3, 129} << Spot::Face << "cream";
    QTest::newRow("4K 130 separator") << k4 << 126 << CellPos{3, 130} << Spot::Top << "face";
    QTest::newRow("4K 131 no separator") << k4 << 126 << CellPos{3, 131} << Spot::Top << "white";
    QTest::newRow("4K 145 cream") << k4 << 140 << CellPos{3, 145} << Spot::Face << "cream";
    QTest::newRow("4K 145 no IV") << k4 << 140 << CellPos{25, 145} << Spot::Face << "white";
    QTest::newRow("UL set lock") << ul << 0 << CellPos{5, 4} << Spot::Face << "face";
    QTest::newRow("UL no write page 1") << ul << 0 << CellPos{9, 3} << Spot::Face << "white";
    QTest::newRow("UL write page 2") << ul << 0 << CellPos{9, 4} << Spot::Face << "face";
    QTest::newRow("UL separator page 4") << ul << 0 << CellPos{2, 6} << Spot::Top << "face";
    QTest::newRow("UL rule") << ul << 0 << CellPos{1, 10} << Spot::LeftRule << "grey";
}

void TestGridPainting::pixels()
{
    QFETCH(CardType, type);
    QFETCH(int, topRow);
    QFETCH(CellPos, cell);
    QFETCH(Spot, spot);
    QFETCH(QString, colour);
    Shown s(type, topRow);
    const QPoint at = spotOf(s.cell(cell.column, cell.row), spot);
    QCOMPARE(s.render().pixel(at) | 0xff000000u, colourNamed(colour, s.view.palette()));
}

void TestGridPainting::readStrip_data()
{
    QTest::addColumn<CardType>("type");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<QByteArray>("text");
    const QByteArray classic = " 5C 5C 5C 5C 5C 5C FF 07 80 69 5C 5C 5C 5C 5C 5C ascii: \\\\\\\\\\\\\xff\x07\x80i\\\\\\\\\\\\";
    QTest::newRow("grid1") << CardType::Mifare1K << 6 << 73 << 435 << classic;
    QTest::newRow("grid4") << CardType::Mifare4K << 129 << 85 << 449 << classic;
    QTest::newRow("gridUL") << CardType::MifareUL << 8 << 45 << 200
                            << QByteArray(" 41 00 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F ascii: ABCDEFGHIJKLMNO");
}

void TestGridPainting::readStrip()
{
    QFETCH(CardType, type);
    QFETCH(int, row);
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(QByteArray, text);
    Shown s(type, type == CardType::Mifare4K ? 126 : 0);
    s.strip.setGetData(false);
    s.strip.setLastReadText(text);
    s.strip.setLastReadFlag("ok");
    s.strip.setLastReadRow(row);
    const QImage image = s.render();
    const QString dir = qEnvironmentVariable("MERLOX_SHOTS_DIR");
    if (!dir.isEmpty())
        image.save(QDir(dir).filePath(s.view.objectName() + QStringLiteral(".png")));

    const int y = s.cell(0, row).bottom();
    const QRgb sky = qRgb(166, 202, 240);
    QCOMPARE(image.pixel(left, y) | 0xff000000u, sky);
    QCOMPARE(image.pixel(right - 1, y) | 0xff000000u, sky);
    QVERIFY((image.pixel(left - 1, y) | 0xff000000u) != sky);
    QVERIFY((image.pixel(right, y) | 0xff000000u) != sky);
    // The rows painted below ended the strip: the next paint shows the cells again.
    QCOMPARE(s.strip.lastReadFlag(), QByteArray());
    QVERIFY((s.render().pixel(right - 1, y) | 0xff000000u) != sky);
}

QTEST_MAIN(TestGridPainting)
#include "tst_gridpainting.moc"
