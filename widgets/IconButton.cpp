// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconButton.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include "ButtonLayout.h"

namespace {

constexpr int kTextFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;
constexpr int kFocusFrameWidth = 2;

QRect ToQRect(const PixelRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

bool LeftHeld(Qt::MouseButtons buttons) {
    return buttons.testFlag(Qt::LeftButton);
}

}  // namespace

IconButton::IconButton(QWidget* parent) : QAbstractButton(parent) {
    // Moves without a button held are how the look follows the pointer.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ResetBgNormal(0);
    ResetTextNormal(0);
    ResetBgActive(0);
    ResetTextActive(0);
}

IconButton::~IconButton() = default;

void IconButton::SetIcon(const QIcon& active, const QIcon& normal, int width, int height) {
    iconActive = active;
    iconNormal = normal.isNull() ? active : normal;
    iconWidth = std::uint8_t(width & 0xFF);
    iconHeight = std::uint8_t(height & 0xFF);
    updateGeometry();
    repaint();
}

void IconButton::StoreColor(QColor& slot, const QColor& color, int repaint) {
    slot = color;
    if (repaint == 1) {
        update();
    }
}

QColor IconButton::SystemColor(QPalette::ColorRole role) const {
    // System colours do not change with the button's own enabled state.
    return palette().color(QPalette::Active, role);
}

void IconButton::SetBgNormal(const QColor& color, int repaint) {
    StoreColor(bgNormal, color, repaint);
}
void IconButton::SetTextNormal(const QColor& color, int repaint) {
    StoreColor(textNormal, color, repaint);
}
void IconButton::SetBgActive(const QColor& color, int repaint) {
    StoreColor(bgActive, color, repaint);
}
void IconButton::SetTextActive(const QColor& color, int repaint) {
    StoreColor(textActive, color, repaint);
}

void IconButton::ResetBgNormal(int repaint) {
    SetBgNormal(SystemColor(QPalette::Button), repaint);
}
void IconButton::ResetTextNormal(int repaint) {
    SetTextNormal(SystemColor(QPalette::ButtonText), repaint);
}
void IconButton::ResetBgActive(int repaint) {
    SetBgActive(SystemColor(QPalette::Button), repaint);
}
void IconButton::ResetTextActive(int repaint) {
    SetTextActive(SystemColor(QPalette::ButtonText), repaint);
}

ButtonLook IconButton::CurrentLook() const {
    return ButtonLook::Choose(tracker.Hover(), isDown(), !isEnabled(), keyboardFocus && hasFocus());
}

QSize IconButton::sizeHint() const {
    QSize size(iconWidth + 2 * ButtonLayout::kIconMargin,
               iconHeight + 2 * ButtonLayout::kIconMargin);
    if (!text().isEmpty()) {
        const QSize textSize = fontMetrics().size(kTextFlags, text());
        size.rwidth() += textSize.width() + ButtonLayout::kIconMargin;
        size.setHeight(qMax(size.height(), textSize.height() + 2 * ButtonLayout::kIconMargin));
    }
    return size;
}

void IconButton::Apply(const HoverActions& actions) {
    // Qt already routes the pointer to this button while a mouse button is
    // held, and enter and leave events replace tracking at other times, so
    // the capture actions need nothing here.
    if (actions.repaint) {
        update();
    }
}

void IconButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    // Enter events carry no button state; ask for it, so that a pointer
    // arriving with the left button held does not light the button.
    Apply(tracker.PointerMoved(true, LeftHeld(QGuiApplication::mouseButtons())));
}

void IconButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    Apply(tracker.PointerMoved(false, LeftHeld(QGuiApplication::mouseButtons())));
}

void IconButton::mouseMoveEvent(QMouseEvent* event) {
    QAbstractButton::mouseMoveEvent(event);
    Apply(tracker.PointerMoved(rect().contains(event->position().toPoint()),
                               LeftHeld(event->buttons())));
}

