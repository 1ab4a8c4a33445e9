#include "view/CardGridModel.h"
#include "view/CardGridView.h"
#include "view/GridLayout.h"
#include "view/ReadStrip.h"

#include <QDir>
#include <QTest>

namespace {

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
    QRect cell(int column, int row) const { return view.visualRect(grid.index(row, column)).adjusted(0, 0, -1, -1); }
    QImage render() { return view.viewport()->grab().toImage(); }
    ReadStrip strip;
    CardGridModel grid;
    CardGridView view;
};

} // namespace

// The read strip: its caption, and where it is painted on grids rendered on the
// offscreen platform. With MERLOX_SHOTS_DIR set, each grid rendered with a read strip
// is also saved there as PNG for a look by eye.
class TestGridPainting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ultralightCaption()
    {
        const QByteArray read = " 41 00 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F ascii: ABCDEFGHIJKLMNO";
        QCOMPARE(ReadStrip::caption(CardType::MifareUL, read), QStringLiteral(" 41 00 42 43 ascii: A B C"));
        QCOMPARE(ReadStrip::caption(CardType::MifareUL, " 00 61 00 E9"), QString::fromLatin1(" 00 61 00 E9 ascii:  a \xe9"));
        QCOMPARE(ReadStrip::caption(CardType::Mifare1K, read), QString::fromLatin1(read));
    }

    void readStrip_data()
    {
        QTest::addColumn<CardType>("type");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<QByteArray>("text");
        const QByteArray classic = " 5C 5C 5C 5C 5C 5C FF 07 80 69 5C 5C 5C 5C 5C 5C ascii: \\\\\\\\\\\\\xff\x07\x80i\\\\\\\\\\\\";
        QTest::newRow("grid1") << CardType::Mifare1K << 6 << 73 << 435 << classic;
        QTest::newRow("gridUL") << CardType::MifareUL << 8 << 45 << 200
                                << QByteArray(" 41 00 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F ascii: ABCDEFGHIJKLMNO");
    }

    void readStrip()
    {
        QFETCH(CardType, type);
        QFETCH(int, row);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(QByteArray, text);
        Shown s(type);
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
        // The Classic grids drop the text with it, gridUL keeps it.
        QCOMPARE(s.strip.lastReadFlag(), QByteArray());
        QCOMPARE(s.strip.lastReadText().isEmpty(), isClassic(type));
        QVERIFY((s.render().pixel(right - 1, y) | 0xff000000u) != sky);
    }
};

QTEST_MAIN(TestGridPainting)
#include "tst_gridpainting.moc"
