#include "view/CardGridModel.h"
#include "windows/CardGridView.h"
#include "view/ColourScheme.h"
#include "view/GridLayout.h"
#include "view/ReadStrip.h"

#include <QApplication>
#include <QStyle>
#include <QTest>

namespace {

QPalette lightPalette()
{
    return QApplication::style()->standardPalette();
}

// A dark desktop theme: light text on dark grey.
QPalette darkPalette()
{
    QPalette p(QColor(53, 53, 53)); // button and window; the other roles follow from it
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, QColor(230, 230, 230));
    p.setColor(QPalette::Base, QColor(42, 42, 42));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    return p;
}

// A high-contrast theme: white and yellow on black.
QPalette highContrastPalette()
{
    QPalette p;
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button,
                                     QPalette::Dark})
        p.setColor(role, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::Light})
        p.setColor(role, Qt::white);
    p.setColor(QPalette::ButtonText, Qt::yellow);
    p.setColor(QPalette::Highlight, Qt::cyan);
    p.setColor(QPalette::HighlightedText, Qt::black);
    return p;
}

// The contrast of a cell's text with its ground, as painted: the ground is the most
// frequent colour in the rectangle, the text the pixel that differs from it most.
double paintedContrast(const QImage &image, const QRect &rect)
{
    QHash<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    QRgb ground = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(ground))
            ground = it.key();
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = qMax(best, ColourScheme::contrast(QColor(ground), QColor(it.key())));
    return best;
}

} // namespace

// Text on every fill of the grids and editors stays readable under any palette.
class TestColourScheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void palettes_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << lightPalette();
        QTest::newRow("dark") << darkPalette();
        QTest::newRow("high contrast") << highContrastPalette();
    }

    // Every fill of the scheme with its text colour.
    void everyPairReadable_data() { palettes_data(); }
    void everyPairReadable()
    {
        QFETCH(QPalette, palette);
        const ColourScheme s = ColourScheme::fromPalette(palette);
        const QList<std::pair<QColor, QColor>> pairs = {
            {s.cell, s.cellText},       {s.cream, s.creamText},           {s.strip, s.stripText},
            {s.shaded, s.shadedText},   {s.buttonFace, s.buttonText},     {s.highlight, s.highlightText},
            {palette.color(QPalette::Window), s.warningText}};
        for (const auto &[fill, text] : pairs)
            QVERIFY2(ColourScheme::contrast(fill, text) >= 4.5, qPrintable(fill.name() + u" / "_qs + text.name()));
    }

    // The rendered grid: plain bytes, a trailer, a description, a button, a value
    // field, the title band and the read strip each show their text readably.
    void renderedGridReadable_data() { palettes_data(); }
    void renderedGridReadable()
    {
        QFETCH(QPalette, palette);
        ReadStrip strip;
        CardGridModel grid(CardType::Mifare1K);
        CardGridView view(grid, strip);
        GridLayout::apply(grid);
        GridLayout::fillDefaults(grid);
        grid.setCell(CardLayout::kValueColumn, 6, "1500");
        view.setPalette(palette);
        view.resize(817, 382);
        view.show();
        strip.setGetData(false);
        strip.setLastReadText(" 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 ascii: ABCDEFGHIJKLMNOP");
        strip.setLastReadFlag("ok");
        strip.setLastReadRow(10);
        const QImage image = view.viewport()->grab().toImage();

        const auto cellRect = [&](int column, int row) {
            return view.visualRect(grid.index(row, column)).adjusted(0, 0, -1, -1).intersected(image.rect());
        };
        const QList<std::pair<const char *, QRect>> places = {
            {"byte", cellRect(5, 6)},
            {"trailer byte", cellRect(5, 5)},
            {"description", cellRect(18, 6)},
            {"button R", cellRect(21, 6)},
            {"value field", cellRect(CardLayout::kValueColumn, 6)},
            {"title band", QRect(182, 2, 180, 18)},
            {"read strip", QRect(80, cellRect(0, 10).top() + 3, 300, 14)},
        };
        for (const auto &[name, rect] : places)
            QVERIFY2(paintedContrast(image, rect) >= 3.0, name);
    }
};

QTEST_MAIN(TestColourScheme)
#include "tst_colourscheme.moc"
