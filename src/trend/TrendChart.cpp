// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendChart.h"

#include "trend/TraceItem.h"
#include "trend/core/Decimation.h"

#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QMouseEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace kvt::trend {

namespace {

// Logic traces: lane k of the eight sits at k * LaneHeight and is one unit high when set; the
// lanes fill the lower LogicShare of the plot.
constexpr double LaneHeight = 1.25;
constexpr double LogicShare = 0.35;
constexpr int MaxMarks = 300;
constexpr int DragThreshold = 4;

// A tick interval of 1, 2 or 5 times a power of ten giving about `count` ticks over `span`.
double tickInterval(double span, int count) {
    const double raw = std::max(span / count, 1e-9);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * magnitude >= raw * (1 - 1e-9)) // 10 s as the difference of two times is not quite 10
            return m * magnitude;
    return 10 * magnitude;
}

// The range of what a scale shows, with a margin.
std::pair<double, double> withMargin(const ValueRange& range) {
    if (range.isEmpty())
        return {0, 1};
    const double low = range.min;
    const double high = range.max;
    const double margin = high > low ? (high - low) * 0.05 : std::max(std::abs(high) * 0.05, 0.5);
    return {low - margin, high + margin};
}

// A visible scale is also widened to round ticks; it is touched only when that changes it, as
// every change lays the chart out again.
void fit(QValueAxis* axis, const ValueRange& range) {
    if (range.isEmpty())
        return;
    const auto [low, high] = withMargin(range);
    QValueAxis rounded;
    rounded.setRange(low, high);
    rounded.applyNiceNumbers();
    if (rounded.min() != axis->min() || rounded.max() != axis->max() ||
        rounded.tickCount() != axis->tickCount()) {
        axis->setRange(rounded.min(), rounded.max());
        axis->setTickCount(rounded.tickCount());
    }
}

ValueRange rangeOf(const QList<QPointF>& points) {
    ValueRange r;
    for (const QPointF& p : points)
        r.include(float(p.y()));
    return r;
}

QPen markPen(Event::Kind kind) {
    QColor color(0x40, 0x40, 0x40);
    if (kind == Event::Kind::Disconnected)
        color = QColor(0xD0, 0x00, 0x00);
    else if (kind == Event::Kind::Connected)
        color = QColor(0x00, 0x90, 0x00);
    QPen pen(color, 1, Qt::DashLine);
    pen.setCosmetic(true);
    return pen;
}

} // namespace

TrendChart::TrendChart(QWidget* parent) : QChartView(parent), chart_(new QChart) {
    setObjectName(QStringLiteral("TrendChart"));
    setChart(chart_);
    chart_->legend()->hide();
    chart_->setMargins(QMargins(4, 4, 4, 4));
    // A plain background: square corners and no shadow are cheaper to repaint ten times a second.
    chart_->setBackgroundRoundness(0);
    chart_->setDropShadowEnabled(false);
    setRenderHint(QPainter::Antialiasing, false);
    viewport()->setMouseTracking(true);

    timeAxis_ = new QValueAxis(chart_);
    timeAxis_->setTickType(QValueAxis::TicksDynamic);
    timeAxis_->setTickAnchor(0);
    timeAxis_->setLabelFormat(QStringLiteral("%.6g"));
    positionAxis_ = new QValueAxis(chart_);
    speedAxis_ = new QValueAxis(chart_);
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(positionAxis_, Qt::AlignLeft);
    chart_->addAxis(speedAxis_, Qt::AlignRight);
    for (int c = 0; c < ChannelCount; ++c)
        visible_[size_t(c)] = styleOf(channelAt(c)).shownByDefault;

    traces_ = new TraceItem(chart_);
    traces_->setZValue(50);
    cursorLine_ = new QGraphicsLineItem(chart_);
    QPen cursorPen(Qt::black, 1, Qt::DotLine);
    cursorPen.setCosmetic(true);
    cursorLine_->setPen(cursorPen);
    cursorLine_->setZValue(200);
    cursorLine_->hide();
    connect(chart_, &QChart::plotAreaChanged, this, &TrendChart::plotAreaChanged);
}

void TrendChart::setChannelVisible(Channel channel, bool visible) {
    visible_[size_t(channelIndex(channel))] = visible;
}

void TrendChart::setAxisTitles(const QString& time, const QString& position, const QString& speed) {
    timeAxis_->setTitleText(time);
    positionAxis_->setTitleText(position);
    speedAxis_->setTitleText(speed);
}

