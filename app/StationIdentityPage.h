// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include "StationIdentity.h"

class QComboBox;
class QLineEdit;

// The station's identity as the climate summaries head it and CWOP sends
// its position: name, latitude and longitude (decimal degrees, north and
// east positive), elevation with its unit.
class StationIdentityPage : public QWidget {
    Q_OBJECT

  public:
    explicit StationIdentityPage(const StationIdentity& station, QWidget* parent = nullptr);

    // The fields into out; false with the first wrong field (in the form's
    // order) named in error and focused, out then unchanged. Empty fields
    // are no value; latitude and longitude come together or not at all.
    bool Read(StationIdentity& out, QString& error) const;

  private:
    QLineEdit* name_ = nullptr;
    QLineEdit* latitude_ = nullptr;
    QLineEdit* longitude_ = nullptr;
    QLineEdit* elevation_ = nullptr;
    QComboBox* elevationUnit_ = nullptr;
};
