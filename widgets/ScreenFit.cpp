// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreenFit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

ScreenFit::ScreenFit(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
}

// Qt reads the window manager's frame once per move or resize of the window,
// and on a busy machine that read can catch the frame while it is still
// being made (one pixel): a "frame" that does not hold the window is none.
bool ScreenFit::Framed(const QWidget* window) {
    const QRect outer = window->frameGeometry(), inner = window->geometry();
    return outer != inner && outer.contains(inner);
}

QMargins ScreenFit::FrameOf(const QWidget* window) {
    if (!Framed(window)) return {};
    const QRect outer = window->frameGeometry(), inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

void ScreenFit::Fit(QWidget* window) {
    const QScreen* on = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!on) return;
    const QRect area = on->availableGeometry();
    const QMargins frame = FrameOf(window);
    const QRect outer = window->geometry().marginsAdded(frame);
    const QSize most = area.size().shrunkBy(frame);
    const QSize fitted = window->size().boundedTo(most);
    if (fitted != window->size()) window->resize(fitted);
    QRect placed(outer.topLeft(), fitted.grownBy(frame));
    if (placed.right() > area.right()) placed.moveRight(area.right());
    if (placed.bottom() > area.bottom()) placed.moveBottom(area.bottom());
    if (placed.left() < area.left()) placed.moveLeft(area.left());
    if (placed.top() < area.top()) placed.moveTop(area.top());
    if (placed.topLeft() != outer.topLeft()) window->move(placed.topLeft());
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
            case QEvent::Show:
                framePending_ = !Framed(window_);
                Fit(window_);
                break;
            case QEvent::Move:
            case QEvent::Resize:
                if (framePending_ && Framed(window_)) {
                    framePending_ = false;
                    Fit(window_);
                }
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}
