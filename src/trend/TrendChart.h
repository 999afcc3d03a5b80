// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/ChannelStyle.h"
#include "trend/core/Run.h"
#include "trend/core/Viewport.h"

#include <QChartView>
#include <QList>
#include <array>
#include <functional>
#include <optional>

class QGraphicsLineItem;
class QGraphicsSimpleTextItem;
class QRubberBand;
class QValueAxis;

namespace kvt::trend {

class TraceItem;

// The plot of a run: one line per channel over one time axis, the position scale on the left,
// the speed scale on the right, the other channels fitted to the height on scales of their own
// and the logic traces in lanes along the bottom. Event marks stand on the time axis with their
// names; a cursor line follows the mouse. Dragging across the plot asks to zoom to that
// stretch; the right button asks to go back.
class TrendChart : public QChartView {
    Q_OBJECT
public:
    explicit TrendChart(QWidget* parent = nullptr);

    void setChannelVisible(Channel channel, bool visible);
    bool isChannelVisible(Channel channel) const { return visible_[size_t(channelIndex(channel))]; }
    void setAxisTitles(const QString& time, const QString& position, const QString& speed);
    // The text of an event's mark.
    void setEventLabel(std::function<QString(const Event&)> label) { eventLabel_ = std::move(label); }

    // Draws `range` of `run`, reduced to the plot's width in pixels. The run must outlive the
    // chart (a change of the plot's size draws it again).
    void draw(const Run& run, const TimeRange& range);
    const TimeRange& shownRange() const { return shown_; }
    std::optional<qint64> cursorTime() const { return cursor_; }
    void setCursorTime(std::optional<qint64> timeNs);

    // What is drawn, for tests and the benchmark: a channel's points (x in seconds, y its value;
    // logic traces raised to their lanes), the scales and the marks.
    const QList<QPointF>& points(Channel channel) const { return points_[size_t(channelIndex(channel))]; }
    QValueAxis* positionAxis() const { return positionAxis_; }
    QValueAxis* speedAxis() const { return speedAxis_; }
    QValueAxis* timeAxis() const { return timeAxis_; }
    int markCount() const { return marksShown_; }
    QStringList markTexts() const;
    // The run time at a horizontal position of the view, when it lies on the plot.
    std::optional<qint64> timeAt(qreal x) const;

signals:
    void zoomRequested(const kvt::trend::TimeRange& range);
    void backRequested();
    void cursorMoved(qint64 timeNs);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setTimeRange(const TimeRange& range);
    void fitScales();
    void placeTraces();
    void placeMarks();
    void placeCursor();
    void plotAreaChanged();
    qreal xOf(qint64 timeNs) const;

    QChart* chart_;
    QValueAxis* timeAxis_;
    QValueAxis* positionAxis_;
    QValueAxis* speedAxis_;
    TraceItem* traces_;
    std::array<bool, ChannelCount> visible_{};
    std::array<QList<QPointF>, ChannelCount> points_;
    std::array<std::pair<double, double>, ChannelCount> ownScales_{}; // channels on a scale of their own
    const Run* run_ = nullptr;
    bool drawing_ = false;
    std::function<QString(const Event&)> eventLabel_;
    QList<QGraphicsLineItem*> markLines_;
    QList<QGraphicsSimpleTextItem*> markTexts_;
    int marksShown_ = 0;
    QGraphicsLineItem* cursorLine_;
    std::optional<qint64> cursor_;
    TimeRange shown_;
    QRubberBand* rubberBand_ = nullptr;
    std::optional<QPoint> dragStart_;
};

} // namespace kvt::trend