void IconButton::mouseReleaseEvent(QMouseEvent* event) {
    // Tracking ends with the button let go, before the click is reported:
    // the click may open a dialog or close the window.
    Apply(tracker.CaptureLost());
    QAbstractButton::mouseReleaseEvent(event);
}

void IconButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    keyboardFocus = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                    reason == Qt::ShortcutFocusReason;
    update();
}

void IconButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    keyboardFocus = false;
    update();
    Apply(tracker.FocusLost());
}

// Two pixels in the highlight colour with a pixel of the highlighted text's
// colour inside: seen from a chair's distance over a dark icon and a light
// one alike.
void IconButton::PaintFocusFrame(QPainter& painter, const ButtonLook& look) {
    if (!look.focusFrame) return;
    const QRect frame = ToQRect(ButtonLayout::FocusFrame({0, 0, width(), height()}));
    const auto ring = [&painter](const QRect& outer, int thickness, const QColor& colour) {
        const QRect inner = outer.adjusted(thickness, thickness, -thickness, -thickness);
        painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), thickness), colour);
        painter.fillRect(QRect(outer.left(), inner.bottom() + 1, outer.width(), thickness), colour);
        painter.fillRect(QRect(outer.left(), inner.top(), thickness, inner.height()), colour);
        painter.fillRect(QRect(inner.right() + 1, inner.top(), thickness, inner.height()), colour);
    };
    ring(frame, kFocusFrameWidth, SystemColor(QPalette::Highlight));
    ring(frame.adjusted(kFocusFrameWidth, kFocusFrameWidth, -kFocusFrameWidth, -kFocusFrameWidth),
         1, SystemColor(QPalette::HighlightedText));
}

void IconButton::paintEvent(QPaintEvent*) {
    const ButtonLook look = CurrentLook();
    const PixelRect item{0, 0, width(), height()};
    QPainter painter(this);

    painter.fillRect(ToQRect(item), look.Active() ? bgActive : bgNormal);
    for (const BorderSpan& span : ButtonLayout::Border(item, look.kind)) {
        const QPalette::ColorRole role =
            span.shade == BorderSpan::Shade::Light ? QPalette::Light : QPalette::Dark;
        painter.fillRect(ToQRect(span.area), SystemColor(role));
    }

    const QString caption = text();
    PixelRect captionArea = item;
    if (!iconActive.isNull()) {
        const PixelRect iconRect = ButtonLayout::IconRect(
            item, iconWidth, iconHeight, !caption.isEmpty(), look.Pressed(), captionArea);
        const QIcon& icon = look.Active() ? iconActive : iconNormal;
        const QPixmap picture = icon.pixmap(QSize(iconWidth, iconHeight), devicePixelRatioF(),
                                            look.disabled ? QIcon::Disabled : QIcon::Normal);
        painter.save();
        painter.setClipRect(ToQRect(iconRect));
        painter.drawPixmap(QRect(iconRect.left, iconRect.top, iconWidth, iconHeight), picture);
        painter.restore();
    }

    // Over the icon, which fills most of the button.
    PaintFocusFrame(painter, look);
    if (caption.isEmpty()) {
        return;
    }
    const QSize textSize = fontMetrics().size(kTextFlags, caption);
    const QRect textRect = ToQRect(ButtonLayout::CaptionRect(captionArea, textSize.width(),
                                                             textSize.height(), look.Pressed()));
    painter.setFont(font());
    if (look.disabled) {
        // Greyed text as an engraving: a light copy one pixel down and right,
        // the shadow colour on top.
        painter.setPen(SystemColor(QPalette::Light));
        painter.drawText(textRect.translated(1, 1), kTextFlags, caption);
        painter.setPen(SystemColor(QPalette::Dark));
    } else {
        painter.setPen(look.Active() ? textActive : textNormal);
    }
    painter.drawText(textRect, kTextFlags, caption);
}
