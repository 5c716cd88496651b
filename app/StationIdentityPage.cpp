// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationIdentityPage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <cmath>
#include <optional>

namespace {
constexpr double kLatitudeLimit = 90.0;
constexpr double kLongitudeLimit = 180.0;
// Far above any station, in feet or metres: only keeps out "inf" and typing slips.
constexpr double kElevationLimit = 100000.0;

// As the owner would type it: no trailing zeros ("42.6", not "42.600000").
QString Number(std::optional<double> value, int decimals) {
    if (!value) return QString();
    QString text = QString::number(*value, 'f', decimals);
    if (text.contains('.')) {
        while (text.endsWith('0')) text.chop(1);
        if (text.endsWith('.')) text.chop(1);
    }
    return text;
}

// An empty field gives nothing; otherwise a number within -limit..limit.
bool ReadNumber(QLineEdit* field, const QString& problem, double limit,
                std::optional<double>& value, QString& error) {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) return true;
    bool ok = false;
    const double read = text.toDouble(&ok);
    if (ok && std::abs(read) <= limit) {
        value = read;
        return true;
    }
    error = problem;
    field->setFocus();
    return false;
}

bool Missing(QLineEdit* field, const QString& problem, QString& error) {
    error = problem;
    field->setFocus();
    return false;
}
}  // namespace

StationIdentityPage::StationIdentityPage(const StationIdentity& station, QWidget* parent)
    : QWidget(parent) {
    setObjectName("stationIdentity");
    auto* form = new QFormLayout(this);
    const auto field = [&](const QString& label, const QString& name, const QString& text) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(name);
        if (!label.isEmpty()) form->addRow(label, edit);
        return edit;
    };
    name_ = field("Station name:", "stationName", QString::fromStdString(station.name));
    latitude_ = field("Latitude (north +):", "stationLatitude", Number(station.latitude, 6));
    longitude_ = field("Longitude (east +):", "stationLongitude", Number(station.longitude, 6));
    const bool whole = station.elevation && *station.elevation == std::round(*station.elevation);
    elevation_ = field("", "stationElevation", Number(station.elevation, whole ? 0 : 1));
    elevationUnit_ = new QComboBox(this);
    elevationUnit_->setObjectName("stationElevationUnit");
    elevationUnit_->addItem("ft");
    elevationUnit_->addItem("m");
    elevationUnit_->setCurrentIndex(station.elevationUnit ==
                                    StationIdentity::ElevationUnit::Metres);
    auto* height = new QHBoxLayout;
    height->addWidget(elevation_, 1);
    height->addWidget(elevationUnit_);
    form->addRow("Elevation:", height);
}

bool StationIdentityPage::Read(StationIdentity& out, QString& error) const {
    StationIdentity read;
    read.name = name_->text().trimmed().toStdString();
    if (!ReadNumber(latitude_, "The latitude must be decimal degrees from -90 to 90.",
                    kLatitudeLimit, read.latitude, error) ||
        !ReadNumber(longitude_, "The longitude must be decimal degrees from -180 to 180.",
                    kLongitudeLimit, read.longitude, error))
        return false;
    // The position is one: CWOP cannot send half of it.
    if (!read.latitude && read.longitude)
        return Missing(latitude_, "The latitude is needed with the longitude.", error);
    if (read.latitude && !read.longitude)
        return Missing(longitude_, "The longitude is needed with the latitude.", error);
    if (!ReadNumber(elevation_, "The elevation must be a number.", kElevationLimit, read.elevation,
                    error))
        return false;
    read.elevationUnit = elevationUnit_->currentIndex() == 1
                             ? StationIdentity::ElevationUnit::Metres
                             : StationIdentity::ElevationUnit::Feet;
    out = read;
    return true;
}
