// SPDX-License-Identifier: GPL-3.0-or-later
// An archive the logger cannot write: the text files are written all the
// same, the fault is told, and the file is left exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>

#include "ArchiveTestSupport.h"
#include "ReportsTestSupport.h"
#include "SqliteDatabase.h"
#include "ToolRunner.h"

namespace {
using reports_test::ReadFile;
using reports_test::WriteFile;

constexpr uid_t kNobody = 65534;

struct FaultCase {
    const char* name;
    std::function<void(const std::string& db)> make;
    const char* cause;
    bool readOnly = false;  // run as another user when root, whom nothing stops
};

void MakeDatabase(const std::string& db, const char* sql) {
    SqliteDatabase(db, SqliteDatabase::Mode::ReadWriteCreate).Execute(sql);
}

// Enough rows that the last page holds points, not the schema.
const std::vector<ArchivePoint> kSomePoints = [] {
    std::vector<ArchivePoint> points(400);
    for (std::size_t k = 0; k < points.size(); ++k) {
        points[k].date = "2002-12-0" + std::to_string(1 + k / 288);
        points[k].time = ArchiveTimeText(int(k % 288) * 5);
        points[k].values[ArchiveColumns::kTempOutdoor] = 40.0 + double(k % 30);
    }
    return points;
}();

const FaultCase kCases[] = {
    {"ReadOnlyArchive",
     [](const std::string& db) {
         Archive(db, Archive::Access::Write);
         chmod(db.c_str(), 0444);
     },
     "read-only", true},
    {"NotASqliteFile",
     [](const std::string& db) { WriteFile(db, std::string(5000, 'x') + "\nmy station notes\n"); },
     "not a database"},
    {"NewerSchema",
     [](const std::string& db) {
         MakeDatabase(db, "CREATE TABLE points (x); PRAGMA user_version = 3");
     },
     "newer version"},
    {"AnotherProgramsDatabase",
     [](const std::string& db) { MakeDatabase(db, "CREATE TABLE recipes (name TEXT)"); },
     "another program"},
    {"DamagedArchive",
     [](const std::string& db) {
         Archive(db, Archive::Access::Write);
         std::string bytes = ReadFile(db);
         bytes.replace(100, bytes.size() - 100, bytes.size() - 100, '\xA5');
         WriteFile(db, bytes);
     },
     "malformed"},
    // Not in WAL: switching it would change bytes 18 and 19 before any check.
    {"AnotherProgramsDatabaseOfOurVersion",
     [](const std::string& db) {
         MakeDatabase(db, "CREATE TABLE recipes (name TEXT); PRAGMA user_version = 1");
     },
     "another program"},
    {"DamagedArchiveWithARollbackJournal",
     [](const std::string& db) {
         { Archive(db, Archive::Access::Write).Write(kSomePoints, {}); }
         MakeDatabase(db, "PRAGMA journal_mode=DELETE");
         std::string bytes = ReadFile(db);
         bytes.replace(bytes.size() - 1024, 1024, 1024, '\xA5');
         WriteFile(db, bytes);
     },
     "malformed"},
};

class ArchiveFault : public ToolRunner, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ArchiveFault, LeavesTheFileAsItWasAndTheDataLogsComplete) {
    const std::string recording = NIMBULO_SOURCE_DIR "/tests/data/multiday/recording.txt";
    const std::string clean = work + "/clean";
    std::filesystem::create_directory(clean);
    Start("logger", {"--replay", recording, "--year", "2002", "--data-dir", clean});
    ASSERT_EQ(Wait("logger", std::chrono::seconds(30)), 0);

    const std::string db = work + "/nimbulo.db";
    GetParam().make(db);
    const std::string before = ReadFile(db);
    const bool otherUser = GetParam().readOnly && getuid() == 0;
    // The other user may not reach the checkout (a 0700 home folder), so it
    // reads a copy in the scratch folder.
    const std::string reachable = work + "/recording.txt";
    std::filesystem::copy_file(recording, reachable);
    if (otherUser) chmod(work.c_str(), 0777);
    Start("logger", {"--replay", reachable, "--year", "2002"}, {}, otherUser ? kNobody : uid_t(-1));

    EXPECT_EQ(Wait("logger", std::chrono::seconds(30)), 4) << "failed writes";
    const std::string err = Err("logger");
    EXPECT_NE(err.find("cannot write 'nimbulo.db': "), std::string::npos) << err;
    EXPECT_NE(err.find(GetParam().cause), std::string::npos) << err;
    EXPECT_EQ(ReadFile(db), before);
    EXPECT_EQ(archive_test::DataLogLines(work), archive_test::DataLogLines(clean));
}

INSTANTIATE_TEST_SUITE_P(Faults, ArchiveFault, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
