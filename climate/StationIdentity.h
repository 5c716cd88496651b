// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// Who and where the station is, as the summaries' heads name it: the
// position is the one the weather networks get (decimal degrees, north and
// east positive), the elevation is kept in the unit the owner gave it.
struct StationIdentity {
    enum class ElevationUnit { Feet, Metres };

    std::string name;
    std::optional<double> latitude;   // -90 .. 90
    std::optional<double> longitude;  // -180 .. 180
    std::optional<double> elevation;
    ElevationUnit elevationUnit = ElevationUnit::Feet;

    bool operator==(const StationIdentity&) const = default;
};

// "ft" or "m", as the settings and the summaries write the unit.
const char* ElevationUnitText(StationIdentity::ElevationUnit unit);
std::optional<StationIdentity::ElevationUnit> ParseElevationUnit(const std::string& text);
// "312ft", "312 ft", "95.5 m": the number and its unit into the identity;
// false (and nothing changed) for anything else.
bool ParseElevation(const std::string& text, StationIdentity& station);
// A decimal number, the whole text ("52.5", "-13"); none for anything else.
std::optional<double> ParseDecimal(const std::string& text);
// 52.50333 as "52° 30.20' N" (degrees and minutes; S and W for negatives).
std::string DegreesMinutesText(double degrees, char positive, char negative);
