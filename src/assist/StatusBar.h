// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QList>
#include <QStatusBar>

namespace kvt {

// One panel of the status bar. A text longer than the panel (a program file path) is shown
// elided, with the whole text as tooltip; text() is always the whole text.
class StatusPanel : public QFrame {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);
    void setText(const QString& text);
    const QString& text() const { return text_; }
    // True when the whole text fits the panel.
    bool fits() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

// The main window's status bar: fixed panels, each showing one text.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    // One panel per width, in pixels, left to right.
    StatusBar(const QList<int>& panelWidths, QWidget* parent = nullptr);

    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;
    int panelCount() const { return int(panels_.size()); }
    StatusPanel* panel(int index) const { return panels_.value(index); }

private:
    QList<StatusPanel*> panels_;
};

} // namespace kvt
