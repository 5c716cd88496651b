// SPDX-License-Identifier: GPL-3.0-or-later
// The period on show after chosen spans, pans, zooms, new points and "now".
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "HistoryView.h"

namespace {

constexpr StationMinute kNow = 1'000'000'000;
constexpr StationMinute kDay = 1440;

TEST(HistoryView, FollowsTheTable) {
    struct Step {
        const char* what;
        std::function<void(HistoryView&)> act;
        StationMinute from;  // relative to kNow
        StationMinute to;
        bool followsNow;
    };
    const std::vector<Step> steps = {
        {"a day ending now", [](HistoryView&) {}, -kDay, 0, true},
        {"a new point moves it on", [](HistoryView& v) { v.NewLatest(kNow + 5); }, -kDay + 5, 5,
         true},
        {"half a day back", [](HistoryView& v) { v.Pan(-0.5); }, -kDay - 715, -715, false},
        {"a new point leaves it", [](HistoryView& v) { v.NewLatest(kNow + 10); }, -kDay - 715, -715,
         false},
        {"never past now", [](HistoryView& v) { v.Pan(3); }, -kDay + 10, 10, true},
        {"zoomed in on the last quarter", [](HistoryView& v) { v.Zoom(0.5, 1.0); }, -710, 10, true},
        // Two widths back: -2150..-1430, the middle -1790 stays the middle.
        {"zoomed out round the middle", [](HistoryView& v) { v.Pan(-2), v.Zoom(4, 0.5); }, -3230,
         -350, false},
        {"no shorter than an hour, from its start", [](HistoryView& v) { v.Zoom(0.001, 0); }, -3230,
         -3170, false},
        {"a year", [](HistoryView& v) { v.SetSpan(HistorySpan::Year); }, -365 * kDay + 10, 10,
         true},
        {"back to now keeps the length", [](HistoryView& v) { v.Pan(-0.25), v.BackToNow(); },
         -365 * kDay + 10, 10, true},
    };
    HistoryView view(HistorySpan::Day, kNow);
    for (const Step& step : steps) {
        step.act(view);
        EXPECT_EQ(view.from() - kNow, step.from) << step.what;
        EXPECT_EQ(view.to() - kNow, step.to) << step.what;
        EXPECT_EQ(view.followsNow(), step.followsNow) << step.what;
    }
}

TEST(HistoryView, NamesItsSpansForTheSettings) {
    for (HistorySpan span : kHistorySpans) EXPECT_EQ(SpanNamed(SpanName(span)), span);
    EXPECT_EQ(SpanNamed("fortnight"), std::nullopt);
    EXPECT_EQ(SpanMinutes(HistorySpan::Year) / 5, 105120);
}

}  // namespace
