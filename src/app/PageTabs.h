// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTabWidget>

namespace kvt {

// The main window's page tabs, of a fixed size. Qt's tab widget finds its size by laying out
// every page, and does so again when it is first shown; at start-up that means laying out four
// hidden pages before the first one can be painted. Here the size hints are the fixed size, and
// a hidden page is laid out when it is first shown.
class PageTabs : public QTabWidget {
public:
    explicit PageTabs(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    bool fixed() const { return minimumSize() == maximumSize(); }
};

} // namespace kvt
