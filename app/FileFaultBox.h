// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "FileFaultReporter.h"

// The window's side of file faults: a report or the data log that cannot be
// written is shown in the "Application Error" box, and its return in a box of
// its own. The boxes are shown from the event loop, never inside the writing
// of a file, so a fault never holds up the files that follow it. Files
// that fail for the same cause (a full disk) share one box.
class FileFaultBox : public QObject, public FileFaultReporter {
    Q_OBJECT
  public:
    // The cause that the box is kept for, its caption, text and whether it
    // is an error; without a presenter the text goes to the log.
    using Presenter = std::function<void(const QString&, const QString&, const QString&, bool)>;

    explicit FileFaultBox(QObject* parent = nullptr);
    void SetPresenter(Presenter presenter) { present_ = std::move(presenter); }

    void Report(const std::string& file, const std::string& cause) override;
    void Recovered(const std::string& file) override;

    static QString FaultText(const std::string& file, const std::string& cause);
    static QString RecoveredText(const std::string& file);

  private:
    void Present(const QString& cause, const QString& caption, const QString& text, bool error);

    Presenter present_;
};
