// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveCommands.h"

#include <filesystem>
#include <ostream>

#include "Archive.h"
#include "ArchiveCsv.h"
#include "DataLogImport.h"
#include "SqliteError.h"

namespace {
constexpr const char* kProgram = "nimbulo-logger: ";
}

int RunImport(const LoggerOptions& options, std::ostream& out, std::ostream& err) {
    try {
        Archive archive(Archive::kFileName, Archive::Access::Write);
        DataLogImport import(
            archive, [&err](const std::string& message) { err << kProgram << message << '\n'; });
        for (const std::string& path : options.importPaths) import.ImportPath(path);
        const DataLogImport::Counts& counts = import.counts();
        out << "files read: " << counts.files << "\n"
            << "lines imported: " << counts.imported << "\n"
            << "lines already there: " << counts.present << "\n"
            << "lines rejected: " << counts.rejected << "\n"
            << "values left out: " << counts.valuesLeftOut << "\n";
        return counts.unreadable > 0 ? kExitUsage : kExitOk;
    } catch (const SqliteError& error) {
        err << kProgram << "cannot write '" << Archive::kFileName << "': " << error.what() << '\n';
        return kExitArchiveFailed;
    }
}

int RunExport(const LoggerOptions& options, std::ostream& out, std::ostream& err) {
    if (!std::filesystem::exists(Archive::kFileName)) {
        err << kProgram << "no archive " << Archive::kFileName << " in "
            << std::filesystem::current_path().string() << '\n';
        return kExitUsage;
    }
    try {
        Archive archive(Archive::kFileName, Archive::Access::Read);
        if (options.exportKind == "days")
            ArchiveCsv::WriteDays(archive, options.exportFrom, options.exportTo, out);
        else
            ArchiveCsv::WritePoints(archive, options.exportFrom, options.exportTo, out);
        out.flush();
        return kExitOk;
    } catch (const SqliteError& error) {
        err << kProgram << "cannot read '" << Archive::kFileName << "': " << error.what() << '\n';
        return kExitUsage;
    }
}
