// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/core/Decimation.h"

#include <algorithm>
#include <cmath>

namespace kvt::trend {

Columns splitColumns(const SampleBuffer& buffer, qint64 fromNs, qint64 toNs, int columns) {
    Columns result;
    columns = std::max(columns, 1);
    toNs = std::max(toNs, fromNs);
    result.bounds.reserve(columns + 1);
    const double width = double(toNs - fromNs) / columns;
    const qsizetype first = buffer.lowerBound(fromNs);
    const qsizetype end = buffer.upperBound(toNs);
    result.bounds.append(first);
    for (int j = 1; j < columns; ++j) {
        const qint64 edge = fromNs + qint64(std::llround(width * j));
        // Bounds never go back, even where rounding puts two edges on one nanosecond.
        result.bounds.append(std::max(result.bounds.back(), std::min(buffer.lowerBound(edge), end)));
    }
    result.bounds.append(end);
    result.before = first > 0 ? first - 1 : -1;
    result.after = end < buffer.size() ? end : -1;
    return result;
}

namespace {

void addPoint(QList<QPointF>& points, const SampleBuffer& buffer, qsizetype index, Channel channel) {
    const double v = buffer.value(index, channel);
    if (std::isfinite(v))
        points.append(QPointF(secondsOf(buffer.at(index).timeNs), v));
}

} // namespace

QList<QPointF> decimate(const SampleBuffer& buffer, Channel channel, const Columns& columns) {
    QList<QPointF> points;
    points.reserve(2 * columns.count() + 2);
    if (columns.before >= 0)
        addPoint(points, buffer, columns.before, channel);
    for (int j = 0; j < columns.count(); ++j) {
        const qsizetype from = columns.bounds[j];
        const qsizetype to = columns.bounds[j + 1];
        if (to - from <= 2) {
            for (qsizetype i = from; i < to; ++i)
                addPoint(points, buffer, i, channel);
            continue;
        }
        const ValueRange range = buffer.range(channel, from, to);
        if (range.isEmpty())
            continue;
        const double firstTime = secondsOf(buffer.at(from).timeNs);
        const double lastTime = secondsOf(buffer.at(to - 1).timeNs);
        if (range.min == range.max) {
            points.append(QPointF(firstTime, range.min));
            continue;
        }
        const float first = buffer.value(from, channel);
        const float last = buffer.value(to - 1, channel);
        const bool falling = std::isfinite(first) && std::isfinite(last) && last < first;
        points.append(QPointF(firstTime, falling ? range.max : range.min));
        points.append(QPointF(lastTime, falling ? range.min : range.max));
    }
    if (columns.after >= 0)
        addPoint(points, buffer, columns.after, channel);
    return points;
}

QList<QPointF> toSteps(const QList<QPointF>& points) {
    QList<QPointF> steps;
    steps.reserve(points.size() * 2);
    for (qsizetype i = 0; i < points.size(); ++i) {
        if (i > 0 && points[i].y() != points[i - 1].y())
            steps.append(QPointF(points[i].x(), points[i - 1].y()));
        steps.append(points[i]);
    }
    return steps;
}

} // namespace kvt::trend
