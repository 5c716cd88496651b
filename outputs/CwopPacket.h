// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

#include "ReportValues.h"
#include "UploadOptions.h"
#include "WeatherObservation.h"

// What a CWOP station says to an APRS-IS server.

// True for a CWOP id (CW, DW, EW or FW and digits, in either case), which
// logs in with passcode -1.
bool IsCwopId(const std::string& id);

// True for the CWOP servers (cwop.aprs.net and the like), whose rules of
// timing apply: not at the five-minute marks, at least 300 s apart.
bool IsCwopServer(const std::string& server);

// How long after a five-minute point a station sends: a fixed offset of 30
// to 269 s derived from its id, so stations spread over the interval.
std::chrono::seconds CwopSendOffset(const std::string& id);

// The timing for the server: at CWOP's own, the interval at least 300 s, the
// send offset of the id and 300 s between sends; elsewhere as given.
UploadTiming CwopTiming(const CwopOptions& options);

// The id as APRS-IS takes it: upper case.
std::string CwopUpperCase(std::string id);

// "user ID pass PASSCODE vers Nimbulo VERSION" (no line end).
std::string AprsIsLogin(const std::string& id, const std::string& passcode,
                        const std::string& version);

// "DDMM.mmN/DDDMM.mmW" of decimal degrees, minutes rounded to hundredths.
std::string AprsPosition(double latitude, double longitude);

// The observation in the integers of the APRS weather fields, rounded to the
// nearest whole unit; a reading not there is 0 (-1 for the pressure).
ReportValues AprsValuesOf(const WeatherObservation& observation);

// "DIR/SPDgGUSTtTEMPrRRRp...PRRRhHHbBBBBB", each reading not there as dots.
std::string CwopWeatherFields(const WeatherObservation& observation);

// "ID>APRS,TCPIP*:@DDHHMMz" + position + "_" + the weather fields + our tag,
// the time in UTC (no line end).
std::string CwopPacket(const std::string& id, double latitude, double longitude,
                       const WeatherObservation& observation);
