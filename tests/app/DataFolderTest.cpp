// SPDX-License-Identifier: GPL-3.0-or-later
// The data folder: ~/Nimbulo from the desktop menu, made on first use.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "DataFolder.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder; the test's working folder and HOME are restored after it.
class DataFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scratch_ = fs::temp_directory_path() / ("nimbulo-data-folder-" + std::to_string(getpid()));
        fs::create_directories(scratch_);
        start_ = fs::current_path();
        const char* home = std::getenv("HOME");
        home_ = home ? home : "";
    }
    void TearDown() override {
        fs::current_path(start_);
        setenv("HOME", home_.c_str(), 1);
        fs::remove_all(scratch_);
    }
    fs::path scratch_, start_;
    std::string home_;
};

TEST_F(DataFolderTest, TheDesktopFolderIsNimbuloInTheHomeFolder) {
    setenv("HOME", scratch_.c_str(), 1);
    EXPECT_EQ(DataFolder::DesktopDefault(), scratch_ / "Nimbulo");
}

TEST_F(DataFolderTest, MakesAMissingFolderWithItsParentsAndWorksInIt) {
    const fs::path folder = scratch_ / "home" / "Nimbulo";
    std::string error;
    ASSERT_TRUE(DataFolder::Enter(folder, error)) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(fs::current_path(), folder);
    // A second start finds it there.
    fs::current_path(start_);
    ASSERT_TRUE(DataFolder::Enter(folder, error)) << error;
    EXPECT_EQ(fs::current_path(), folder);
}

TEST_F(DataFolderTest, AFolderThatCannotBeMadeIsNamedAndTheWorkingFolderStays) {
    std::ofstream(scratch_ / "file") << "not a folder";
    const fs::path folder = scratch_ / "file" / "Nimbulo";
    std::string error;
    EXPECT_FALSE(DataFolder::Enter(folder, error));
    EXPECT_NE(error.find(folder.string()), std::string::npos) << error;
    EXPECT_EQ(fs::current_path(), start_);
}

}  // namespace
