// SPDX-License-Identifier: GPL-3.0-or-later
#include "AssetFolder.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
// A page's file is small: a folder named by mistake (NIMBULO_WEB_DIR=/tmp)
// must not pull an archive or a backup into memory.
constexpr std::uintmax_t kLargestAsset = 4 << 20;

const char* ContentType(const fs::path& file) {
    static const std::map<std::string, const char*> kTypes = {
        {".html", "text/html; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".mjs", "text/javascript; charset=utf-8"},
        {".json", "application/json"},
        {".svg", "image/svg+xml"},
        {".png", "image/png"},
        {".ico", "image/x-icon"},
        {".woff2", "font/woff2"},
        {".txt", "text/plain; charset=utf-8"},
    };
    const auto found = kTypes.find(file.extension().string());
    return found == kTypes.end() ? nullptr : found->second;
}

fs::path ProgramFolder() {
    std::error_code code;
    return fs::read_symlink("/proc/self/exe", code).parent_path();
}
}  // namespace

fs::path AssetFolder::Locate() {
    if (const char* named = std::getenv("NIMBULO_WEB_DIR"); named && *named) return named;
    // A program of the build folder serves the page being worked on.
    const fs::path program = ProgramFolder();
    const fs::path inBuild = program.lexically_relative(NIMBULO_BUILD_DIR);
    if (!program.empty() && !inBuild.empty() && *inBuild.begin() != "..")
        return fs::path(NIMBULO_SOURCE_DIR) / "web" / "assets";
    return (program / NIMBULO_WEB_DIR_FROM_BIN).lexically_normal();
}

fs::path AssetFolder::ChartLibrary() {
    for (const char* file : {"/usr/share/javascript/chart.js/chart.umd.js",
                             "/usr/share/javascript/chart.js/chart.min.js"})
        if (fs::is_regular_file(file)) return file;
    return {};
}

AssetFolder::AssetFolder(const fs::path& folder, const fs::path& chartLibrary) {
    std::error_code code;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
        // Only the folder's own files: no subfolders, no links out of it.
        if (it->is_symlink() || !it->is_regular_file()) continue;
        std::error_code sizeCode;
        if (!ContentType(it->path()) || it->file_size(sizeCode) > kLargestAsset) continue;
        Add(it->path().filename().string(), it->path());
    }
    if (!chartLibrary.empty()) Add("vendor/chart.js", chartLibrary);
}

void AssetFolder::Add(const std::string& name, const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream body;
    body << in.rdbuf();
    const char* type = ContentType(file);
    if (in && type) files_[name] = File{type, body.str()};
}

const AssetFolder::File* AssetFolder::Find(const std::string& name) const {
    const auto found = files_.find(name);
    return found == files_.end() ? nullptr : &found->second;
}
