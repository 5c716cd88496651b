// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QTextBrowser;

// Shows the user guide that ships with the program.
class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};
