// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsStore.h"

#include <QSettings>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "PortConfig.h"

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

MqttOptions SettingsStore::LoadMqttOptions() const {
    const std::unique_ptr<QSettings> settings = location_.Open();
    settings->beginGroup("Mqtt");
    MqttOptions options;
    if (ReadInt(*settings, "Enabled", 0) != 1) return options;
    const auto text = [&settings](const char* key, const std::string& fallback) {
        const QString value = settings->value(key).toString();
        return value.isEmpty() ? fallback : value.toStdString();
    };
    options.host = text("Host", "");
    options.port = ReadInt(*settings, "Port", options.port);
    options.prefix = text("Prefix", "");
    options.stationId = text("StationId", options.stationId);
    options.user = text("User", "");
    options.passwordFile = text("PasswordFile", "");
    options.caFile = text("CaFile", "");
    // In seconds, as people write them; at least one.
    const int interval = ReadInt(*settings, "StateInterval", 5);
    options.stateInterval = std::chrono::seconds(std::max(1, interval));
    return options;
}

bool SettingsStore::LoadWxnowJson() const {
    const std::unique_ptr<QSettings> settings = location_.Open();
    return ReadInt(*settings, QString(kSection) + "/WxnowJson", 0) == 1;
}

namespace {
std::chrono::seconds Seconds(const QSettings& settings, const char* key,
                             std::chrono::seconds fallback) {
    return std::chrono::seconds(std::max(1, ReadInt(settings, key, int32_t(fallback.count()))));
}

void LoadStationUpload(QSettings& settings, const char* group, StationUploadOptions& station) {
    settings.beginGroup(group);
    if (ReadInt(settings, "Enabled", 0) == 1) {
        station.stationId = settings.value("StationId").toString().toStdString();
        station.keyFile = settings.value("KeyFile").toString().toStdString();
        const QString url = settings.value("Url").toString();
        if (!url.isEmpty()) station.url = url.toStdString();
        station.timing.interval = Seconds(settings, "Interval", station.timing.interval);
    }
    settings.endGroup();
}
}  // namespace

UploadOptions SettingsStore::LoadUploadOptions() const {
    const std::unique_ptr<QSettings> settings = location_.Open();
    UploadOptions options;
    settings->beginGroup("Cwop");
    if (ReadInt(*settings, "Enabled", 0) == 1) {
        CwopOptions& cwop = options.cwop;
        cwop.id = settings->value("Id").toString().toStdString();
        cwop.passcodeFile = settings->value("PasscodeFile").toString().toStdString();
        bool latitudeOk = false;
        bool longitudeOk = false;
        cwop.latitude = settings->value("Latitude").toDouble(&latitudeOk);
        cwop.longitude = settings->value("Longitude").toDouble(&longitudeOk);
        cwop.havePosition = latitudeOk && longitudeOk && std::abs(cwop.latitude) <= 90 &&
                            std::abs(cwop.longitude) <= 180;
        const QString server = settings->value("Server").toString();
        if (!server.isEmpty()) cwop.server = server.toStdString();
        cwop.timing.interval = Seconds(*settings, "Interval", cwop.timing.interval);
    }
    settings->endGroup();
    LoadStationUpload(*settings, "Wunderground", options.wunderground);
    LoadStationUpload(*settings, "Pwsweather", options.pwsweather);
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
