#pragma once

#include <QString>
#include <array>
#include <string>

// Helpers shared by the app tests.
namespace TestSupport {

// A data-logger record: "!!" and the twelve fields as four upper-case hex digits each.
std::string Record(const std::array<int, 12>& fields);

// Gives this test a settings file of its own (the application name is the
// test's name) and a fresh, empty working folder, made the current one;
// returns that folder.
QString IsolateTest();

// The settings file of the running test.
QString SettingsFile();

// Contents of a file, or an empty string.
std::string ReadAll(const QString& path);

}  // namespace TestSupport
