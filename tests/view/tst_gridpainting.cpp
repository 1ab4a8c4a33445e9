#include "view/CardGridModel.h"
#include "view/CardGridView.h"
#include "view/GridLayout.h"
#include "view/ReadStrip.h"

#include <QDir>
#include <QTest>

// The read strip painted over the row it belongs to, on a grid rendered on the
// offscreen platform. With MERLOX_SHOTS_DIR set, the rendered grid is also saved
// there as PNG for a look by eye.
class TestGridPainting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // gridUL shows only its four bytes of a 16-byte read; the strip ends with the
    // next paint, and gridUL keeps the text.
    void readStrip()
    {
        const QByteArray read = " 41 00 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F ascii: ABCDEFGHIJKLMNO";
        QCOMPARE(ReadStrip::caption(CardType::MifareUL, read), QStringLiteral(" 41 00 42 43 ascii: A B C"));
        QCOMPARE(ReadStrip::caption(CardType::Mifare1K, read), QString::fromLatin1(read));
        ReadStrip strip;
        CardGridModel grid(CardType::MifareUL);
        CardGridView view(grid, strip);
        GridLayout::apply(grid);
        GridLayout::fillDefaults(grid);
        view.resize(817, 382);
        view.show();
        strip.setGetData(false);
        strip.setLastReadText(read);
        strip.setLastReadFlag("ok");
        strip.setLastReadRow(8);
        const QImage image = view.viewport()->grab().toImage();
        const QString dir = qEnvironmentVariable("MERLOX_SHOTS_DIR");
        if (!dir.isEmpty())
            image.save(QDir(dir).filePath(view.objectName() + QStringLiteral(".png")));

        const int y = view.visualRect(grid.index(8, 0)).bottom() - 1;
        const QRgb sky = qRgb(166, 202, 240);
        QCOMPARE(image.pixel(45, y) | 0xff000000u, sky);
        QCOMPARE(image.pixel(199, y) | 0xff000000u, sky);
        QVERIFY((image.pixel(44, y) | 0xff000000u) != sky);
        QVERIFY((image.pixel(200, y) | 0xff000000u) != sky);
        QCOMPARE(strip.lastReadFlag(), QByteArray());
        QCOMPARE(strip.lastReadText(), read);
        QVERIFY((view.viewport()->grab().toImage().pixel(199, y) | 0xff000000u) != sky);
    }
};

QTEST_MAIN(TestGridPainting)
#include "tst_gridpainting.moc"
