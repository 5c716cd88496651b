// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// A group box drawn the classic dialog way: an etched rectangle whose top
// edge runs through the middle of the title, with the title cut into it. It
// is a plain sibling of the controls it surrounds and takes no input.
class GroupFrame : public QWidget {
    Q_OBJECT

  public:
    explicit GroupFrame(const QString& title, QWidget* parent = nullptr);

    const QString& title() const { return title_; }
    void setTitle(const QString& title);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString title_;
};
