// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The platform's style with a focus frame that can be seen from a chair's
// distance: two pixels in the highlight colour instead of a faint dotted line,
// so that a keyboard user always knows which control Space or Return works on.
// Push buttons, which the platform's style marks only by a faint outline,
// get the same two pixels around their edge.
class FocusFrameStyle : public QProxyStyle {
  public:
    FocusFrameStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
