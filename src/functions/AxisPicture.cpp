// SPDX-License-Identifier: GPL-3.0-or-later
#include "functions/AxisPicture.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>

namespace kvt::functions {

namespace {

void drawArrowHead(QPainter& p, QPointF tip, double direction) {
    p.drawPolygon(QPolygonF({tip, tip + QPointF(-9 * direction, -5), tip + QPointF(-9 * direction, 5)}));
}

void drawSwitch(QPainter& p, const QRectF& body, const QString& name) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(230, 60, 50));
    p.drawRoundedRect(body, 2, 2);
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(40, 40, 40));
    const QRectF label(body.center().x() - 30, body.bottom() + 2, 60, 14);
    p.drawText(label, Qt::AlignCenter, name);
}

} // namespace

QPixmap axisPicture(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    const double w = width;
    const double railTop = height * 0.52;
    const double railHeight = height * 0.14;
    const double margin = 34;

    // Rail with its end plates and the screw along it.
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(QColor(185, 190, 198));
    p.drawRect(QRectF(margin - 8, railTop, w - 2 * (margin - 8), railHeight));
    p.setBrush(QColor(120, 125, 135));
    p.drawRect(QRectF(margin - 16, railTop - 10, 8, railHeight + 20));
    p.drawRect(QRectF(w - margin + 8, railTop - 10, 8, railHeight + 20));
    p.setPen(QPen(QColor(110, 110, 110), 1, Qt::DashLine));
    p.drawLine(QPointF(margin - 8, railTop + railHeight / 2),
               QPointF(w - margin + 8, railTop + railHeight / 2));

    // End switches under the rail's ends.
    const QSizeF switchSize(14, 10);
    const double switchTop = railTop + railHeight + 2;
    drawSwitch(p, QRectF(QPointF(margin, switchTop), switchSize), QStringLiteral("HOME1"));
    drawSwitch(p, QRectF(QPointF(w - margin - switchSize.width(), switchTop), switchSize),
               QStringLiteral("HOME2"));

    // Carriage in the middle.
    const double carriageWidth = w * 0.18;
    const QRectF carriage(w / 2 - carriageWidth / 2, railTop - height * 0.2, carriageWidth, height * 0.2 + 4);
    p.setPen(QPen(QColor(30, 60, 110), 1));
    p.setBrush(QColor(60, 120, 200));
    p.drawRoundedRect(carriage, 3, 3);

    // Double arrow above it: the drive travels both ways.
    const double arrowY = carriage.top() - 12;
    const double left = carriage.left() - carriageWidth * 0.6;
    const double right = carriage.right() + carriageWidth * 0.6;
    p.setPen(QPen(QColor(0, 130, 0), 2.5));
    p.drawLine(QPointF(left + 6, arrowY), QPointF(right - 6, arrowY));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 130, 0));
    drawArrowHead(p, QPointF(right, arrowY), 1);
    drawArrowHead(p, QPointF(left, arrowY), -1);
    return pixmap;
}

} // namespace kvt::functions
