#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OutputFile.h"
#include "ReportsTestSupport.h"

using reports_test::ReadFile;
using reports_test::ScopedWorkDir;
using reports_test::WriteFile;

namespace {

TEST(OutputFile, RewriteReplacesLongerContentWhole) {
    ScopedWorkDir dir;
    WriteFile("r.txt", std::string(4096, 'z'));
    OutputFile file;
    ASSERT_TRUE(file.Open("r.txt", OutputFile::Mode::Rewrite));
    ASSERT_TRUE(file.WriteLine("ab"));
    file.Close();
    EXPECT_EQ(ReadFile("r.txt"), "ab\r\n");
}

TEST(OutputFile, RewriteOverShorterContentLeavesOnlyTheNewLines) {
    ScopedWorkDir dir;
    WriteFile("r.txt", "x");
    OutputFile file;
    ASSERT_TRUE(file.Open("r.txt", OutputFile::Mode::Rewrite));
    const std::vector<std::string> lines = {"one", "", "three"};
    ASSERT_TRUE(file.WriteLines(lines));
    file.Close();
    EXPECT_EQ(ReadFile("r.txt"), "one\r\n\r\nthree\r\n");
}

TEST(OutputFile, AppendKeepsWhatWasThereAndEachLineIsInTheFileAtOnce) {
    ScopedWorkDir dir;
    WriteFile("a.txt", "old\r\n");
    OutputFile file;
    ASSERT_TRUE(file.Open("a.txt", OutputFile::Mode::Append));
    ASSERT_TRUE(file.WriteLine("new"));
    EXPECT_EQ(ReadFile("a.txt"), "old\r\nnew\r\n");  // still open
    file.Close();
}

TEST(OutputFile, WritesManyLinesInOrder) {
    ScopedWorkDir dir;
    std::vector<std::string> lines;
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        lines.push_back(std::string(static_cast<std::size_t>(i), 'a' + i % 26));
        expected += lines.back() + "\r\n";
    }
    OutputFile file;
    ASSERT_TRUE(file.Open("m.txt", OutputFile::Mode::Rewrite));
    ASSERT_TRUE(file.WriteLines(lines));
    file.Close();
    EXPECT_EQ(ReadFile("m.txt"), expected);
}

TEST(OutputFile, RefusesWritesWhenNotOpen) {
    ScopedWorkDir dir;
    OutputFile file;
    EXPECT_FALSE(file.Open("missing-dir/f.txt", OutputFile::Mode::Append));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.WriteLine("x"));
    file.Close();  // harmless
}

}  // namespace
