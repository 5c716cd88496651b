// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoticeBoxes.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
// How far each further box sits from the one before, down and to the right.
constexpr int kStep = 48;
}  // namespace

NoticeBoxes::NoticeBoxes(QObject* parent) : QObject(parent) {}

NoticeBoxes::~NoticeBoxes() {
    for (auto& [cause, box] : boxes_) delete box.data();
}

QMessageBox* NoticeBoxes::Box(const QString& cause) const {
    const auto found = boxes_.find(cause);
    return found == boxes_.end() ? nullptr : found->second.data();
}

int NoticeBoxes::OpenCount() const {
    int open = 0;
    for (const auto& [cause, box] : boxes_) open += box && box->isVisible();
    return open;
}

QMessageBox* NoticeBoxes::Show(const QString& cause, const QString& caption, const QString& text,
                               QMessageBox::Icon icon, Mode mode) {
    if (QMessageBox* box = Box(cause); box && box->isVisible()) {
        if (mode == Mode::Replace)
            box->setText(text);
        else if (!box->text().contains(text))
            box->setText(box->text() + "\n" + text);
        box->setWindowTitle(caption);
        box->setIcon(icon);
        return box;
    }
    auto* box = new QMessageBox(icon, caption, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    boxes_[cause] = box;
    box->show();
    Place(box);
    return box;
}

// Below and to the right of the lowest open box, kept on the screen; the
// first sits where the window manager puts it.
void NoticeBoxes::Place(QMessageBox* box) const {
    QPoint corner;
    bool any = false;
    for (const auto& [cause, other] : boxes_) {
        if (!other || other == box || !other->isVisible()) continue;
        const QPoint at = other->frameGeometry().topLeft();
        if (!any || at.y() > corner.y()) corner = at;
        any = true;
    }
    if (!any) return;
    QRect area(corner + QPoint(kStep, kStep), box->frameGeometry().size());
    if (const QScreen* screen = box->screen()) {
        const QRect available = screen->availableGeometry();
        if (area.bottom() > available.bottom()) area.moveTop(available.top());
        if (area.right() > available.right()) area.moveLeft(available.left());
    }
    box->move(area.topLeft());
}
