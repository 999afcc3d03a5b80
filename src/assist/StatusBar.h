#pragma once

#include <QList>
#include <QStatusBar>

class QLabel;

namespace kvt {

// The main window's status bar: fixed panels, each showing one text.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    // One panel per width, in pixels, left to right.
    StatusBar(const QList<int>& panelWidths, QWidget* parent = nullptr);

    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;
    int panelCount() const { return int(panels_.size()); }

private:
    QList<QLabel*> panels_;
};

} // namespace kvt
