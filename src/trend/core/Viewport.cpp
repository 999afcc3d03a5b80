// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/core/Viewport.h"

#include <algorithm>

namespace kvt::trend {

namespace {
constexpr qint64 Second = 1'000'000'000;
constexpr qint64 ShortestRangeNs = Second / 1000; // one millisecond
} // namespace

qint64 Viewport::spanNs(Span span) {
    switch (span) {
    case Span::TenSeconds:
        return 10 * Second;
    case Span::OneMinute:
        return 60 * Second;
    case Span::TenMinutes:
        return 600 * Second;
    case Span::WholeRun:
        break;
    }
    return 0;
}

void Viewport::pause(const TimeRange& shown) {
    paused_ = true;
    frozen_ = shown;
}

void Viewport::resume() {
    paused_ = false;
    zooms_.clear();
}

void Viewport::zoomTo(const TimeRange& range) {
    TimeRange r{std::min(range.fromNs, range.toNs), std::max(range.fromNs, range.toNs)};
    r.toNs = std::max(r.toNs, r.fromNs + ShortestRangeNs);
    zooms_.append(r);
}

bool Viewport::back() {
    if (zooms_.isEmpty())
        return false;
    zooms_.removeLast();
    return true;
}

TimeRange Viewport::liveRange(qint64 firstNs, qint64 lastNs) const {
    lastNs = std::max(lastNs, firstNs);
    if (span_ == Span::WholeRun)
        return {firstNs, std::max(lastNs, firstNs + Second)};
    const qint64 span = spanNs(span_);
    const qint64 from = std::max(firstNs, lastNs - span);
    return {from, from + span};
}

TimeRange Viewport::range(qint64 firstNs, qint64 lastNs) const {
    if (!zooms_.isEmpty())
        return zooms_.back();
    if (paused_)
        return frozen_;
    return liveRange(firstNs, lastNs);
}

} // namespace kvt::trend