void TrendChart::draw(const Run& run, const TimeRange& range) {
    drawing_ = true;
    run_ = &run;
    shown_ = range;
    const SampleBuffer& samples = run.samples();
    const int columns = std::max(50, int(chart_->plotArea().width()));
    const Columns split = splitColumns(samples, range.fromNs, range.toNs, columns);
    for (int c = 0; c < ChannelCount; ++c) {
        const Channel channel = channelAt(c);
        QList<QPointF>& p = points_[size_t(c)];
        if (!visible_[size_t(c)]) {
            p.clear();
            continue;
        }
        p = decimate(samples, channel, split);
        if (styleOf(channel).steps)
            p = toSteps(p);
        if (isBit(channel)) {
            const double lane = bitOf(channel) * LaneHeight;
            for (QPointF& point : p)
                point.ry() += lane;
        }
    }
    setTimeRange(range);
    fitScales();
    drawing_ = false;
    placeTraces();
    placeMarks();
    placeCursor();
}

void TrendChart::plotAreaChanged() {
    // A new size takes a new reduction to its columns; during a draw the draw places everything.
    if (drawing_)
        return;
    if (run_)
        draw(*run_, shown_);
}

void TrendChart::setTimeRange(const TimeRange& range) {
    const double from = secondsOf(range.fromNs);
    const double to = secondsOf(range.toNs);
    const double interval = tickInterval(to - from, 10);
    if (from == timeAxis_->min() && to == timeAxis_->max() && interval == timeAxis_->tickInterval())
        return;
    // Each change redraws the axis at once: a coarse interval first, so that no step in between
    // asks for tens of thousands of ticks.
    timeAxis_->setTickInterval(std::max(to - from, timeAxis_->max() - timeAxis_->min()));
    timeAxis_->setRange(from, to);
    timeAxis_->setTickInterval(interval);
}

void TrendChart::fitScales() {
    ValueRange position;
    ValueRange speed;
    for (int c = 0; c < ChannelCount; ++c) {
        if (!visible_[size_t(c)])
            continue;
        const ValueRange r = rangeOf(points_[size_t(c)]);
        switch (styleOf(channelAt(c)).scale) {
        case Scale::Position:
            position.include(r);
            break;
        case Scale::Speed:
            speed.include(r);
            break;
        case Scale::Own:
            ownScales_[size_t(c)] = withMargin(r);
            break;
        case Scale::Logic:
            break;
        }
    }
    fit(positionAxis_, position);
    fit(speedAxis_, speed);
}

void TrendChart::placeTraces() {
    const QRectF area = chart_->plotArea();
    QList<TraceItem::Trace> traces;
    const double span = double(std::max<qint64>(shown_.toNs - shown_.fromNs, 1)) * 1e-9;
    const double from = secondsOf(shown_.fromNs);
    for (int c = 0; c < ChannelCount; ++c) {
        const QList<QPointF>& p = points_[size_t(c)];
        if (!visible_[size_t(c)] || p.isEmpty())
            continue;
        const Channel channel = channelAt(c);
        const ChannelStyle& style = styleOf(channel);
        std::pair<double, double> scale{-0.25, 8 * LaneHeight / LogicShare};
        if (style.scale == Scale::Position)
            scale = {positionAxis_->min(), positionAxis_->max()};
        else if (style.scale == Scale::Speed)
            scale = {speedAxis_->min(), speedAxis_->max()};
        else if (style.scale == Scale::Own)
            scale = ownScales_[size_t(c)];
        const double height = std::max(scale.second - scale.first, 1e-12);
        TraceItem::Trace trace;
        trace.pen = QPen(style.color, 1);
        trace.pen.setCosmetic(true);
        trace.bold = channel == Channel::Position || channel == Channel::Speed;
        trace.polyline.reserve(p.size());
        for (const QPointF& point : p)
            trace.polyline.append(
                QPointF(area.left() + area.width() * (point.x() - from) / span,
                        area.bottom() - area.height() * (point.y() - scale.first) / height));
        traces.append(std::move(trace));
    }
    traces_->setTraces(area, std::move(traces));
}

qreal TrendChart::xOf(qint64 timeNs) const {
    const QRectF area = chart_->plotArea();
    const double span = double(std::max<qint64>(shown_.toNs - shown_.fromNs, 1));
    return area.left() + area.width() * double(timeNs - shown_.fromNs) / span;
}

