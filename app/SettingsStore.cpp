// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsStore.h"

#include <QSettings>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "AlarmSettingsStore.h"
#include "PortConfig.h"
#include "StationIdentitySettings.h"

namespace {

int32_t ReadInt(const QSettings& settings, const QString& key, int32_t fallback) {
    bool ok = false;
    const qlonglong value = settings.value(key).toLongLong(&ok);
    if (!ok || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return fallback;
    return static_cast<int32_t>(value);
}

QString PlotItemKey(int index) {
    return QString::asprintf("PlotItem%d", index);
}

// A first run plots outdoor temperature, outdoor humidity and wind, so that the
// chart draws before anyone finds Options; once any item is stored, the
// stored values alone count.
PlotItemFlags PlotItemDefaults(const QSettings& settings) {
    for (int i = 0; i < kPlotItemCount; ++i)
        if (settings.contains(PlotItemKey(i))) return {};
    PlotItemFlags defaults{};
    for (int item : {0, 2, 5}) defaults[item] = 1;
    return defaults;
}

}  // namespace

SettingsStore::SettingsStore() : location_(SettingsLocation::OfRunningProgram()) {}

SettingsStore::SettingsStore(QString applicationName) : location_(std::move(applicationName)) {}

StationSettings SettingsStore::Load() const {
    const std::unique_ptr<QSettings> opened = location_.Open();
    QSettings& settings = *opened;
    settings.beginGroup(kSection);
    StationSettings loaded;
    loaded.comPort = ReadInt(settings, "ComPort", 1);
    const PlotItemFlags defaults = PlotItemDefaults(settings);
    for (int i = 0; i < kPlotItemCount; ++i)
        loaded.processing.plotItemEnabled[i] = ReadInt(settings, PlotItemKey(i), defaults[i]);
    loaded.processing.saveData = ReadInt(settings, "SaveStatus", 0);
    loaded.processing.units.units = ReadInt(settings, "Units", UnitSettings::kUs);
    loaded.processing.units.rainGauge =
        ReadInt(settings, "RainGauge", UnitSettings::kGaugeHundredthInch);
    loaded.x = ReadInt(settings, "x", -1);
    loaded.y = ReadInt(settings, "y", -1);
    loaded.staleAfterSeconds = std::max(1, ReadInt(settings, "StaleAfter", 10));
    return loaded;
}

void SettingsStore::Save(const StationSettings& stored) const {
    const std::unique_ptr<QSettings> opened = location_.Open();
    QSettings& settings = *opened;
    settings.beginGroup(kSection);
    settings.setValue("ComPort", stored.comPort);
    for (int i = 0; i < kPlotItemCount; ++i)
        settings.setValue(PlotItemKey(i), stored.processing.plotItemEnabled[i]);
    settings.setValue("SaveStatus", stored.processing.saveData);
    settings.setValue("Units", stored.processing.units.units);
    settings.setValue("RainGauge", stored.processing.units.rainGauge);
    settings.setValue("x", stored.x);
    settings.setValue("y", stored.y);
    settings.endGroup();
    settings.sync();
}

namespace {
std::chrono::seconds Seconds(const QSettings& settings, const char* key,
                             std::chrono::seconds fallback) {
    return std::chrono::seconds(std::max(1, ReadInt(settings, key, int32_t(fallback.count()))));
}

std::string Text(const QSettings& settings, const char* key, const std::string& fallback = "") {
    const QString value = settings.value(key).toString();
    return value.isEmpty() ? fallback : value.toStdString();
}

bool Enabled(const QSettings& settings) {
    return ReadInt(settings, "Enabled", 0) == 1;
}

void LoadMqtt(QSettings& settings, LiveOutputSettings& out) {
    settings.beginGroup("Mqtt");
    MqttOptions& options = out.mqtt;
    out.mqttOn = Enabled(settings);
    options.host = Text(settings, "Host");
    options.port = ReadInt(settings, "Port", options.port);
    options.prefix = Text(settings, "Prefix");
    options.stationId = Text(settings, "StationId", options.stationId);
    options.user = Text(settings, "User");
    options.passwordFile = Text(settings, "PasswordFile");
    options.caFile = Text(settings, "CaFile");
    // In seconds, as people write them; at least one.
    const int interval = ReadInt(settings, "StateInterval", 5);
    options.stateInterval = std::chrono::seconds(std::max(1, interval));
    settings.endGroup();
}

void LoadCwop(QSettings& settings, LiveOutputSettings& out) {
    settings.beginGroup("Cwop");
    CwopOptions& cwop = out.cwop;
    out.cwopOn = Enabled(settings);
    cwop.id = Text(settings, "Id");
    cwop.passcodeFile = Text(settings, "PasscodeFile");
    cwop.server = Text(settings, "Server", cwop.server);
    cwop.timing.interval = Seconds(settings, "Interval", cwop.timing.interval);
    settings.endGroup();
}

bool LoadStationUpload(QSettings& settings, const char* group, StationUploadOptions& station) {
    settings.beginGroup(group);
    const bool on = Enabled(settings);
    station.stationId = Text(settings, "StationId");
    station.keyFile = Text(settings, "KeyFile");
    station.url = Text(settings, "Url", station.url);
    station.timing.interval = Seconds(settings, "Interval", station.timing.interval);
    settings.endGroup();
    return on;
}

// The dialog's keys only: StateInterval and the upload URLs stay as the
// file has them.
void SaveStationUpload(QSettings& settings, const char* group, bool on,
                       const StationUploadOptions& station) {
    settings.beginGroup(group);
    settings.setValue("Enabled", on ? 1 : 0);
    settings.setValue("StationId", QString::fromStdString(station.stationId));
    settings.setValue("KeyFile", QString::fromStdString(station.keyFile));
    settings.setValue("Interval", qlonglong(station.timing.interval.count()));
    settings.endGroup();
}
}  // namespace

LiveOutputSettings SettingsStore::LoadLiveOutputSettings() const {
    const std::unique_ptr<QSettings> settings = location_.Open();
    LiveOutputSettings out;
    LoadMqtt(*settings, out);
    out.wxnowJson = ReadInt(*settings, QString(kSection) + "/WxnowJson", 0) == 1;
    LoadCwop(*settings, out);
    out.station = StationIdentitySettings::Load(*settings);
    out.cwop.havePosition = out.station.latitude && out.station.longitude;
    out.cwop.latitude = out.station.latitude.value_or(0.0);
    out.cwop.longitude = out.station.longitude.value_or(0.0);
    out.wundergroundOn = LoadStationUpload(*settings, "Wunderground", out.wunderground);
    out.pwsweatherOn = LoadStationUpload(*settings, "Pwsweather", out.pwsweather);
    settings->beginGroup("Web");
    out.web.enabled = Enabled(*settings);
    out.web.address = Text(*settings, "Address", out.web.address);
    out.web.port = ReadInt(*settings, "Port", out.web.port);
    settings->endGroup();
    LoadAlarmSettings(*settings, out.alarmsOn, out.alarms);
    return out;
}

void SettingsStore::SaveLiveOutputSettings(const LiveOutputSettings& stored) const {
    const std::unique_ptr<QSettings> opened = location_.Open();
    QSettings& settings = *opened;
    settings.beginGroup("Mqtt");
    const MqttOptions& mqtt = stored.mqtt;
    settings.setValue("Enabled", stored.mqttOn ? 1 : 0);
    settings.setValue("Host", QString::fromStdString(mqtt.host));
    settings.setValue("Port", mqtt.port);
    settings.setValue("StationId", QString::fromStdString(mqtt.stationId));
    settings.setValue("Prefix", QString::fromStdString(mqtt.prefix));
    settings.setValue("User", QString::fromStdString(mqtt.user));
    settings.setValue("PasswordFile", QString::fromStdString(mqtt.passwordFile));
    settings.setValue("CaFile", QString::fromStdString(mqtt.caFile));
    settings.endGroup();
    settings.setValue(QString(kSection) + "/WxnowJson", stored.wxnowJson ? 1 : 0);
    settings.beginGroup("Cwop");
    const CwopOptions& cwop = stored.cwop;
    settings.setValue("Enabled", stored.cwopOn ? 1 : 0);
    settings.setValue("Id", QString::fromStdString(cwop.id));
    settings.setValue("PasscodeFile", QString::fromStdString(cwop.passcodeFile));
    settings.setValue("Server", QString::fromStdString(cwop.server));
    settings.setValue("Interval", qlonglong(cwop.timing.interval.count()));
    settings.endGroup();
    SaveStationUpload(settings, "Wunderground", stored.wundergroundOn, stored.wunderground);
    SaveStationUpload(settings, "Pwsweather", stored.pwsweatherOn, stored.pwsweather);
    StationIdentitySettings::Save(settings, stored.station);
    settings.beginGroup("Web");
    settings.setValue("Enabled", stored.web.enabled ? 1 : 0);
    settings.setValue("Address", QString::fromStdString(stored.web.address));
    settings.setValue("Port", stored.web.port);
    settings.endGroup();
    SaveAlarmSettings(settings, stored.alarmsOn, stored.alarms);
    settings.sync();
}

StationIdentity SettingsStore::LoadStationIdentity() const {
    return StationIdentitySettings::Load(*location_.Open());
}

MqttOptions SettingsStore::LoadMqttOptions() const {
    const LiveOutputSettings settings = LoadLiveOutputSettings();
    return settings.mqttOn ? settings.mqtt : MqttOptions{};
}

bool SettingsStore::LoadWxnowJson() const {
    return LoadLiveOutputSettings().wxnowJson;
}

UploadOptions SettingsStore::LoadUploadOptions() const {
    const LiveOutputSettings settings = LoadLiveOutputSettings();
    UploadOptions options;
    if (settings.cwopOn) options.cwop = settings.cwop;
    if (settings.wundergroundOn) options.wunderground = settings.wunderground;
    if (settings.pwsweatherOn) options.pwsweather = settings.pwsweather;
    return options;
}

QString SettingsStore::DeviceForComPort(int comPort) const {
    return QString::fromStdString(PortConfig::DeviceFor(location_, comPort));
}

void SettingsStore::SetDeviceForComPort(int comPort, const QString& device) const {
    const std::unique_ptr<QSettings> settings = location_.Open();
    const QString key = PortConfig::SettingsKey(comPort);
    if (device.isEmpty())
        settings->remove(key);
    else
        settings->setValue(key, device);
    settings->sync();
}

QString SettingsStore::FileName() const {
    return location_.Open()->fileName();
}

bool SettingsStore::PositionOnScreen(int x, int y, QSize screen) {
    return x >= 0 && x < screen.width() && y >= 0 && y < screen.height();
}
