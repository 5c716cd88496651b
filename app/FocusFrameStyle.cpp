// SPDX-License-Identifier: GPL-3.0-or-later
#include "FocusFrameStyle.h"

#include <QPainter>
#include <QStyleOption>

namespace {
void DrawFrame(QPainter* painter, const QStyleOption* option, const QRect& rect) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
    painter->restore();
}
}  // namespace

FocusFrameStyle::FocusFrameStyle() : QProxyStyle() {}

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameFocusRect) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    DrawFrame(painter, option, option->rect);
}

void FocusFrameStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButtonBevel && option->state.testFlag(State_HasFocus))
        DrawFrame(painter, option, option->rect);
}
