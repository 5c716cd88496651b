// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>

// Converts dialog units to pixels from a dialog font's own metrics: a
// horizontal unit is a quarter of the font's average character width
// ("A".."Z", "a".."z"), a vertical unit an eighth of its height.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

    int ToPixelsX(int dialogUnits) const;
    int ToPixelsY(int dialogUnits) const;
    QRect ToPixels(int x, int y, int width, int height) const;

    // The font a template names when it is installed, else the platform's
    // default sans serif, at the template's point size.
    static QFont DialogFont(const char* face, int pointSize);

  private:
    int baseX_;
    int baseY_;
};
