// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/core/SampleBuffer.h"

#include <QList>
#include <QPointF>

namespace kvt::trend {

// The samples of a time window split into plot columns: column j holds the samples
// [bounds[j], bounds[j + 1]). Computed once per view and shared by every channel.
struct Columns {
    QList<qsizetype> bounds; // columns + 1 sample indexes
    qsizetype before = -1;   // the last sample before the window, -1 when none
    qsizetype after = -1;    // the first sample after it, -1 when none

    int count() const { return int(bounds.size()) - 1; }
};

// Splits the samples from `fromNs` to `toNs` (both included) into `columns` equal stretches of
// time.
Columns splitColumns(const SampleBuffer& buffer, qint64 fromNs, qint64 toNs, int columns);

// The points that draw `channel` over those columns: x in seconds from the run's start, y the
// value. A column of one sample gives that sample; a column of several gives its minimum and its
// maximum (in the order the values went: the first point at the column's first sample time, the
// second at its last), so every spike stays visible however many samples share a pixel. The
// neighbours just outside the window are included, so lines reach its edges. Values that are not
// finite numbers are left out.
QList<QPointF> decimate(const SampleBuffer& buffer, Channel channel, const Columns& columns);

// The same points drawn as steps (a value holds until the next one): a point at the new time
// with the old value is put before every change.
QList<QPointF> toSteps(const QList<QPointF>& points);

inline double secondsOf(qint64 timeNs) {
    return double(timeNs) * 1e-9;
}
inline qint64 nanosecondsOf(double seconds) {
    return qint64(seconds * 1e9);
}

} // namespace kvt::trend
