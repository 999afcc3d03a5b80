// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/StatusBar.h"

#include <QPainter>

namespace kvt {

namespace {
constexpr int TextMargin = 3;
}

StatusPanel::StatusPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setMinimumHeight(fontMetrics().height() + 2 * (frameWidth() + 1));
}

void StatusPanel::setText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    setToolTip(fits() ? QString() : text);
    update();
}

bool StatusPanel::fits() const {
    return fontMetrics().horizontalAdvance(text_) <= contentsRect().width() - 2 * TextMargin;
}

void StatusPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(TextMargin, 0, -TextMargin, 0);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text_, Qt::ElideMiddle, area.width()));
}

StatusBar::StatusBar(const QList<int>& panelWidths, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (int i = 0; i < panelWidths.size(); ++i) {
        auto* panel = new StatusPanel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(panelWidths[i]);
        panels_.append(panel);
        addWidget(panel);
    }
}

void StatusBar::setPanelText(int panel, const QString& text) {
    if (panel >= 0 && panel < panels_.size())
        panels_[panel]->setText(text);
}

QString StatusBar::panelText(int panel) const {
    return panel >= 0 && panel < panels_.size() ? panels_[panel]->text() : QString();
}

} // namespace kvt
