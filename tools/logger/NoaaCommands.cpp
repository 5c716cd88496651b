// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoaaCommands.h"

#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

#include "ArchiveCommands.h"
#include "ClimateReports.h"
#include "NoaaFiles.h"
#include "ReplayRun.h"
#include "SqliteError.h"

namespace {
constexpr const char* kProgram = "nimbulo-logger: ";

int WriteAllFiles(ClimateReports& reports, std::ostream& out, std::ostream& err) {
    int failed = 0;
    const int written =
        NoaaFiles::WriteAll(reports, [&](const std::filesystem::path& file, int error) {
            if (error == 0) return;
            ++failed;
            err << kProgram << "cannot write '" << file.string() << "': " << std::strerror(error)
                << '\n';
        });
    out << "summaries written: " << written << "\n";
    return failed > 0 ? kExitWriteFailed : kExitOk;
}
}  // namespace

int RunNoaa(const LoggerOptions& options, std::ostream& out, std::ostream& err) {
    if (!std::filesystem::exists(Archive::kFileName)) {
        err << kProgram << "no archive " << Archive::kFileName << " in "
            << std::filesystem::current_path().string() << '\n';
        return kExitUsage;
    }
    try {
        Archive archive(Archive::kFileName, Archive::Access::Read);
        ClimateReports reports(archive, options.station, options.metric);
        if (options.noaaAll) return WriteAllFiles(reports, out, err);
        const std::string& period = options.noaaPeriod;
        const int year = std::stoi(period.substr(0, 4));
        const auto text = period.size() == 4 ? reports.YearText(year)
                                             : reports.MonthText(year, std::stoi(period.substr(5)));
        if (!text) {
            err << kProgram << "no data for " << period << " in " << Archive::kFileName << '\n';
            return kExitUsage;
        }
        out << *text;
        out.flush();
        return kExitOk;
    } catch (const SqliteError& error) {
        err << kProgram << "cannot read '" << Archive::kFileName << "': " << error.what() << '\n';
        return kExitUsage;
    }
}
