// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGraphicsItem>
#include <QList>
#include <QPen>
#include <QPolygonF>

namespace kvt::trend {

// The lines of a trend over a chart's plot area, drawn as plain polylines of points already
// placed in the chart's coordinates. Qt Charts' own line series work out a hover outline of every
// line on each change, which costs more than the drawing itself at the rate a live trend changes.
// Lines are one pixel wide: a line reduced to the minimum and maximum of every pixel column is a
// long zigzag, which a wider pen makes a hundred times slower to draw. A bold line is drawn twice,
// the second time one pixel right and down.
class TraceItem : public QGraphicsItem {
public:
    struct Trace {
        QPen pen; // one pixel wide
        bool bold = false;
        QPolygonF polyline;
    };

    explicit TraceItem(QGraphicsItem* parent = nullptr);

    void setTraces(const QRectF& area, QList<Trace> traces);
    const QList<Trace>& traces() const { return traces_; }

    QRectF boundingRect() const override { return area_; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QRectF area_;
    QList<Trace> traces_;
};

} // namespace kvt::trend
