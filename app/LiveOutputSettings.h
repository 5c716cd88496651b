// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlarmSettings.h"
#include "MqttOptions.h"
#include "UploadOptions.h"

// Every live output's settings as the settings file holds them, each with
// its on/off switch ("Enabled"), so that an output switched off keeps what
// was entered for it. Secrets are only the paths of the files that hold them.
struct LiveOutputSettings {
    bool mqttOn = false;
    MqttOptions mqtt;
    bool wxnowJson = false;
    bool cwopOn = false;
    CwopOptions cwop;
    bool wundergroundOn = false;
    StationUploadOptions wunderground{"", "", kWundergroundUrl};
    bool pwsweatherOn = false;
    StationUploadOptions pwsweather{"", "", kPwsweatherUrl};
    bool alarmsOn = false;
    AlarmSettings alarms;
};
