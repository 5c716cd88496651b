// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryView.h"

#include <algorithm>
#include <cmath>

namespace {
struct SpanInfo {
    HistorySpan span;
    const char* name;
    StationMinute days;
};
// 365 days: a year of five-minute points is 105,120 of them.
constexpr SpanInfo kSpans[] = {{HistorySpan::Day, "day", 1},
                               {HistorySpan::Week, "week", 7},
                               {HistorySpan::Month, "month", 31},
                               {HistorySpan::Year, "year", 365}};

const SpanInfo& Info(HistorySpan span) {
    return kSpans[std::size_t(span)];
}
}  // namespace

StationMinute SpanMinutes(HistorySpan span) {
    return Info(span).days * kMinutesPerDay;
}

std::string_view SpanName(HistorySpan span) {
    return Info(span).name;
}

std::optional<HistorySpan> SpanNamed(std::string_view name) {
    for (const SpanInfo& info : kSpans)
        if (name == info.name) return info.span;
    return std::nullopt;
}

HistoryView::HistoryView(HistorySpan span, StationMinute latest)
    : span_(span), latest_(latest), to_(latest), length_(SpanMinutes(span)) {}

void HistoryView::SetSpan(HistorySpan span) {
    span_ = span;
    Place(latest_, SpanMinutes(span));
}

void HistoryView::BackToNow() {
    Place(latest_, length_);
}

void HistoryView::NewLatest(StationMinute latest) {
    const bool following = followsNow();
    latest_ = std::max(latest_, latest);
    if (following) to_ = latest_;
}

void HistoryView::Pan(double share) {
    Place(to_ + StationMinute(std::llround(share * double(length_))), length_);
}

void HistoryView::Zoom(double factor, double anchor) {
    if (!(factor > 0)) return;
    anchor = std::clamp(anchor, 0.0, 1.0);
    const StationMinute length =
        std::clamp(StationMinute(std::llround(double(length_) * factor)), kShortest, kLongest);
    // The anchor's time stays at the same share of the width.
    const double anchorTime = double(from()) + anchor * double(length_);
    Place(StationMinute(std::llround(anchorTime + (1 - anchor) * double(length))), length);
}

// Never past now: there is nothing to see there.
void HistoryView::Place(StationMinute to, StationMinute length) {
    length_ = std::clamp(length, kShortest, kLongest);
    to_ = std::min(to, latest_);
}
