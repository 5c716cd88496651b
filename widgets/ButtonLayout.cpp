// SPDX-License-Identifier: GPL-3.0-or-later
#include "ButtonLayout.h"

namespace {

PixelRect Column(int x, int top, int bottom) {
    return {x, top, x + 1, bottom};
}
PixelRect Row(int y, int left, int right) {
    return {left, y, right, y + 1};
}

}  // namespace

std::vector<BorderSpan> ButtonLayout::Border(const PixelRect& item, ButtonLook::Kind kind) {
    if (kind == ButtonLook::Kind::Normal) {
        return {};
    }
    using Shade = BorderSpan::Shade;
    const Shade topLeft = kind == ButtonLook::Kind::Pressed ? Shade::Shadow : Shade::Light;
    const Shade bottomRight = topLeft == Shade::Light ? Shade::Shadow : Shade::Light;
    const int l = item.left;
    const int t = item.top;
    const int r = item.right;
    const int b = item.bottom;
    // Two polylines from the bottom-left corner: up and across the top, then
    // across the bottom and up the right side; each leaves out its end points.
    return {
        {Column(l, t + 1, b), topLeft},
        {Row(t, l, r), topLeft},
        {Row(b - 1, l, r - 1), bottomRight},
        {Column(r - 1, t, b), bottomRight},
    };
}

PixelRect ButtonLayout::IconRect(const PixelRect& item, int iconWidth, int iconHeight,
                                 bool hasCaption, bool pressed, PixelRect& caption) {
    PixelRect icon = item;
    if (hasCaption) {
        icon.left += kIconMargin;
        caption.left += iconWidth + kIconMargin;
    } else {
        icon.left += (icon.right - iconWidth - icon.left) / 2;
    }
    icon.top += (icon.bottom - iconHeight - icon.top) / 2;
    return pressed ? icon.Moved(1, 1) : icon;
}

PixelRect ButtonLayout::CaptionRect(const PixelRect& area, int textWidth, int textHeight,
                                    bool pressed) {
    const PixelRect room = pressed ? area.Moved(1, 1) : area;
    const PixelRect text{room.left, room.top, room.left + textWidth, room.top + textHeight};
    return text.Moved((room.Width() - text.Width()) / 2, (room.Height() - text.Height()) / 2);
}

PixelRect ButtonLayout::FocusFrame(const PixelRect& item) {
    return {item.left + 2, item.top + 2, item.right - 2, item.bottom - 2};
}
