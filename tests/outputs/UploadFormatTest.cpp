// SPDX-License-Identifier: GPL-3.0-or-later
// What the networks are sent, and when: positions, ids, the schedule.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>

#include "../core/TempDir.h"
#include "CwopPacket.h"
#include "FixedFormat.h"
#include "JsonObject.h"
#include "SecretFile.h"
#include "ServerAnswer.h"
#include "StationUploadQuery.h"
#include "TextFormat.h"
#include "UploadSchedule.h"
#include "UploadWorker.h"

namespace {
struct PositionCase {
    double latitude, longitude;
    const char* text;
};
}  // namespace

TEST(AprsPosition, WritesDegreesAndMinutesWithHemispheresAndRoundsUpIntoTheNextDegree) {
    const PositionCase cases[] = {
        {49.058333, -72.029167, "4903.50N/07201.75W"},  {0.0, 0.0, "0000.00N/00000.00E"},
        {-33.8688, 151.2093, "3352.13S/15112.56E"},     {5.5, -0.25, "0530.00N/00015.00W"},
        {42.99999, -71.99999, "4300.00N/07200.00W"},  // 59.9994 minutes: the next degree
        {-89.999999, 179.999999, "9000.00S/18000.00E"},
    };
    for (const PositionCase& c : cases) {
        EXPECT_EQ(AprsPosition(c.latitude, c.longitude), c.text)
            << c.latitude << "," << c.longitude;
    }
}

TEST(CwopId, IsCwDwEwOrFwAndDigitsOnlyInEitherCase) {
    for (const char* id : {"CW1234", "DW9999", "EW0001", "CW1", "FW1234", "cw1234"}) {
        EXPECT_TRUE(IsCwopId(id)) << id;
    }
    for (const char* id : {"N0CALL", "CW", "CW12A", "GW1234", ""}) {
        EXPECT_FALSE(IsCwopId(id)) << id;
    }
    EXPECT_EQ(AprsIsLogin("fw1234", "-1", "1.0"), "user FW1234 pass -1 vers Nimbulo 1.0");
    EXPECT_EQ(CwopPacket("cw1", 0, 0, {}).rfind("CW1>APRS", 0), 0u);
}

TEST(AprsValues, AMissingHumidityAndPressureAreWrittenAsDots) {
    WeatherObservation o;
    o.temperature = -4.6;
    EXPECT_EQ(AprsValuesOf(o).humidity, 0);
    EXPECT_EQ(AprsValuesOf(o).pressure, -1);
    EXPECT_EQ(AprsValuesOf(o).temperature, -5);  // CWOP's nearest degree
}

// CWOP rounds to the nearest unit, below zero too, and writes dots for
// every reading the station did not send.
TEST(CwopWeatherFields, RoundToTheNearestUnitAndWriteDotsForWhatIsAbsent) {
    WeatherObservation full;
    full.windDirection = 180;
    full.windSpeed = 5.6;
    full.windGust = 12.4;
    full.temperature = -4.0;
    full.rainLastHour = 0.034;
    full.rainToday = 0.12;
    full.humidity = 100;
    full.pressure = 29.92;
    WeatherObservation cold = full;
    cold.temperature = -3.5;
    WeatherObservation noTemperature = full;
    noTemperature.temperature.reset();
    const std::pair<WeatherObservation, const char*> cases[] = {
        {full, "180/006g012t-04r003p...P012h00b10132"},
        {cold, "180/006g012t-04r003p...P012h00b10132"},
        {noTemperature, "180/006g012t...r003p...P012h00b10132"},
        {WeatherObservation{}, ".../...g...t...r...p...P...h..b....."},
    };
    for (const auto& [o, fields] : cases) EXPECT_EQ(CwopWeatherFields(o), fields);
}

// CWOP's servers get packets off the five-minute marks, at least 300 s
// apart; a server of one's own gets the timing as given.
TEST(CwopTiming, OffTheMarksAndSpacedOnlyAtCwopsServers) {
    using namespace std::chrono_literals;
    CwopOptions cwop;
    cwop.id = "CW1234";
    cwop.timing.interval = 60s;
    const UploadTiming atCwop = CwopTiming(cwop);
    EXPECT_EQ(atCwop.interval, 300s);
    EXPECT_EQ(atCwop.minSpacing, 300s);
    EXPECT_EQ(atCwop.sendDelay, CwopSendOffset("cw1234"));
    std::set<long> offsets;
    for (const char* id : {"CW1234", "CW1235", "DW0001", "EW9999", "FW0420", "N0CALL"}) {
        const auto offset = CwopSendOffset(id);
        EXPECT_GE(offset, 30s) << id;
        EXPECT_LT(offset, 270s) << id;
        offsets.insert(offset.count());
    }
    EXPECT_GE(offsets.size(), 5u) << "ids spread over the interval";
    cwop.server = "127.0.0.1:14580";
    const UploadTiming own = CwopTiming(cwop);
    EXPECT_EQ(own.interval, 60s);
    EXPECT_EQ(own.sendDelay, 0s);
    EXPECT_EQ(own.minSpacing, 0s);
}

