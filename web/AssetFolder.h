// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

// The page's files, read once when the server starts: only the regular
// files of a page's kinds (html, css, js, svg, ...) of at most 4 MB found
// then in the assets folder (and Debian's chart library as
// vendor/chart.js) are ever served, from memory, so no request can name
// another file of the disk.
class AssetFolder {
  public:
    struct File {
        std::string contentType;
        std::string body;
    };

    // NIMBULO_WEB_DIR, else the source tree's web/assets when the program
    // runs from its build folder, else share/nimbulo/web under the install prefix.
    static std::filesystem::path Locate();
    // The chart library's file as the libjs-chart.js package ships it.
    static std::filesystem::path ChartLibrary();

    AssetFolder() = default;
    AssetFolder(const std::filesystem::path& folder, const std::filesystem::path& chartLibrary);

    // "index.html", "app.js", "vendor/chart.js"; none for any other name.
    const File* Find(const std::string& name) const;
    std::size_t size() const { return files_.size(); }

  private:
    void Add(const std::string& name, const std::filesystem::path& file);

    std::map<std::string, File> files_;
};
