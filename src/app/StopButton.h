// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

namespace kvt {

// The large emergency-stop button: bold caption with the stop glyph below it.
class StopButton : public QPushButton {
    Q_OBJECT
public:
    StopButton(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kvt
