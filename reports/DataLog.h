// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "CalendarDate.h"
#include "FileFaults.h"
#include "FivePointWriter.h"
#include "OutputFile.h"

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
// readings, with the average's compass point as the direction column.
std::string DataLogLineText(const FivePointValues& point);

// The tab-separated log of five-minute lines under OutputData, one file per
// station day (and per start of the program). A log that cannot be opened or
// written is tried again at every point; every attempt goes to the faults.
class DataLog : public FivePointWriter {
  public:
    static constexpr const char* kNotOpen = "NotOpen";

    explicit DataLog(FileFaults& faults) : faults_(faults) {}

    // Closes the previous log, opens (appending) the one named after the
    // arguments, writes the header and forms the date prefix. False when the
    // file could not be opened; the name and prefix are taken all the same.
    bool OpenDataLog(int year, const CalendarDate& date, int minuteOfDay);
    // Appends the point's line. When no log was opened for the point's day
    // (saving was off then), opens one first rather than lose the line or
    // give it another day's date; when the day's log failed to open, tries
    // that file again.
    void Write(const FivePointValues& point) override;
    // Writes the date prefix and the point's line, after the header if that
    // did not make it into the file. False when no log is open or the write
    // failed.
    bool AppendDataLogLine(const FivePointValues& point);

    bool IsOpen() const { return logStream_.IsOpen(); }
    // Whether the log was last opened for this day.
    bool IsForDay(int year, const CalendarDate& date) const {
        return year == year_ && date.month == date_.month && date.day == date_.day;
    }
    const std::string& logFileName() const { return logFileName_; }
    const std::string& logDatePrefix() const { return logDatePrefix_; }
    long filesOpened() const { return filesOpened_; }  // successful opens only

  private:
    bool OpenLogFile();
    bool WriteLine(std::string_view text);

    FileFaults& faults_;
    std::string logFileName_ = kNotOpen;
    std::string logDatePrefix_;
    OutputFile logStream_;
    int year_ = 0;
    CalendarDate date_{};
    long filesOpened_ = 0;
    bool headerPending_ = false;
};

// Makes OutputData when missing; a failure shows when the log cannot be opened.
void CreateDataLogDirectory();
