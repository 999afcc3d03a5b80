// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BandedFrameStyle.h"

#include <QPainter>
#include <QStyleOption>
#include <algorithm>

namespace kvt {

namespace {
// How far outside its rectangle a style may draw a frame's shadow or outline.
constexpr int Overhang = 4;
} // namespace

void BandedFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                     const QWidget* widget) const {
    const bool frame = element == PE_FrameTabWidget || element == PE_FrameGroupBox;
    if (!frame || !option || !painter || option->rect.height() <= BandRows) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QRect area = option->rect.adjusted(-Overhang, -Overhang, Overhang, Overhang);
    for (int top = area.top(); top <= area.bottom(); top += BandRows) {
        painter->save();
        painter->setClipRect(
            QRect(area.left(), top, area.width(), std::min(BandRows, area.bottom() - top + 1)),
            Qt::IntersectClip);
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        painter->restore();
    }
}

} // namespace kvt
