// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TraceItem.h"

#include <QPainter>

namespace kvt::trend {

TraceItem::TraceItem(QGraphicsItem* parent) : QGraphicsItem(parent) {}

void TraceItem::setTraces(const QRectF& area, QList<Trace> traces) {
    prepareGeometryChange();
    area_ = area;
    traces_ = std::move(traces);
    update();
}

void TraceItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->save();
    painter->setClipRect(area_);
    painter->setRenderHint(QPainter::Antialiasing, false);
    for (const Trace& trace : std::as_const(traces_)) {
        painter->setPen(trace.pen);
        painter->drawPolyline(trace.polyline);
        if (trace.bold) {
            painter->translate(1, 1);
            painter->drawPolyline(trace.polyline);
            painter->translate(-1, -1);
        }
    }
    painter->restore();
}

} // namespace kvt::trend
