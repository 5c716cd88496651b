// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "WeatherObservation.h"

// The query of the personal weather station upload that Weather Underground
// and PWSweather share: ID, PASSWORD, dateutc, the readings there are,
// softwaretype and action=updateraw, every value URL-encoded.
std::string StationUploadQuery(const std::string& stationId, const std::string& key,
                               const WeatherObservation& observation,
                               const std::string& softwareVersion);

// Percent-encodes everything but letters, digits and "-._~".
std::string UrlEncode(const std::string& text);
