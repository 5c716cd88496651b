// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

// "About Nimbulo": the application icon, the version line, the data folder
// and OK.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* owner = nullptr);

    // Below the rest: how many live outputs have a problem and each problem
    // whole; nothing when there is none.
    void ShowProblems(const QStringList& problems);
    QString ProblemsText() const;

    // "Data folder: " and the folder the files are written to.
    static QString DataFolderText();

  private:
    class QLabel* problems_ = nullptr;
};
