#include "assist/StatusBar.h"

#include <QLabel>

namespace kvt {

StatusBar::StatusBar(const QList<int>& panelWidths, QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    for (int i = 0; i < panelWidths.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        // A long text (a program path) is cut at the panel's edge rather than widening it.
        label->setFixedWidth(panelWidths[i]);
        label->setTextFormat(Qt::PlainText);
        panels_.append(label);
        addWidget(label, i + 1 == panelWidths.size() ? 1 : 0);
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
