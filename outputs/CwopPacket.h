// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ReportValues.h"
#include "WeatherObservation.h"

// What a CWOP station says to an APRS-IS server.

// True for a CWOP id (CW, DW or EW and digits), which logs in with passcode -1.
bool IsCwopId(const std::string& id);

// "user ID pass PASSCODE vers Nimbulo VERSION" (no line end).
std::string AprsIsLogin(const std::string& id, const std::string& passcode,
                        const std::string& version);

// "DDMM.mmN/DDDMM.mmW" of decimal degrees, minutes rounded to hundredths.
std::string AprsPosition(double latitude, double longitude);

// The observation in the integers of the APRS weather fields; a reading not
// there takes the value the fields write as dots.
ReportValues AprsValuesOf(const WeatherObservation& observation);

// "ID>APRS,TCPIP*:@DDHHMMz" + position + "_" + the weather fields + our tag,
// the time in UTC (no line end).
std::string CwopPacket(const std::string& id, double latitude, double longitude,
                       const WeatherObservation& observation);
