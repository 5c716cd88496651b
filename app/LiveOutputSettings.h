// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmSettings.h"
#include "MqttOptions.h"
#include "StationIdentity.h"
#include "UploadOptions.h"
#include "WebSettings.h"

// Every live output's settings as the settings file holds them, each with
// its on/off switch ("Enabled"), so that an output switched off keeps what
// was entered for it. Secrets are only the paths of the files that hold them.
struct LiveOutputSettings {
    bool mqttOn = false;
    MqttOptions mqtt;
    bool wxnowJson = false;
    bool cwopOn = false;
    CwopOptions cwop;  // its position is the station's, kept in [Station]
    bool wundergroundOn = false;
    StationUploadOptions wunderground{"", "", kWundergroundUrl};
    bool pwsweatherOn = false;
    StationUploadOptions pwsweather{"", "", kPwsweatherUrl};
    // Group "Station": the name, position and elevation.
    StationIdentity station;
    WebSettings web;  // the [Web] group, Enabled among them
    bool alarmsOn = false;
    AlarmSettings alarms;
};
