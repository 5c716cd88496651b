// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

// The first line of a file holding a secret (a passcode, a station key),
// without its line end; nullopt when it is no regular file, cannot be read,
// or its first line is empty, with problem (when given) saying why in words.
// A FIFO or a device is never waited on. Secrets live in files so they are
// never on a command line or in a settings file.
std::optional<std::string> ReadSecretFile(const std::string& path, std::string* problem = nullptr);

// Empty when path names a secret file ReadSecretFile takes, else why not
// ("is a directory, not a regular file", "is empty", ...): what a settings
// window checks before it accepts a file.
std::string SecretFileProblem(const std::string& path);
