// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/ProfilePictures.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>

namespace kvt::control {

namespace {

const QColor Grey(128, 128, 128);
const QColor Blue(0, 70, 230);

// Geometry of the diagram, in pixels.
constexpr double AxisX = 31;  // the speed axis
constexpr double AxisY = 66;  // the position axis
constexpr double MaxY = 17;   // the Vmax level
constexpr double MinY = 50;   // the Vmin level
constexpr double RiseX = 37;  // start of the rise
constexpr double TopX = 63;   // start of the flat top
constexpr double FallX = 104; // start of the fall
constexpr double EndX = 130;  // end of the fall: the end position

void arrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot((to - from).x(), (to - from).y()));
    const QPointF n(-d.y(), d.x());
    p.setBrush(p.pen().color());
    p.drawPolygon(QPolygonF({to, to - d * 5 + n * 2.5, to - d * 5 - n * 2.5}));
    p.setBrush(Qt::NoBrush);
}

QPen pen(bool blue, double width = 1.0, Qt::PenStyle style = Qt::SolidLine) {
    return QPen(blue ? Blue : Grey, blue ? width + 1 : width, style, Qt::FlatCap, Qt::MiterJoin);
}

} // namespace

QPixmap profilePicture(ProfileElement highlighted) {
    QPixmap pixmap(ProfilePictureWidth, ProfilePictureHeight);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(9);
    p.setFont(font);

    const bool minSpeed = highlighted == ProfileElement::MinSpeed;
    const bool maxSpeed = highlighted == ProfileElement::MaxSpeed;
    const bool ramps = highlighted == ProfileElement::Acceleration;
    const bool end = highlighted == ProfileElement::EndPosition;

    // Axes: speed upwards, position to the right.
    p.setPen(pen(false));
    arrow(p, QPointF(AxisX, AxisY), QPointF(AxisX, 3));
    arrow(p, QPointF(AxisX, AxisY), QPointF(ProfilePictureWidth - 3, AxisY));

    // Guides from the speed axis to the levels, and down from the end point.
    p.setPen(pen(maxSpeed, 1, Qt::DotLine));
    p.drawLine(QPointF(AxisX, MaxY), QPointF(TopX, MaxY));
    p.setPen(pen(minSpeed, 1, Qt::DotLine));
    p.drawLine(QPointF(AxisX, MinY), QPointF(RiseX, MinY));
    p.drawLine(QPointF(EndX, MinY), QPointF(EndX + 8, MinY));

    // The trapezoid: the jump to the minimum speed, the ramps, the flat top, the stop.
    p.setPen(pen(false, 1.5));
    p.drawLine(QPointF(RiseX, AxisY), QPointF(RiseX, MinY));
    p.setPen(pen(ramps, 1.5));
    p.drawLine(QPointF(RiseX, MinY), QPointF(TopX, MaxY));
    p.drawLine(QPointF(FallX, MaxY), QPointF(EndX, MinY));
    p.setPen(pen(maxSpeed, 1.5));
    p.drawLine(QPointF(TopX, MaxY), QPointF(FallX, MaxY));
    p.setPen(pen(end, 1.5));
    p.drawLine(QPointF(EndX, MinY), QPointF(EndX, AxisY));
    if (end) {
        p.setBrush(Blue);
        p.drawEllipse(QPointF(EndX, AxisY), 2.5, 2.5);
        p.setBrush(Qt::NoBrush);
    }

    // Labels.
    const auto label = [&p](bool blue, const QRectF& box, int flags, const QString& text) {
        p.setPen(blue ? Blue : Grey);
        QFont f = p.font();
        f.setBold(blue);
        p.setFont(f);
        p.drawText(box, flags, text);
    };
    label(maxSpeed, QRectF(0, MaxY - 6, AxisX - 2, 12), Qt::AlignRight | Qt::AlignVCenter,
          QStringLiteral("Vmax"));
    label(minSpeed, QRectF(0, MinY - 6, AxisX - 2, 12), Qt::AlignRight | Qt::AlignVCenter,
          QStringLiteral("Vmin"));
    label(ramps, QRectF(RiseX + 17, 28, 30, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Acc+"));
    label(ramps, QRectF(FallX - 21, 28, 30, 12), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Acc+"));
    label(end, QRectF(EndX - 15, AxisY + 1, 30, 12), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Xpos"));
    return pixmap;
}

} // namespace kvt::control
