// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveSeed.h"

#include <string>
#include <system_error>

#include "SqliteError.h"

bool SeedFromArchive(DerivedTracker& derived, const std::filesystem::path& path,
                     const CalendarDate& today) {
    std::error_code missing;
    if (!std::filesystem::is_regular_file(path, missing)) return false;
    try {
        Archive archive(path, Archive::Access::Read);
        // The station's clock may run a day or so apart from the computer's.
        const std::string from = std::to_string(today.year - 1) + "-01-01";
        const std::string to = std::to_string(today.year + 1) + "-12-31";
        derived.SeedDays(archive.ReadDays(from, to));
        return true;
    } catch (const SqliteError&) {
        return false;  // the writer reports what is wrong with the file at its first point
    }
}
