// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QtGlobal>

namespace kvt::trend {

// A stretch of run time, in nanoseconds from the run's start.
struct TimeRange {
    qint64 fromNs = 0;
    qint64 toNs = 0;

    bool operator==(const TimeRange&) const = default;
};

// Which stretch of the run a trend shows. Live, it follows the newest sample over the chosen
// span. Pausing freezes what is shown (samples keep arriving and are kept); zooming shows a
// chosen stretch, and going back returns to the previous one, then to the live (or paused) view.
class Viewport {
public:
    enum class Span { TenSeconds, OneMinute, TenMinutes, WholeRun };
    static qint64 spanNs(Span span);

    void setSpan(Span span) { span_ = span; }
    Span span() const { return span_; }

    // `shown` is what is on screen at the moment of pausing; it stays there.
    void pause(const TimeRange& shown);
    void resume();
    bool isPaused() const { return paused_; }

    void zoomTo(const TimeRange& range);
    // One zoom step back; false when there was none.
    bool back();
    bool isZoomed() const { return !zooms_.isEmpty(); }
    // Whether the view follows new samples.
    bool isLive() const { return !paused_ && zooms_.isEmpty(); }

    // What to show for a run whose samples span firstNs..lastNs. A live view of a run shorter than
    // its span starts at the run's start, so the trend grows from the left edge.
    TimeRange range(qint64 firstNs, qint64 lastNs) const;
    TimeRange liveRange(qint64 firstNs, qint64 lastNs) const;

private:
    Span span_ = Span::TenSeconds;
    bool paused_ = false;
    TimeRange frozen_;
    QList<TimeRange> zooms_;
};

} // namespace kvt::trend
