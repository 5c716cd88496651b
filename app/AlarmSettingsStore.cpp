// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlarmSettingsStore.h"

namespace {
constexpr const char* kGroup = "Alarms";
}

void LoadAlarmSettings(QSettings& settings, bool& on, AlarmSettings& alarms) {
    settings.beginGroup(kGroup);
    on = settings.value("Enabled", 0).toInt() == 1;
    for (const std::string& key : AlarmSettingKeys()) {
        const QString name = QString::fromStdString(key);
        if (settings.contains(name))
            ApplyAlarmSetting(alarms, key, settings.value(name).toString().toStdString());
    }
    settings.endGroup();
}

void SaveAlarmSettings(QSettings& settings, bool on, const AlarmSettings& alarms) {
    settings.beginGroup(kGroup);
    settings.setValue("Enabled", on ? 1 : 0);
    for (const std::string& key : AlarmSettingKeys()) {
        settings.setValue(QString::fromStdString(key),
                          QString::fromStdString(AlarmSettingText(alarms, key)));
    }
    settings.endGroup();
}
