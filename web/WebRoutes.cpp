// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebRoutes.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <exception>
#include <optional>

#include "HistoryJson.h"

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Dot segments in any spelling: as sent, decoded, or still encoded after one
// decoding (sent twice encoded); a backslash or a NUL as well.
bool Climbs(const std::string& rawPath, const std::string& path) {
    const std::string decoded = Lower(path);
    for (const std::string* text : {&rawPath, &decoded})
        if (text->find("..") != std::string::npos) return true;
    return decoded.find("%2e") != std::string::npos || decoded.find("%2f") != std::string::npos ||
           decoded.find("%5c") != std::string::npos || decoded.find('\\') != std::string::npos ||
           decoded.find('\0') != std::string::npos;
}

bool IsRoute(const std::string& path) {
    static const char* const kExact[] = {
        "/", "/api/current", "/api/history", "/api/days", "/api/records", "/events", "/noaa/"};
    for (const char* exact : kExact)
        if (path == exact) return true;
    return StartsWith(path, "/assets/") || StartsWith(path, "/noaa/");
}

std::optional<CalendarDate> ParseDate(const std::string& text) {
    int year = 0, month = 0, day = 0;
    char rest = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &rest) != 3)
        return std::nullopt;
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(month, year))
        return std::nullopt;
    CalendarDate date;
    date.FromDate(month, day, year);
    return date;
}

std::optional<int> ParseWhole(const std::string& text) {
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// from and to: both given, or the archive's latest day for a missing one.
struct Period {
    CalendarDate from, to;
    std::string error;
};
Period ReadPeriod(const std::map<std::string, std::string>& query, HistorySource& source) {
    Period period;
    CalendarDate latest = CalendarDate::Today();
    if (const auto newest = source.Latest()) latest = DateOfStationMinute(*newest);
    period.to = latest;
    if (auto it = query.find("to"); it != query.end()) {
        const auto to = ParseDate(it->second);
        if (!to) return {{}, {}, "to needs a date YYYY-MM-DD"};
        period.to = *to;
    }
    period.from = period.to;
    if (auto it = query.find("from"); it != query.end()) {
        const auto from = ParseDate(it->second);
        if (!from) return {{}, {}, "from needs a date YYYY-MM-DD"};
        period.from = *from;
    }
    if (period.from.ComputeDayNumber() > period.to.ComputeDayNumber())
        return {{}, {}, "from must not come after to"};
    return period;
}

}  // namespace

WebRoutes::WebRoutes(LiveStore& live, AssetFolder assets, HistoryOpener openHistory,
                     SummarySource* summaries)
    : live_(live),
      assets_(std::move(assets)),
      openHistory_(std::move(openHistory)),
      summaries_(summaries) {}

WebAnswer WebRoutes::Check(const std::string& method, const std::string& rawPath,
                           const std::string& path) {
    if (Climbs(rawPath, path)) return WebAnswer::Error(400, "the path leaves the page's folder");
    if (!IsRoute(path)) return WebAnswer::Error(404, "no such page");
    if (method != "GET" && method != "HEAD")
        return WebAnswer::Error(405, "only GET and HEAD are answered");
    return {0, {}, {}, false};
}

WebAnswer WebRoutes::Answer(const std::string& method, const std::string& rawPath,
                            const std::string& path,
                            const std::map<std::string, std::string>& query) {
    if (WebAnswer refused = Check(method, rawPath, path); refused.status != 0) return refused;
    if (path == "/" || StartsWith(path, "/assets/")) {
        const std::string name = path == "/" ? "index.html" : path.substr(8);
        const AssetFolder::File* file = assets_.Find(name);
        if (!file) return WebAnswer::Error(404, "no such file");
        return {200, file->contentType, file->body, true};
    }
    if (path == "/api/current") return {200, "application/json", live_.CurrentJson(), false};
    if (StartsWith(path, "/noaa/")) return Summary(path);
    if (path == "/events") return WebAnswer::Error(404, "no such page");  // the server's own
    return ArchiveAnswer(path, query);
}

WebAnswer WebRoutes::ArchiveAnswer(const std::string& path,
                                   const std::map<std::string, std::string>& query) {
    std::lock_guard<std::mutex> lock(archiveMutex_);
    try {
        if (!history_ && openHistory_) history_ = openHistory_();
        if (!history_) return WebAnswer::Error(503, "there is no archive");
        if (path == "/api/records") {
            CalendarDate today = CalendarDate::Today();
            if (const auto newest = history_->Latest()) today = DateOfStationMinute(*newest);
            return {200, "application/json", HistoryJson::Records(*history_, today), false};
        }
        const Period period = ReadPeriod(query, *history_);
        if (!period.error.empty()) return WebAnswer::Error(400, period.error);
        if (path == "/api/days")
            return {200, "application/json", HistoryJson::Days(*history_, period.from, period.to),
                    false};
        int buckets = 500;
        if (auto it = query.find("buckets"); it != query.end()) {
            const auto n = ParseWhole(it->second);
            if (!n || *n < 1 || *n > kMaxBuckets)
                return WebAnswer::Error(400, "buckets needs a whole number from 1 to 2000");
            buckets = *n;
        }
        return {200, "application/json",
                HistoryJson::History(*history_, period.from, period.to, buckets), false};
    } catch (const std::exception&) {
        // The reason may name the file: not for the network. Opened again next time.
        history_.reset();
        return WebAnswer::Error(503, "the archive cannot be read just now");
    }
}

WebAnswer WebRoutes::Summary(const std::string& path) {
    if (!summaries_) return WebAnswer::Error(404, "there are no climate summaries");
    std::lock_guard<std::mutex> lock(summariesMutex_);
    const std::string name = path.substr(6);
    const auto text = [](std::optional<std::string> body) {
        if (!body) return WebAnswer::Error(404, "no summary for that period");
        return WebAnswer{200, "text/plain; charset=utf-8", std::move(*body), false};
    };
    int year = 0, month = 0;
    char rest = 0;
    if (name.size() == 11 && std::sscanf(name.c_str(), "%4d-%2d.tx%c", &year, &month, &rest) == 3 &&
        rest == 't' && name[4] == '-' && month >= 1 && month <= 12)
        return text(summaries_->MonthText(year, month));
    if (name.size() == 8 && std::sscanf(name.c_str(), "%4d.tx%c", &year, &rest) == 2 &&
        rest == 't' && year >= 1)
        return text(summaries_->YearText(year));
    if (!name.empty()) return WebAnswer::Error(404, "no such summary");
    const auto months = summaries_->MonthsWithData();
    if (!months) return WebAnswer::Error(404, "no summary for any period");
    // A plain list of links: the years, then each year's months.
    std::string body =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<title>Climate summaries</title></head><body>\n<h1>Climate summaries</h1>\n<ul>\n";
    int lastYear = 0;
    char line[96];
    for (const SummarySource::Month& m : *months) {
        if (m.year != lastYear) {
            if (lastYear != 0) body += "</ul></li>\n";
            std::snprintf(line, sizeof line, "<li><a href=\"%04d.txt\">%04d</a>\n<ul>\n", m.year,
                          m.year);
            body += line;
            lastYear = m.year;
        }
        std::snprintf(line, sizeof line, "<li><a href=\"%04d-%02d.txt\">%04d-%02d</a></li>\n",
                      m.year, m.month, m.year, m.month);
        body += line;
    }
    if (lastYear != 0) body += "</ul></li>\n";
    body += "</ul>\n</body></html>\n";
    return {200, "text/html; charset=utf-8", body, false};
}
