// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include "WebSettings.h"

class QGroupBox;
class QLineEdit;

// "Web page": whether the window serves the station's web page, and on which
// address and port (the [Web] group, as the logger's config file has it).
// Self-contained, so that it can sit in any dialog.
class WebPageSettingsPage : public QWidget {
    Q_OBJECT

  public:
    explicit WebPageSettingsPage(const WebSettings& settings, QWidget* parent = nullptr);

    // The fields as settings; false with a message (the field focused) when
    // one cannot be stored. An unchecked page keeps what was entered.
    bool Read(WebSettings& out, QString& error) const;

  private:
    QGroupBox* box_;
    QLineEdit* address_;
    QLineEdit* port_;
};
