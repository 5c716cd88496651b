// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// How readings look once they are old: a grey that still reads well on the
// window's background (at least 4.5:1, the usual floor for text) and, since
// grey alone is easy to miss or to confuse with the normal text, italics.
class StaleLook {
  public:
    static constexpr double kMinimumContrast = 4.5;

    // The contrast ratio of two colours as the web's accessibility
    // guidelines define it: 1 (the same) to 21 (black on white).
    static double ContrastRatio(const QColor& a, const QColor& b);
    // The text colour moved toward the background as far as the contrast
    // allows, to set it apart from fresh readings.
    static QColor Colour(const QColor& text, const QColor& background);
    // The italics of font for text whose ink may reach room pixels from
    // where it starts. Without an italic face of its own (a machine with only
    // the basic fonts) Qt slants the upright one, and the last character then
    // leans further out: the size is stepped down until the text fits.
    static QFont Italic(QFont font, const QString& text, int room);
};
