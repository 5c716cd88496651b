// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "ButtonLook.h"

// A rectangle in pixels; right and bottom lie just outside it.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    PixelRect Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }

    bool operator==(const PixelRect&) const = default;
};

// One straight piece of the one-pixel border, in the light or the shadow colour.
struct BorderSpan {
    enum class Shade { Light, Shadow };

    PixelRect area;  // one pixel thick
    Shade shade = Shade::Light;

    bool operator==(const BorderSpan&) const = default;
};

// Where an icon button puts its border, icon and caption. All divisions
// truncate toward zero, so an icon larger than the button starts at the
// button's edge or above it rather than being centred to the half pixel.
class ButtonLayout {
  public:
    // Spacing between the left edge and the icon, and between icon and caption.
    static constexpr int kIconMargin = 3;

    // The border for a look, in drawing order; a later span paints over an
    // earlier one where they share a corner. None for the normal look.
    static std::vector<BorderSpan> Border(const PixelRect& item, ButtonLook::Kind kind);

    // The icon's rectangle within `item`: centred when there is no caption,
    // else 3 pixels from the left edge, in which case the caption's area
    // `caption` starts 3 pixels right of the icon. Moved by (1, 1) when pressed.
    // The icon is drawn at the rectangle's top-left corner.
    static PixelRect IconRect(const PixelRect& item, int iconWidth, int iconHeight, bool hasCaption,
                              bool pressed, PixelRect& caption);

    // The keyboard-focus frame: one pixel wide, inside the border with a pixel to spare.
    static PixelRect FocusFrame(const PixelRect& item);

    // The rectangle of a one-line caption textWidth x textHeight centred in
    // `area`, after moving `area` by (1, 1) when pressed.
    static PixelRect CaptionRect(const PixelRect& area, int textWidth, int textHeight,
                                 bool pressed);
};
