// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// A settings file in the INI format the station display's settings (Qt's
// QSettings) write: "[Group]" lines, "Key=value" lines, ";" or "#" comment
// lines, LF or CRLF line ends. Values are read back as that writer wrote
// them: quotes and backslash escapes undone, a leading "@@" made "@".
// Read without Qt, for the headless logger.
class ConfigFile {
  public:
    // false when the file cannot be read or is no settings file (a
    // directory, a FIFO, binary data, a line that is no setting); error then
    // names the file and says why. Never waits on a FIFO.
    bool Load(const std::string& path, std::string& error);
    // True after a Load that failed because the file is not there.
    bool missing() const { return missing_; }
    // The value of Key in [Group]; nullopt when it is not there.
    std::optional<std::string> Value(const std::string& group, const std::string& key) const;
    // Parses text already read (what Load does with the file's text); false
    // with error saying which line is wrong.
    bool Parse(const std::string& text, std::string& error);

    // One value's text after its "=" as the settings writer's reader takes it.
    static std::string UnescapedValue(std::string_view raw);

  private:
    std::map<std::string, std::string> values_;  // "Group/Key" -> value
    bool missing_ = false;
};
