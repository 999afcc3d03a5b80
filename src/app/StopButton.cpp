// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StopButton.h"

#include "app/Artwork.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace kvt {

StopButton::StopButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    constexpr int GlyphSize = 20;
    setIcon(artwork::stopGlyph(GlyphSize));
    setIconSize(QSize(GlyphSize, GlyphSize));
}

void StopButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    const QRect area = rect().adjusted(2, 2, -2, -2);
    const int textHeight = fontMetrics().height();
    const int glyph = iconSize().height();
    const int top = area.top() + (area.height() - textHeight - glyph - 2) / 2;
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(QRect(area.left(), top, area.width(), textHeight), Qt::AlignCenter, text());
    const QPixmap pixmap = icon().pixmap(iconSize(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
    painter.drawPixmap(area.left() + (area.width() - iconSize().width()) / 2, top + textHeight + 2, pixmap);
}

} // namespace kvt
