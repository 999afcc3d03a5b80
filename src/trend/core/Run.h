// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/core/CsvRecorder.h"
#include "trend/core/EventList.h"
#include "trend/core/SampleBuffer.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace kvt::trend {

// One run of a trend: the samples and events since it started, on one monotonic clock, and the
// recording to a file that follows them.
class Run {
public:
    explicit Run(qsizetype capacity = SampleBuffer::DefaultCapacity);

    // Forgets every sample and event; the run's time starts again at 0. A recording goes on.
    void restart();
    // Monotonic nanoseconds since the run's start, and the wall-clock time of such an instant.
    qint64 now() const { return clock_.nsecsElapsed(); }
    const csv::TimeBase& timeBase() const { return base_; }

    // Adds what arrived or happened at run time `timeNs` and hands it to the recording. False
    // when the recording ended on an error just now (the sample or event is kept all the same).
    bool addStatus(const control::LiveStatus& status, qint64 timeNs);
    bool addEvent(const Event& event);

    const SampleBuffer& samples() const { return samples_; }
    const EventList& events() const { return events_; }

    // Recording: from now on every sample and event also goes to the file at `path`, whose
    // columns name `unit`. False, with the recorder's error, when the file cannot be created.
    bool startRecording(const QString& path, const QString& unit);
    bool stopRecording();
    const CsvRecorder& recorder() const { return recorder_; }
    // Hands the collected rows to the file now (a timer calls it, so rows reach the file also
    // when nothing arrives); false when the recording ended on an error just now.
    bool flushRecording();

private:
    QElapsedTimer clock_;
    csv::TimeBase base_;
    SampleBuffer samples_;
    EventList events_;
    CsvRecorder recorder_;
};

} // namespace kvt::trend
