// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <optional>
#include <string>

// A settings file in the INI format the station display writes ("[Group]"
// lines, "Key=value" lines, ";" or "#" comments, values that may be quoted
// with backslash escapes), read without Qt for the headless logger.
class ConfigFile {
  public:
    // false when the file cannot be read; error then says why.
    bool Load(const std::string& path, std::string& error);
    // The value of Key in [Group]; nullopt when it is not there.
    std::optional<std::string> Value(const std::string& group, const std::string& key) const;
    // Parses text already read (what Load does with the file's text).
    void Parse(const std::string& text);

  private:
    std::map<std::string, std::string> values_;  // "Group/Key" -> value
};
