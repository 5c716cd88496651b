// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsLocation.h"

#include <QCoreApplication>
#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <utility>

SettingsLocation::SettingsLocation(QString applicationName)
    : applicationName_(std::move(applicationName)) {}

SettingsLocation SettingsLocation::OfRunningProgram() {
    return SettingsLocation(QCoreApplication::applicationName());
}

SettingsLocation SettingsLocation::OfProgramPath(const std::string& programPath) {
    return SettingsLocation(
        QString::fromStdString(std::filesystem::path(programPath).stem().string()));
}

std::unique_ptr<QSettings> SettingsLocation::Open() const {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(kOrganisation), applicationName_);
}

QString SettingsLocation::FileFromEnvironment() const {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const QString folder =
        config && *config ? QString::fromLocal8Bit(config)
                          : QString::fromLocal8Bit(home ? home : "") + QStringLiteral("/.config");
    return folder + '/' + QString::fromLatin1(kOrganisation) + '/' + applicationName_ +
           QStringLiteral(".conf");
}
