// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "StationIdentity.h"

class QSettings;

// Group "Station" of the settings: Name, Latitude, Longitude, Elevation and
// ElevationUnit (ft or m), the keys the logger's --config reads too. Apart
// from SettingsStore, so that the history window's module reads them too.
namespace StationIdentitySettings {

// A file from before [Station] keeps the position in [Cwop]: read when
// [Station] has none. A position out of range, or half of one, is none.
StationIdentity Load(const QSettings& settings);
// Removes [Cwop]'s old position, which must not come back when [Station]'s is cleared.
void Save(QSettings& settings, const StationIdentity& station);

}  // namespace StationIdentitySettings
