// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>
#include <array>
#include <string>

class StationWindow;

// Helpers shared by the app tests, which all run in one offscreen QApplication
// with the settings under a temporary XDG_CONFIG_HOME.
namespace TestSupport {

// A data-logger record: "!!" and the twelve fields as four upper-case hex digits each.
std::string Record(const std::array<int, 12>& fields);

// Gives this test a settings file of its own (the application name is the
// test's name) and a fresh working folder, made the current one.
void IsolateTest();

QString SettingsFile();
void Store(const QString& key, const QVariant& value);
QString Text(const StationWindow& window, int id);
std::string ReadAll(const QString& path);

}  // namespace TestSupport
