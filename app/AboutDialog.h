// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

// "About Nimbulo": the application icon, the version line and OK.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* owner = nullptr);
};
