// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

// "About Nimbulo": the application icon, the version line, the data folder
// and OK.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* owner = nullptr);

    // "Data folder: " and the folder the files are written to.
    static QString DataFolderText();
};
