// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "CalendarDate.h"
#include "OutputFile.h"
#include "StationState.h"

inline constexpr const char* kDataLogDirectory = "OutputData";
inline constexpr const char* kDataLogHeader =
    "DateTime\tWindSpeedAvg\tWindDirAvg\tTempOutdoor\tTempIndoor\tPressure\t"
    "HumidityOutdoor\tHumidityIndoor\tRainTodaysTotal";

// "OutputData/U2K200212051437.txt": year, month, day, hour and minute of the
// record that opens the log.
std::string DataLogFileName(int year, const CalendarDate& date, int minuteOfDay);
// "2002/12/05 ": the date put in front of every line of one log.
std::string DataLogDatePrefix(int year, const CalendarDate& date);
// One five-minute line after the date prefix: time, then the tab-separated
// readings, with compassIndex as the direction column.
std::string DataLogLineText(const StationState& state);

// The tab-separated log of five-minute lines under OutputData, one file per
// station day (and per start of the program).
class DataLog {
  public:
    static constexpr const char* kNotOpen = "NotOpen";

    // Closes the previous log, opens (appending) the one named after the
    // arguments, writes the header and forms the date prefix. False when the
    // file could not be opened; the name and prefix are taken all the same.
    bool OpenDataLog(int year, const CalendarDate& date, int minuteOfDay);
    // Writes the date prefix and the line for the current readings. False when
    // no log is open or the write failed.
    bool AppendDataLogLine(const StationState& state);

    bool IsOpen() const { return logStream_.IsOpen(); }
    // Whether the log was last opened for this day.
    bool IsForDay(int year, const CalendarDate& date) const {
        return year == year_ && date.month == date_.month && date.day == date_.day;
    }
    const std::string& logFileName() const { return logFileName_; }
    const std::string& logDatePrefix() const { return logDatePrefix_; }

  private:
    std::string logFileName_ = kNotOpen;
    std::string logDatePrefix_;
    OutputFile logStream_;
    int year_ = 0;
    CalendarDate date_{};
};
