// SPDX-License-Identifier: GPL-3.0-or-later
#include "HelpWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "ResourceIds.h"
#include "ScreenFit.h"

namespace {
constexpr int kGap = 8;
}  // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setWindowTitle(QStringLiteral("Nimbulo Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl(QStringLiteral("qrc") + ResourcePath::HelpPage()));
    setFocusProxy(browser_);
    resize(560, 640);
    new ScreenFit(this);
}

void HelpWindow::ShowBeside(const QRect& beside) {
    if (!placed_) {
        placed_ = true;
        const QScreen* screen = QGuiApplication::screenAt(beside.center());
        if (!screen) screen = QGuiApplication::primaryScreen();
        // Not shown yet, this window has no frame to measure; the main
        // window's is the same desktop's.
        const QWidget* owner = parentWidget();
        // Two pixels to spare below and one to the right: scaled, frames round differently.
        const QMargins frame =
            owner ? FrameMargins(owner->frameGeometry(), owner->geometry()) + QMargins(0, 0, 1, 2)
                  : QMargins();
        if (screen) setGeometry(PlaceBeside(beside, size(), screen->availableGeometry(), frame));
    }
    show();
    raise();
    activateWindow();
    // The keys scroll the page at once.
    browser_->setFocus();
}

QMargins HelpWindow::FrameMargins(const QRect& frame, const QRect& inside) {
    return QMargins(inside.left() - frame.left(), inside.top() - frame.top(),
                    frame.right() - inside.right(), frame.bottom() - inside.bottom());
}

QRect HelpWindow::PlaceBeside(const QRect& beside, QSize wanted, const QRect& screen,
                              const QMargins& frame) {
    const QRect framed = PlaceBeside(beside, wanted.grownBy(frame), screen);
    return framed.marginsRemoved(frame);
}

QRect HelpWindow::PlaceBeside(const QRect& beside, QSize wanted, const QRect& screen) {
    const int roomRight = screen.right() - beside.right() - kGap;
    const int roomLeft = beside.left() - screen.left() - kGap;
    const int height = std::min(wanted.height(), screen.height());
    const int top = std::clamp(beside.top(), screen.top(), screen.bottom() + 1 - height);
    const bool right = roomRight >= wanted.width() || roomRight >= roomLeft;
    const int width = std::max(1, std::min(wanted.width(), right ? roomRight : roomLeft));
    const int left = right ? beside.right() + 1 + kGap : beside.left() - kGap - width;
    return QRect(left, top, width, height);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
