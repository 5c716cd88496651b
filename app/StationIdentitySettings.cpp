// SPDX-License-Identifier: GPL-3.0-or-later
#include "StationIdentitySettings.h"

#include <QSettings>
#include <cmath>
#include <optional>
#include <utility>

namespace StationIdentitySettings {

namespace {
std::optional<double> Number(const QSettings& settings, const QString& key, double limit) {
    bool ok = false;
    const double value = settings.value(key).toDouble(&ok);
    return ok && std::isfinite(value) && std::abs(value) <= limit ? std::optional(value)
                                                                  : std::nullopt;
}
}  // namespace

StationIdentity Load(const QSettings& settings) {
    StationIdentity station;
    station.name = settings.value("Station/Name").toString().toStdString();
    for (const char* group : {"Station", "Cwop"}) {
        const QString latitudeKey = QString(group) + "/Latitude";
        const QString longitudeKey = QString(group) + "/Longitude";
        if (!settings.contains(latitudeKey) && !settings.contains(longitudeKey)) continue;
        const auto latitude = Number(settings, latitudeKey, 90);
        const auto longitude = Number(settings, longitudeKey, 180);
        if (latitude && longitude) {
            station.latitude = latitude;
            station.longitude = longitude;
        }
        break;
    }
    station.elevation = Number(settings, "Station/Elevation", HUGE_VAL);
    station.elevationUnit =
        ParseElevationUnit(settings.value("Station/ElevationUnit").toString().toStdString())
            .value_or(StationIdentity::ElevationUnit::Feet);
    return station;
}

void Save(QSettings& settings, const StationIdentity& station) {
    settings.beginGroup("Station");
    settings.setValue("Name", QString::fromStdString(station.name));
    for (const auto& [key, value] :
         {std::pair{"Latitude", station.latitude}, std::pair{"Longitude", station.longitude},
          std::pair{"Elevation", station.elevation}}) {
        if (value)
            settings.setValue(key, *value);
        else
            settings.remove(key);
    }
    settings.setValue("ElevationUnit", ElevationUnitText(station.elevationUnit));
    settings.endGroup();
    settings.remove("Cwop/Latitude");
    settings.remove("Cwop/Longitude");
}

}  // namespace StationIdentitySettings
