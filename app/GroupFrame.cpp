// SPDX-License-Identifier: GPL-3.0-or-later
#include "GroupFrame.h"

#include <QPainter>

namespace {
constexpr int kTitleIndent = 8;  // pixels from the left edge to the title
constexpr int kTitlePadding = 2;
}  // namespace

GroupFrame::GroupFrame(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GroupFrame::setTitle(const QString& title) {
    title_ = title;
    update();
}

void GroupFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int lineY = metrics.height() / 2;
    const QRect frame(0, lineY, width() - 2, height() - lineY - 2);
    // Etched: a shadow line with a light line one pixel below and right.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.translated(1, 1));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    if (title_.isEmpty()) return;
    const QRect text(kTitleIndent, 0, metrics.horizontalAdvance(title_) + 2 * kTitlePadding,
                     metrics.height());
    painter.fillRect(text, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(text, Qt::AlignCenter | Qt::TextSingleLine, title_);
}
