// SPDX-License-Identifier: GPL-3.0-or-later
// The link state as tables: inputs at times of a fake clock, and the state,
// message, window title and next check after each.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "LinkState.h"

namespace {

using State = LinkState::State;
using std::chrono::milliseconds;

enum class Input { Opened, OpenFailed, Lost, Record, Tick, Stop };

struct Step {
    double at;  // seconds on the fake clock; the computer's time is 14:37:00 UTC plus these
    Input input;
    State state;
    const char* message;
    const char* title;
    long nextCheckMs;  // -1: none
    int port = 1;
    const char* device = "/dev/ttyUSB0";
};

struct Case {
    const char* name;
    std::vector<Step> steps;
};

constexpr std::time_t k14_37_00 = 1699920000 + 14 * 3600 + 37 * 60;

std::string Apply(LinkState& link, const Step& step) {
    switch (step.input) {
        case Input::Opened:
            return link.Opened(step.port, step.device);
        case Input::OpenFailed:
            return link.OpenFailed(step.port, step.device);
        case Input::Lost:
            return link.Lost(step.port, step.device);
        case Input::Record:
            return link.RecordAccepted();
        case Input::Tick:
            return link.Tick();
        case Input::Stop:
            return link.Stopped();
    }
    return {};
}

const char* kWaitingTitle = "Nimbulo - waiting for COM1 (/dev/ttyUSB0)";

const Case kCases[] = {
    {"a link that opens, receives, falls silent and receives again",
     {{0, Input::Opened, State::Receiving, "reading COM1 (/dev/ttyUSB0)", "Nimbulo", 10000},
      {1, Input::Record, State::Receiving, "", "Nimbulo", 10000},
      {5, Input::Record, State::Receiving, "", "Nimbulo", 10000},
      {14.9, Input::Tick, State::Receiving, "", "Nimbulo", 100},
      {15, Input::Tick, State::Silent,
       "no records from COM1 (/dev/ttyUSB0) for 10 s (since 14:37:05)",
       "Nimbulo - no records since 14:37:05", -1},
      {16, Input::Tick, State::Silent, "", "Nimbulo - no records since 14:37:05", -1},
      {80, Input::Record, State::Receiving,
       "records from COM1 (/dev/ttyUSB0) again after 1 min 15 s", "Nimbulo", 10000}}},
    {"a device that goes away and comes back; silence counts from the reopening",
     {{0, Input::Opened, State::Receiving, "reading COM1 (/dev/ttyUSB0)", "Nimbulo", 10000},
      {2, Input::Record, State::Receiving, "", "Nimbulo", 10000},
      {125, Input::Lost, State::Waiting,
       "lost COM1 (/dev/ttyUSB0) after 2 min 5 s; waiting for it to come back", kWaitingTitle, -1},
      {127, Input::Tick, State::Waiting, "", kWaitingTitle, -1},
      {129, Input::Lost, State::Waiting, "", kWaitingTitle, -1},
      {131, Input::Opened, State::Receiving, "COM1 (/dev/ttyUSB0) is back after 6 s", "Nimbulo",
       10000},
      {140, Input::Tick, State::Receiving, "", "Nimbulo", 1000},
      {141, Input::Tick, State::Silent,
       "no records from COM1 (/dev/ttyUSB0) for 10 s (since 14:39:11)",
       "Nimbulo - no records since 14:39:11", -1},
      {142, Input::Lost, State::Waiting,
       "lost COM1 (/dev/ttyUSB0) after 11 s; waiting for it to come back", kWaitingTitle, -1}}},
    {"a device missing from the start: retries say nothing, a stop makes it idle",
     {{0, Input::OpenFailed, State::Waiting,
       "waiting for COM1 (/dev/ttyUSB0), which cannot be opened", kWaitingTitle, -1},
      {2, Input::OpenFailed, State::Waiting, "", kWaitingTitle, -1},
      {60, Input::Stop, State::Idle, "stopped reading COM1 (/dev/ttyUSB0)", "Nimbulo", -1},
      {61, Input::Stop, State::Idle, "", "Nimbulo", -1}}},
    {"a station that sends nothing: no time of a record that never came",
     {{0, Input::Opened, State::Receiving, "reading COM1 (/dev/ttyUSB0)", "Nimbulo", 10000},
      {10, Input::Tick, State::Silent, "no records from COM1 (/dev/ttyUSB0) for 10 s (none yet)",
       "Nimbulo - no records yet from COM1 (/dev/ttyUSB0)", -1},
      {25, Input::Record, State::Receiving, "first record from COM1 (/dev/ttyUSB0) after 25 s",
       "Nimbulo", 10000},
      {35, Input::Tick, State::Silent,
       "no records from COM1 (/dev/ttyUSB0) for 10 s (since 14:37:25)",
       "Nimbulo - no records since 14:37:25", -1}}},
    {"records while idle (the test file) and ticks leave it idle",
     {{0, Input::Record, State::Idle, "", "Nimbulo", -1},
      {100, Input::Tick, State::Idle, "", "Nimbulo", -1}}},
    {"another port opened while waiting is a fresh start",
     {{0, Input::Opened, State::Receiving, "reading COM1 (/dev/ttyUSB0)", "Nimbulo", 10000},
      {5, Input::Lost, State::Waiting,
       "lost COM1 (/dev/ttyUSB0) after 5 s; waiting for it to come back", kWaitingTitle, -1},
      {7, Input::Opened, State::Receiving, "reading COM2 (/dev/ttyS1)", "Nimbulo", 10000, 2,
       "/dev/ttyS1"}}},
};

TEST(LinkState, FollowsTheTables) {
    setenv("TZ", "UTC", 1);
    tzset();
    for (const Case& c : kCases) {
        long long nowMs = 0;
        LinkState link(std::chrono::seconds(10),
                       {[&] { return milliseconds(nowMs); },
                        [&] { return k14_37_00 + std::time_t(nowMs / 1000); }});
        for (const Step& step : c.steps) {
            nowMs = static_cast<long long>(step.at * 1000 + 0.5);
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(step.at));
            EXPECT_EQ(Apply(link, step), step.message);
            EXPECT_EQ(link.state(), step.state);
            EXPECT_EQ(link.WindowTitle("Nimbulo"), step.title);
            EXPECT_EQ(link.UntilNextCheck().value_or(milliseconds(-1)).count(), step.nextCheckMs);
            EXPECT_EQ(link.ReadingsStale(),
                      step.state == State::Waiting || step.state == State::Silent);
        }
    }
}

TEST(LinkState, SaysHowLongInTheTwoLargestUnits) {
    const std::pair<long long, const char*> table[] = {{0, "0 s"},
                                                       {59999, "59 s"},
                                                       {60000, "1 min 0 s"},
                                                       {3599000, "59 min 59 s"},
                                                       {3600000, "1 h 0 min"},
                                                       {90061000, "1 d 1 h"}};
    for (auto [ms, text] : table)
        EXPECT_EQ(LinkState::FormatDuration(milliseconds(ms)), text) << ms;
}

}  // namespace
