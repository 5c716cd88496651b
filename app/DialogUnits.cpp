// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace {

// Multiplies and divides with rounding to the nearest, halves away from zero.
int MulDivRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = std::max(1, MulDivRounded(alphabet, 1, 52));
    baseY_ = std::max(1, metrics.height());
}

int DialogUnits::ToPixelsX(int dialogUnits) const {
    return MulDivRounded(dialogUnits, baseX_, 4);
}

int DialogUnits::ToPixelsY(int dialogUnits) const {
    return MulDivRounded(dialogUnits, baseY_, 8);
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    return {ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height)};
}

QFont DialogUnits::DialogFont(const char* face, int pointSize) {
    const QString family = QString::fromLatin1(face);
    QFont font = QFontDatabase::families().contains(family)
                     ? QFont(family)
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(pointSize);
    return font;
}
