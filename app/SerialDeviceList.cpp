// SPDX-License-Identifier: GPL-3.0-or-later
#include "SerialDeviceList.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// ttyS2 before ttyS10.
bool NaturalLess(const std::string& a, const std::string& b) {
    const auto digits = [](const std::string& s) { return s.find_last_not_of("0123456789") + 1; };
    const std::size_t da = digits(a), db = digits(b);
    if (a.compare(0, da, b, 0, db) != 0 || da == a.size() || db == b.size()) return a < b;
    return std::strtol(a.c_str() + da, nullptr, 10) < std::strtol(b.c_str() + db, nullptr, 10);
}

std::vector<std::string> Matching(const fs::path& folder, const std::string& prefix) {
    std::vector<std::string> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            found.push_back(entry.path().string());
    std::sort(found.begin(), found.end(), NaturalLess);
    return found;
}

}  // namespace

std::vector<std::string> SerialDeviceList::Present(const fs::path& dev) {
    std::vector<std::string> devices = Matching(dev / "serial" / "by-id", "");
    for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        const std::vector<std::string> kind = Matching(dev, prefix);
        devices.insert(devices.end(), kind.begin(), kind.end());
    }
    return devices;
}

bool SerialDeviceList::UsbPresent(const fs::path& dev) {
    return !Matching(dev, "ttyUSB").empty() || !Matching(dev, "ttyACM").empty();
}
