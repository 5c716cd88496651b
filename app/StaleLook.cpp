// SPDX-License-Identifier: GPL-3.0-or-later
#include "StaleLook.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
           0.0722 * Linear(colour.blueF());
}

QColor Mix(const QColor& from, const QColor& to, double share) {
    auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

}  // namespace

double StaleLook::ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A little above the floor, so that rounding on another display keeps it.
QColor StaleLook::Colour(const QColor& text, const QColor& background) {
    for (int step = 10; step >= 0; --step) {
        const QColor grey = Mix(text, background, step / 20.0);
        if (ContrastRatio(grey, background) >= kMinimumContrast + 0.3) return grey;
    }
    return text;
}

QFont StaleLook::Italic(QFont font, const QString& text, int room) {
    font.setItalic(true);
    // Fonts sized in pixels step a pixel, those in points half a point, down
    // to three quarters of the size at most: smaller would be hard to read.
    const bool pixels = font.pixelSize() > 0;
    const qreal size = pixels ? font.pixelSize() : font.pointSizeF();
    const qreal step = pixels ? 1 : 0.5;
    for (qreal next = size - step;
         QFontMetrics(font).boundingRect(text).right() > room && next >= size * 0.75;
         next -= step) {
        if (pixels)
            font.setPixelSize(int(next));
        else
            font.setPointSizeF(next);
    }
    return font;
}
