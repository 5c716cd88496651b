// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// The first line of a file holding a secret (a passcode, a station key),
// without its line end; nullopt when the file cannot be read. Secrets live
// in files so they are never on a command line or in a settings file.
std::optional<std::string> ReadSecretFile(const std::string& path);
