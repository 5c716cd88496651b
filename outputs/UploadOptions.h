// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

inline constexpr const char* kDefaultAprsServer = "cwop.aprs.net:14580";
inline constexpr const char* kWundergroundUrl =
    "https://weatherstation.wunderground.com/weatherstation/updateweatherstation.php";
inline constexpr const char* kPwsweatherUrl = "https://pwsupdate.pwsweather.com/api/v1/submitwx";

// When an uploader may try: at most once per interval, and after a failed
// try a pause that doubles up to a cap, so a network that is down is asked
// a few times an hour, not at every point.
struct UploadTiming {
    std::chrono::seconds interval{600};
    std::chrono::seconds firstRetryPause{300};
    std::chrono::seconds maxRetryPause{3600};
    std::chrono::milliseconds connectTimeout{10000};
    std::chrono::milliseconds totalTimeout{20000};  // connection, login and answer
    // A point taken is sent this long after it came, and never sooner than
    // minSpacing after the send before (CWOP's servers ask both of stations).
    std::chrono::seconds sendDelay{0};
    std::chrono::seconds minSpacing{0};
};

// CWOP over APRS-IS: off while id is empty.
struct CwopOptions {
    std::string id;            // a CWOP id (CW1234) or a ham call sign
    std::string passcodeFile;  // a ham call's passcode; not needed for CWOP ids
    double latitude = 0.0;     // decimal degrees, north and east positive
    double longitude = 0.0;
    bool havePosition = false;
    std::string server = kDefaultAprsServer;  // host:port
    UploadTiming timing{};
};

// Weather Underground or PWSweather (one protocol): off while stationId is empty.
struct StationUploadOptions {
    std::string stationId;
    std::string keyFile;  // its first line is the station key
    std::string url;
    UploadTiming timing{std::chrono::seconds(300)};
};

// Every network upload a program runs.
struct UploadOptions {
    CwopOptions cwop;
    StationUploadOptions wunderground{"", "", kWundergroundUrl};
    StationUploadOptions pwsweather{"", "", kPwsweatherUrl};
    std::string softwareVersion;  // sent in the APRS-IS login and softwaretype
};
