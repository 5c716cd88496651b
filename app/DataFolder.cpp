// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataFolder.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace DataFolder {

fs::path DesktopDefault() {
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / "Nimbulo";
}

bool Enter(const fs::path& folder, std::string& error) {
    std::error_code code;
    fs::create_directories(folder, code);
    if (!code) fs::current_path(folder, code);
    if (code) {
        error = "cannot work in " + folder.string() + ": " + code.message();
        return false;
    }
    return true;
}

}  // namespace DataFolder
