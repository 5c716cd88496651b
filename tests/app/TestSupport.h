// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>
#include <array>
#include <chrono>
#include <functional>
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

// Runs the event loop, as the program's exec() does, until done holds or
// limit passes; done is asked each time the loop has nothing left to do,
// so a state that lasts only a moment is seen. Unlike QTest::qWaitFor, which
// naps 10 ms between passes, it serves the serial monitor thread's hand-overs
// (one per byte) as they come: a record takes milliseconds, not half a
// second that grows past any bound on a loaded machine.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(30));

}  // namespace TestSupport