// Under a real comma locale (the window runs in the user's) every number
// that goes out still has a point.
TEST(CommaLocale, NumbersGoOutWithAPoint) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "scripts/setup generates de_DE.UTF-8";
    ASSERT_EQ(std::to_string(2.5), "2,500000") << "printf itself writes the comma";
    const std::string printed = FormatText("%.1f", 2.5);
    WeatherObservation o;
    o.temperature = 2.0;
    o.pressure = 29.938;
    o.rainToday = 0.125;
    o.windSpeed = 5.25;  // a tie: printf's own rounding
    char text[kFixedFormatMax];
    const std::string tie(text, FormatFixed(text, 0.125, 2));
    const std::string query = StationUploadQuery("K1", "key", o, "1.0");
    const std::string json = JsonObject().AddNumber("a", 0.125, 2).AddNumber("b", 5.25, 1).Text();
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(printed, "2.5");
    EXPECT_EQ(tie, "0.12");
    EXPECT_NE(query.find("tempf=2.0&"), std::string::npos) << query;
    EXPECT_NE(query.find("baromin=29.938&"), std::string::npos) << query;
    EXPECT_NE(query.find("dailyrainin=0.12&"), std::string::npos) << query;
    EXPECT_EQ(json, "{\"a\":0.12,\"b\":5.2}");
}

TEST(UploadSchedule, TakesOnePointPerIntervalAndPausesLongerAfterEachFailure) {
    using namespace std::chrono_literals;
    using T = UploadSchedule::Clock::time_point;
    UploadTiming timing;
    timing.interval = 600s;
    timing.firstRetryPause = 900s;
    timing.maxRetryPause = 1800s;
    UploadSchedule s(timing);
    const T t0{};
    ASSERT_TRUE(s.Due(t0));
    s.Took(t0);
    EXPECT_FALSE(s.Due(t0 + 300s)) << "a try under way";
    s.Succeeded();
    EXPECT_FALSE(s.Due(t0 + 300s));
    EXPECT_TRUE(s.Due(t0 + 598s)) << "a point a little early still counts";
    s.Took(t0 + 600s);
    s.Failed();
    EXPECT_FALSE(s.Due(t0 + 1200s));
    EXPECT_TRUE(s.Due(t0 + 1500s)) << "the first pause";
    s.Took(t0 + 1500s);
    s.Failed();
    EXPECT_FALSE(s.Due(t0 + 3000s));
    EXPECT_TRUE(s.Due(t0 + 3300s)) << "doubled";
    s.Took(t0 + 3300s);
    s.Failed();
    EXPECT_TRUE(s.Due(t0 + 5100s)) << "at its cap";
    s.Took(t0 + 5100s);
    s.Succeeded();
    EXPECT_TRUE(s.Due(t0 + 5700s)) << "back to the interval";
}

// What a server answers is shown on one line, cut short, with no secret of
// the request in it.
TEST(ShownServerAnswer, KeepsAnAnswerToOneShortLineWithoutTheSecrets) {
    const std::string query = "ID=K1&PASSWORD=s%20cret&tempf=2.0";
    const std::pair<std::string, std::string> cases[] = {
        {"  success\r\n", "success"},
        {"busy\nnimbulo-logger: forged line", "busy nimbulo-logger: forged line"},
        {"bad request " + query, "bad request ***"},
        {"wrong key 's cret' (s%20cret)", "wrong key '***' (***)"},
        {std::string(300, 'x'), std::string(kShownAnswer, 'x') + "..."},
        {std::string(199, 'x') + "\u00fc", std::string(199, 'x') + "..."},
    };
    for (const auto& [answer, shown] : cases) {
        EXPECT_EQ(ShownServerAnswer(answer, {query, "s cret", "s%20cret"}), shown) << answer;
    }
}

// Only a regular file with a first line is a secret file; a FIFO is not
// waited on.
TEST(SecretFile, TakesTheFirstLineOfARegularFileOnly) {
    TempDir dir;
    const auto path = [&dir](const char* name) { return (dir.path() / name).string(); };
    std::ofstream(path("key")) << "s3cret\r\nsecond line\n";
    std::ofstream(path("empty")).close();
    std::ofstream(path("blank")) << "\nkey on line two\n";
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(path("folder"));
    const std::pair<const char*, std::string> problems[] = {
        {"key", ""},
        {"empty", "is empty"},
        {"blank", "is empty"},
        {"fifo", "is a FIFO, not a regular file"},
        {"folder", "is a directory, not a regular file"},
        {"missing", "No such file or directory"},
    };
    for (const auto& [name, problem] : problems) {
        EXPECT_EQ(SecretFileProblem(path(name)), problem) << name;
        EXPECT_EQ(ReadSecretFile(path(name)).has_value(), problem.empty()) << name;
    }
    EXPECT_EQ(ReadSecretFile(path("key")), "s3cret");
}

// A point taken waits the send delay, and a send keeps its spacing from
// the one before; both are lower bounds, so a slow machine only adds.
TEST(UploadWorker, SendsAfterTheDelayAndKeepsTheSpacing) {
    using namespace std::chrono_literals;
    using Clock = std::chrono::steady_clock;
    UploadTiming timing{0s, 0s, 0s, 1s, 1s};
    timing.sendDelay = 1s;
    timing.minSpacing = 2s;
    std::mutex mutex;
    std::condition_variable sent;
    std::vector<Clock::time_point> sends;
    UploadWorker worker(
        "test", "127.0.0.1", timing,
        [&](const WeatherObservation&, const std::atomic<bool>&) {
            std::lock_guard lock(mutex);
            sends.push_back(Clock::now());
            sent.notify_all();
            return UploadResult{true, ""};
        },
        [](const std::string&) {});
    const auto offered = Clock::now();
    worker.Offer({});
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(sent.wait_for(lock, 30s, [&] { return sends.size() == 1; }));
        EXPECT_GE(sends[0] - offered, 1s);
    }
    // The next point is taken once the first send is done: offered until it is.
    for (const auto until = Clock::now() + 30s; Clock::now() < until;) {
        worker.Offer({});
        std::unique_lock lock(mutex);
        if (sent.wait_for(lock, 50ms, [&] { return sends.size() == 2; })) break;
    }
    std::lock_guard lock(mutex);
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_GE(sends[1] - sends[0], 2s);
}
