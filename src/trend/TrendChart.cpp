#include "trend/TrendChart.h"

#include "trend/core/Decimation.h"

#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
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
        if (m * magnitude >= raw)
            return m * magnitude;
    return 10 * magnitude;
}

// A value scale takes the range of what it shows, with a margin, widened to round ticks.
void fit(QValueAxis* axis, const ValueRange& range, bool rounded) {
    if (range.isEmpty())
        return;
    double low = range.min;
    double high = range.max;
    const double margin = high > low ? (high - low) * 0.05 : std::max(std::abs(high) * 0.05, 0.5);
    axis->setRange(low - margin, high + margin);
    if (rounded)
        axis->applyNiceNumbers();
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
    setRenderHint(QPainter::Antialiasing, false);
    viewport()->setMouseTracking(true);

    timeAxis_ = new QValueAxis(chart_);
    timeAxis_->setTickType(QValueAxis::TicksDynamic);
    timeAxis_->setTickAnchor(0);
    timeAxis_->setLabelFormat(QStringLiteral("%.6g"));
    positionAxis_ = new QValueAxis(chart_);
    speedAxis_ = new QValueAxis(chart_);
    logicAxis_ = new QValueAxis(chart_);
    logicAxis_->setRange(-0.25, 8 * LaneHeight / LogicShare);
    logicAxis_->setVisible(false);
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(positionAxis_, Qt::AlignLeft);
    chart_->addAxis(speedAxis_, Qt::AlignRight);
    chart_->addAxis(logicAxis_, Qt::AlignLeft);

    for (int c = 0; c < ChannelCount; ++c) {
        const ChannelStyle& style = styleOf(channelAt(c));
        auto* line = new QLineSeries(chart_);
        QPen pen(style.color, channelAt(c) == Channel::Position || channelAt(c) == Channel::Speed ? 2 : 1);
        if (channelAt(c) == Channel::Destination)
            pen.setStyle(Qt::DashLine);
        line->setPen(pen);
        chart_->addSeries(line);
        line->attachAxis(timeAxis_);
        QValueAxis* scale = logicAxis_;
        if (style.scale == Scale::Position)
            scale = positionAxis_;
        else if (style.scale == Scale::Speed)
            scale = speedAxis_;
        else if (style.scale == Scale::Own) {
            scale = new QValueAxis(chart_);
            scale->setVisible(false);
            chart_->addAxis(scale, Qt::AlignLeft);
            ownAxes_[size_t(c)] = scale;
        }
        line->attachAxis(scale);
        line->setVisible(style.shownByDefault);
        series_[size_t(c)] = line;
    }

    cursorLine_ = new QGraphicsLineItem(chart_);
    QPen cursorPen(Qt::black, 1, Qt::DotLine);
    cursorPen.setCosmetic(true);
    cursorLine_->setPen(cursorPen);
    cursorLine_->setZValue(200);
    cursorLine_->hide();
}

void TrendChart::setChannelVisible(Channel channel, bool visible) {
    series(channel)->setVisible(visible);
}

bool TrendChart::isChannelVisible(Channel channel) const {
    return series(channel)->isVisible();
}

void TrendChart::setChannelName(Channel channel, const QString& name) {
    series(channel)->setName(name);
}

void TrendChart::setAxisTitles(const QString& time, const QString& position, const QString& speed) {
    timeAxis_->setTitleText(time);
    positionAxis_->setTitleText(position);
    speedAxis_->setTitleText(speed);
}

void TrendChart::draw(const Run& run, const TimeRange& range) {
    shown_ = range;
    const SampleBuffer& samples = run.samples();
    const int columns = std::max(50, int(chart_->plotArea().width()));
    const Columns split = splitColumns(samples, range.fromNs, range.toNs, columns);
    std::array<QList<QPointF>, ChannelCount> points;
    for (int c = 0; c < ChannelCount; ++c) {
        const Channel channel = channelAt(c);
        QLineSeries* line = series_[size_t(c)];
        if (!line->isVisible()) {
            if (line->count() > 0)
                line->clear();
            continue;
        }
        QList<QPointF> p = decimate(samples, channel, split);
        if (styleOf(channel).steps)
            p = toSteps(p);
        if (isBit(channel)) {
            const double lane = bitOf(channel) * LaneHeight;
            for (QPointF& point : p)
                point.ry() += lane;
        }
        line->replace(p);
        points[size_t(c)] = std::move(p);
    }
    // The time scale shows exactly the range asked for, with ticks at round seconds.
    timeAxis_->setRange(secondsOf(range.fromNs), secondsOf(range.toNs));
    timeAxis_->setTickInterval(tickInterval(secondsOf(range.toNs - range.fromNs), 10));
    fitScales(points);
    drawMarks(run.events());
    placeCursor();
}

void TrendChart::fitScales(const std::array<QList<QPointF>, ChannelCount>& points) {
    ValueRange position;
    ValueRange speed;
    for (int c = 0; c < ChannelCount; ++c) {
        if (!series_[size_t(c)]->isVisible())
            continue;
        const ValueRange r = rangeOf(points[size_t(c)]);
        switch (styleOf(channelAt(c)).scale) {
        case Scale::Position:
            position.include(r);
            break;
        case Scale::Speed:
            speed.include(r);
            break;
        case Scale::Own:
            fit(ownAxes_[size_t(c)], r, false);
            break;
        case Scale::Logic:
            break;
        }
    }
    fit(positionAxis_, position, true);
    fit(speedAxis_, speed, true);
}

qreal TrendChart::xOf(qint64 timeNs) const {
    const QRectF area = chart_->plotArea();
    const double span = double(std::max<qint64>(shown_.toNs - shown_.fromNs, 1));
    return area.left() + area.width() * double(timeNs - shown_.fromNs) / span;
}

void TrendChart::drawMarks(const EventList& events) {
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
        const qreal x = xOf(event.timeNs);
        QGraphicsLineItem* line = markLines_[shown];
        line->setPen(markPen(event.kind));
        line->setLine(x, area.top(), x, area.bottom());
        line->show();
        QGraphicsSimpleTextItem* text = markTexts_[shown];
        text->setText(eventLabel_ ? eventLabel_(event) : eventText(event));
        text->setBrush(markPen(event.kind).color());
        const QRectF box = text->boundingRect();
        // Rotated a quarter turn back, the text runs upwards from its origin, right of the line.
        text->setPos(x + 1, area.top() + box.width() + 2);
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
