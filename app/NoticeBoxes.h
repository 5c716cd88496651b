// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <map>

// The station's message boxes, none of which may hold up the work: each is
// shown without a modal loop and returns at once, so the port keeps retrying
// and the files keep being written while it is open. A cause has one box at
// a time; a box of another cause opens beside the others, never on the same
// spot.
class NoticeBoxes : public QObject {
    Q_OBJECT
  public:
    // What a report does to the open box of its cause: shows the newest
    // state, or adds its text (another file with the same fault).
    enum class Mode { Replace, Add };

    explicit NoticeBoxes(QObject* parent = nullptr);
    // The boxes go with the window that shows them.
    ~NoticeBoxes() override;

    QMessageBox* Show(const QString& cause, const QString& caption, const QString& text,
                      QMessageBox::Icon icon, Mode mode = Mode::Replace);
    // The open box of cause, or null.
    QMessageBox* Box(const QString& cause) const;
    int OpenCount() const;

  private:
    void Place(QMessageBox* box) const;

    std::map<QString, QPointer<QMessageBox>> boxes_;
};