void TrendChart::placeMarks() {
    if (!run_)
        return;
    const EventList& events = run_->events();
    const QRectF area = chart_->plotArea();
    const qsizetype first = events.lowerBound(shown_.fromNs);
    const qsizetype end = events.upperBound(shown_.toNs);
    // Past MaxMarks in view, an even selection of them is marked.
    const qsizetype step = std::max<qsizetype>(1, (end - first + MaxMarks - 1) / MaxMarks);
    int shown = 0;
    qreal lastLabelX = -1e9;
    for (qsizetype i = first; i < end; i += step, ++shown) {
        const Event& event = events.at(i);
        if (shown == markLines_.size()) {
            markLines_.append(new QGraphicsLineItem(chart_));
            markLines_.back()->setZValue(100);
            markTexts_.append(new QGraphicsSimpleTextItem(chart_));
            markTexts_.back()->setRotation(-90);
            markTexts_.back()->setZValue(100);
        }
        const qreal x = std::round(xOf(event.timeNs));
        QGraphicsLineItem* line = markLines_[shown];
        const QPen pen = markPen(event.kind);
        if (line->pen() != pen)
            line->setPen(pen);
        const QLineF where(x, area.top(), x, area.bottom());
        if (line->line() != where)
            line->setLine(where);
        line->show();
        QGraphicsSimpleTextItem* text = markTexts_[shown];
        const QString label = eventLabel_ ? eventLabel_(event) : eventText(event);
        if (text->text() != label) {
            text->setText(label);
            text->setBrush(pen.color());
        }
        const QRectF box = text->boundingRect();
        // Rotated a quarter turn back, the text runs upwards from its origin, right of the line.
        const QPointF origin(x + 1, area.top() + box.width() + 2);
        if (text->pos() != origin)
            text->setPos(origin);
        const bool room = x - lastLabelX > box.height() + 1;
        text->setVisible(room);
        if (room)
            lastLabelX = x;
    }
    marksShown_ = shown;
    for (int i = shown; i < markLines_.size(); ++i) {
        markLines_[i]->hide();
        markTexts_[i]->hide();
    }
}

QStringList TrendChart::markTexts() const {
    QStringList texts;
    for (int i = 0; i < marksShown_; ++i)
        texts << markTexts_[i]->text();
    return texts;
}

void TrendChart::setCursorTime(std::optional<qint64> timeNs) {
    cursor_ = timeNs;
    placeCursor();
}

void TrendChart::placeCursor() {
    if (!cursor_ || *cursor_ < shown_.fromNs || *cursor_ > shown_.toNs) {
        cursorLine_->hide();
        return;
    }
    const QRectF area = chart_->plotArea();
    const qreal x = xOf(*cursor_);
    cursorLine_->setLine(x, area.top(), x, area.bottom());
    cursorLine_->show();
}

std::optional<qint64> TrendChart::timeAt(qreal x) const {
    const QPointF inChart = chart_->mapFromScene(mapToScene(QPoint(int(x), 0)));
    const QRectF area = chart_->plotArea();
    if (area.width() <= 0 || inChart.x() < area.left() || inChart.x() > area.right())
        return std::nullopt;
    const double share = (inChart.x() - area.left()) / area.width();
    return shown_.fromNs + qint64(std::llround(share * double(shown_.toNs - shown_.fromNs)));
}

void TrendChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && timeAt(event->position().x())) {
        dragStart_ = event->position().toPoint();
        if (!rubberBand_)
            rubberBand_ = new QRubberBand(QRubberBand::Rectangle, viewport());
        rubberBand_->setGeometry(QRect(*dragStart_, QSize()));
        rubberBand_->show();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (const std::optional<qint64> t = timeAt(at.x())) {
        setCursorTime(t);
        emit cursorMoved(*t);
    }
    if (dragStart_ && rubberBand_) {
        const QRectF area = chart_->plotArea();
        const QPoint top = mapFromScene(chart_->mapToScene(area.topLeft()));
        const QPoint bottom = mapFromScene(chart_->mapToScene(area.bottomLeft()));
        rubberBand_->setGeometry(QRect(QPoint(std::min(dragStart_->x(), at.x()), top.y()),
                                       QPoint(std::max(dragStart_->x(), at.x()), bottom.y())));
    }
    QChartView::mouseMoveEvent(event);
}

void TrendChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        emit backRequested();
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && dragStart_) {
        const int from = std::min(dragStart_->x(), event->position().toPoint().x());
        const int to = std::max(dragStart_->x(), event->position().toPoint().x());
        dragStart_.reset();
        if (rubberBand_)
            rubberBand_->hide();
        if (to - from >= DragThreshold) {
            // Ends beyond the plot are taken at its edges.
            const qint64 start = timeAt(from).value_or(shown_.fromNs);
            const qint64 end = timeAt(to).value_or(shown_.toNs);
            emit zoomRequested(TimeRange{start, end});
        }
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

} // namespace kvt::trend
