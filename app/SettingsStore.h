// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QSize>
#include <QString>

#include "LiveOutputSettings.h"
#include "MqttOptions.h"
#include "SettingsLocation.h"
#include "StationIdentity.h"
#include "StationSettings.h"
#include "UploadOptions.h"

// The user's choices and the window position, in group "Settings" of the
// program's settings (SettingsLocation). Failures are silent; a missing or
// unreadable value gives its default.
class SettingsStore {
  public:
    static constexpr const char* kSection = "Settings";

    // Uses the running application's name.
    SettingsStore();
    explicit SettingsStore(QString applicationName);

    StationSettings Load() const;
    // Writes all thirteen values (the eleven of old, "Units" and "RainGauge") and flushes them.
    void Save(const StationSettings& settings) const;

    // The device that COMn opens (PortConfig).
    QString DeviceForComPort(int comPort) const;
    // Stores "Ports/COMn" at once (the port is opened by name when Read
    // Weather Data is pressed); an empty name removes it.
    void SetDeviceForComPort(int comPort, const QString& device) const;

    // Every live output's keys, switched on or not: what "Live outputs..."
    // shows; Save writes them (and only them) and flushes them at once.
    LiveOutputSettings LoadLiveOutputSettings() const;
    void SaveLiveOutputSettings(const LiveOutputSettings& settings) const;
    // Group "Mqtt": host empty (MQTT off) unless Enabled is 1.
    MqttOptions LoadMqttOptions() const;
    // "Settings/WxnowJson": 1 keeps wxnow.json beside the report files.
    bool LoadWxnowJson() const;
    // Groups "Cwop", "Wunderground" and "Pwsweather", each off unless its
    // Enabled is 1 (the keys the logger's --config reads too).
    UploadOptions LoadUploadOptions() const;

    // Group "Station" (StationIdentitySettings); SaveLiveOutputSettings writes it.
    StationIdentity LoadStationIdentity() const;

    QString FileName() const;
    // The settings themselves, for a window that keeps its own group.
    std::unique_ptr<QSettings> Open() const { return location_.Open(); }

    // Whether a stored top-left corner lies on a screen of this size.
    static bool PositionOnScreen(int x, int y, QSize screen);

  private:
    SettingsLocation location_;
};
