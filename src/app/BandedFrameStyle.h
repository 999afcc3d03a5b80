// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

namespace kvt {

// The application's style: the platform's own, except that the frames of tab widgets and group
// boxes are drawn in horizontal bands of at most BandRows pixel rows. Qt's raster engine hands a
// blend of 96 rows or more to the global thread pool and waits for it; the 1-pixel translucent
// edges of a tall frame are such blends, so each paint of the page frame and of the taller group
// boxes cost thread hand-offs for a few hundred pixels, and the first paint started the pool's
// threads. Drawn band by band through a clip the pixels are the same, and the blends stay on the
// thread that paints.
class BandedFrameStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int BandRows = 64;

    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

} // namespace kvt
