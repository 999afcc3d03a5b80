// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/core/Run.h"

namespace kvt::trend {

Run::Run(qsizetype capacity) : samples_(capacity) {
    restart();
}

void Run::restart() {
    clock_.start();
    base_ = csv::TimeBase{0, QDateTime::currentDateTime()};
    samples_.clear();
    events_.clear();
}

bool Run::addStatus(const control::LiveStatus& status, qint64 timeNs) {
    const qint64 dropped = samples_.droppedCount();
    samples_.append(Sample{timeNs, status});
    // Events older than the oldest sample kept go with the samples they belonged to.
    if (samples_.droppedCount() != dropped)
        events_.dropBefore(samples_.at(0).timeNs);
    return !recorder_.isRecording() || recorder_.addSample(samples_.last());
}

bool Run::addEvent(const Event& event) {
    events_.append(event);
    return !recorder_.isRecording() || recorder_.addEvent(events_.at(events_.size() - 1));
}

bool Run::startRecording(const QString& path, const QString& unit) {
    const qint64 start = now();
    const csv::TimeBase fileBase{start, base_.wallTime(start)};
    return recorder_.start(path, unit, fileBase);
}

bool Run::stopRecording() {
    return recorder_.stop();
}

bool Run::flushRecording() {
    return !recorder_.isRecording() || recorder_.flush();
}

} // namespace kvt::trend
