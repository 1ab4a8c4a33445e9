#include "view/ColourScheme.h"

#include <QPalette>

#include <cmath>

namespace {

constexpr double kReadable = 4.5;

const QColor kWhite(255, 255, 255);
const QColor kCream(255, 251, 240);
const QColor kSkyBlue(166, 202, 240);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kRed(255, 0, 0);

double channel(int value)
{
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.red()) + 0.7152 * channel(rgb.green()) + 0.0722 * channel(rgb.blue());
}

// `amount` of `tint` over `base`.
QColor mix(const QColor &base, const QColor &tint, double amount)
{
    const auto blend = [amount](int b, int t) { return int(std::lround(b + (t - b) * amount)); };
    return QColor(blend(base.red(), tint.red()), blend(base.green(), tint.green()), blend(base.blue(), tint.blue()));
}

} // namespace

double ColourScheme::contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QColor ColourScheme::readableOn(const QColor &fill, const QColor &preferred)
{
    if (contrast(fill, preferred) >= kReadable)
        return preferred;
    // Try both directions in small steps of lightness; the nearer readable one wins.
    const QColor hsl = preferred.toHsl();
    for (int step = 4; step <= 255; step += 4) {
        for (int sign : {-1, 1}) {
            const int lightness = hsl.lightness() + sign * step;
            if (lightness < 0 || lightness > 255)
                continue;
            const QColor candidate = QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), lightness).toRgb();
            if (contrast(fill, candidate) >= kReadable)
                return candidate;
        }
    }
    return contrast(fill, Qt::black) >= contrast(fill, Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

ColourScheme ColourScheme::fromPalette(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const bool light = luminance(base) >= 0.5;

    ColourScheme s;
    s.cell = light ? kWhite : base;
    s.cream = light ? kCream : mix(base, QColor(255, 200, 90), 0.16);
    s.strip = light ? kSkyBlue : mix(base, kSkyBlue, 0.45);
    s.rule = light ? kGrey : mix(base, text, 0.5);
    s.shaded = light ? kSilver : mix(base, text, 0.3);
    s.buttonFace = palette.color(QPalette::Button);
    s.buttonLight = light ? kWhite : palette.color(QPalette::Light);
    s.buttonShadow = palette.color(QPalette::Dark);
    s.highlight = palette.color(QPalette::Highlight);

    s.cellText = readableOn(s.cell, text);
    s.creamText = readableOn(s.cream, text);
    s.stripText = readableOn(s.strip, text);
    s.shadedText = readableOn(s.shaded, text);
    s.buttonText = readableOn(s.buttonFace, palette.color(QPalette::ButtonText));
    s.highlightText = readableOn(s.highlight, palette.color(QPalette::HighlightedText));
    s.warningText = readableOn(palette.color(QPalette::Window), kRed);
    return s;
}
