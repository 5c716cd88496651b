// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// A fresh folder for one test, removed afterwards; optionally the working
// directory while the test runs.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "nimbulo-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() {
        if (!previous_.empty()) std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    void Enter() {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }

    std::filesystem::path Write(const std::string& name, const std::string& bytes) const {
        const auto file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};
