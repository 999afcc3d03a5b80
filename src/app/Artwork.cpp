// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace kvt::artwork {

namespace {

QPixmap canvas(int w, int h) {
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawControl(QPainter& p) {
    // A motor shaft with a circular arrow: driving the motor by hand.
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(120, 160, 220));
    p.drawEllipse(QRectF(6, 6, 20, 20));
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QRectF(13, 13, 6, 6));
    p.setPen(QPen(QColor(0, 140, 0), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2, 2, 28, 28), 30 * 16, 120 * 16);
    p.setBrush(QColor(0, 140, 0));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(3, 11), QPointF(9, 9), QPointF(5, 4)}));
}

void drawConfiguration(QPainter& p) {
    // A gear wheel.
    QPainterPath gear;
    const QPointF c(16, 16);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        const QPointF dir(std::cos(a), std::sin(a));
        const QPointF side(-dir.y(), dir.x());
        QPolygonF tooth({c + dir * 9 + side * 3, c + dir * 14.5 + side * 2.5, c + dir * 14.5 - side * 2.5,
                         c + dir * 9 - side * 3});
        gear.addPolygon(tooth);
        gear.closeSubpath();
    }
    gear.addEllipse(c, 10.5, 10.5);
    gear.setFillRule(Qt::WindingFill);
    QPainterPath hole;
    hole.addEllipse(c, 4, 4);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(150, 150, 160));
    p.drawPath(gear.simplified().subtracted(hole));
}

void drawRs485(QPainter& p) {
    // Two twisted wires between two connectors.
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(230, 200, 80));
    p.drawRect(QRectF(1, 10, 7, 12));
    p.drawRect(QRectF(24, 10, 7, 12));
    QPainterPath a, b;
    a.moveTo(8, 13);
    b.moveTo(8, 19);
    for (int i = 0; i < 4; ++i) {
        const double x = 8 + i * 4;
        a.cubicTo(x + 1.3, 13, x + 2.7, 19, x + 4, 19);
        b.cubicTo(x + 1.3, 19, x + 2.7, 13, x + 4, 13);
        std::swap(a, b);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 40, 40), 2));
    p.drawPath(a);
    p.setPen(QPen(QColor(40, 40, 200), 2));
    p.drawPath(b);
}

void drawProgram(QPainter& p) {
    // A sheet with lines of a program.
    p.setPen(QPen(QColor(70, 70, 70), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 2, 20, 28));
    p.setPen(QPen(QColor(40, 90, 180), 2));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(10, 8 + i * 5), QPointF(i % 2 ? 18 : 22, 8 + i * 5));
}

void drawFunctions(QPainter& p) {
    // A back-and-forth arrow.
    p.setPen(QPen(QColor(200, 90, 0), 3));
    p.drawLine(QPointF(6, 16), QPointF(26, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 90, 0));
    p.drawPolygon(QPolygonF({QPointF(1, 16), QPointF(9, 9), QPointF(9, 23)}));
    p.drawPolygon(QPolygonF({QPointF(31, 16), QPointF(23, 9), QPointF(23, 23)}));
}

} // namespace

QIcon pageIcon(int index) {
    QPixmap pixmap = canvas(32, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0:
        drawControl(p);
        break;
    case 1:
        drawConfiguration(p);
        break;
    case 2:
        drawRs485(p);
        break;
    case 3:
        drawProgram(p);
        break;
    case 5:
        drawFunctions(p);
        break;
    default:
        break;
    }
    return QIcon(pixmap);
}

QIcon languageFlag(int index) {
    QPixmap pixmap = canvas(16, 11);
    QPainter p(&pixmap);
    if (index == 0) {
        p.fillRect(QRect(0, 0, 16, 6), Qt::white);
        p.fillRect(QRect(0, 6, 16, 5), QColor(220, 20, 60));
    } else {
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(QRect(0, 0, 16, 11), QColor(1, 33, 105));
        p.setPen(QPen(Qt::white, 2.2));
        p.drawLine(QPointF(0, 0), QPointF(16, 11));
        p.drawLine(QPointF(16, 0), QPointF(0, 11));
        p.setPen(QPen(QColor(200, 16, 46), 0.8));
        p.drawLine(QPointF(0, 0), QPointF(16, 11));
        p.drawLine(QPointF(16, 0), QPointF(0, 11));
        p.fillRect(QRectF(6, 0, 4, 11), Qt::white);
        p.fillRect(QRectF(0, 3.5, 16, 4), Qt::white);
        p.fillRect(QRectF(7, 0, 2, 11), QColor(200, 16, 46));
        p.fillRect(QRectF(0, 4.5, 16, 2), QColor(200, 16, 46));
    }
    p.setPen(QColor(120, 120, 120));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, 15, 10));
    return QIcon(pixmap);
}

QIcon stopGlyph(int size) {
    // Drawn at the size it is shown: an icon scaled when painted is scaled smoothly, which Qt
    // spreads over a pool of threads it starts for the purpose.
    QPixmap pixmap = canvas(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0); // drawn on a 24 by 24 grid
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const double a = M_PI / 8 + i * M_PI / 4;
        octagon << QPointF(12 + 11 * std::cos(a), 12 + 11 * std::sin(a));
    }
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor(200, 0, 0));
    p.drawPolygon(octagon);
    p.setPen(QPen(Qt::white, 2.5));
    p.drawLine(QPointF(7, 12), QPointF(17, 12));
    return QIcon(pixmap);
}

QImage applicationIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(150, 160, 175), 0.75));
    p.setBrush(QColor(232, 237, 245));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.save();
    p.translate(1, 1);
    p.scale(0.72, 0.72);
    drawConfiguration(p);
    p.restore();
    p.save();
    p.translate(12.5, 12.5);
    p.scale(0.58, 0.58);
    drawControl(p);
    p.restore();
    return image;
}

} // namespace kvt::artwork
