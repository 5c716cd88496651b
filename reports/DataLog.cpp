#include "DataLog.h"

#include "TextFormat.h"

std::string DataLogFileName(int year, const CalendarDate& date, int minuteOfDay) {
    return FormatText("%s/U2K%4d%2.2d%2.2d%2.2d%2.2d.txt", kDataLogDirectory, year, date.month,
                      date.day, minuteOfDay / 60, minuteOfDay % 60);
}

std::string DataLogDatePrefix(int year, const CalendarDate& date) {
    return FormatText("%4d/%2.2d/%2.2d ", year, date.month, date.day);
}

std::string DataLogLineText(const StationState& s) {
    const int m = s.raw.minuteOfDay;
    return FormatText("%2.2d:%2.2d\t%3.1f\t%2d\t%3.1f\t%3.1f\t%2.2f\t%2.1f\t%2.1f\t%3.2f", m / 60,
                      m % 60, s.windSpeedAvg, s.compassIndex, s.tempOutdoor, s.tempIndoor,
                      s.pressure, s.humidityOutdoor, s.humidityIndoor, s.rainToday);
}

bool DataLog::OpenDataLog(int year, const CalendarDate& date, int minuteOfDay) {
    logStream_.Close();
    logFileName_ = DataLogFileName(year, date, minuteOfDay);
    const bool opened = logStream_.Open(logFileName_, OutputFile::Mode::Append);
    // The header goes in each time, also into a file that exists already.
    if (opened) logStream_.WriteLine(kDataLogHeader);
    logDatePrefix_ = DataLogDatePrefix(year, date);
    return opened;
}

bool DataLog::AppendDataLogLine(const StationState& state) {
    if (!logStream_.IsOpen()) return false;
    return logStream_.WriteLine(logDatePrefix_ + DataLogLineText(state));
}
